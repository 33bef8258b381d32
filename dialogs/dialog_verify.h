#ifndef DIALOG_VERIFY_H
#define DIALOG_VERIFY_H

#include <bilingual.h>

#include <QDialog>
#include <QStringList>

#include <memory>

class DeviceData;
class PresetCheck;

namespace Ui {
class Dialog_Verify;
}

// The result of a verify read: a line per preset, the wall and the current
// preset, as the device holds them against the host. "Send mine" and "Take
// the device's" hand the choice back to the opener; both are off when
// everything is the same.
class Dialog_Verify : public QDialog
{
    Q_OBJECT

public:
    Dialog_Verify(bool isEnglish, const PresetCheck &check, const DeviceData &host,
                  const DeviceData &device, QWidget *parent);
    ~Dialog_Verify() override;

    // The lines as shown: the summary, then the presets, wall and current preset.
    QStringList lines() const;

signals:
    void sendMine();
    void takeDevices();

private:
    QString presetLine(int preset, const PresetCheck &check) const;
    QString windowText(int window, int kinds) const;
    QString wallLine(const PresetCheck &check, const DeviceData &host, const DeviceData &device) const;
    QString currentLine(const PresetCheck &check, const DeviceData &host, const DeviceData &device) const;

    std::unique_ptr<Ui::Dialog_Verify> ui;
    Bilingual text;
};

#endif // DIALOG_VERIFY_H
