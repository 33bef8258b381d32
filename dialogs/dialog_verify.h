#ifndef DIALOG_VERIFY_H
#define DIALOG_VERIFY_H

#include <bilingual.h>
#include <presetcheck.h>

#include <QDialog>
#include <QMap>
#include <QStringList>

#include <memory>

class DeviceData;
class QButtonGroup;

namespace Ui {
class Dialog_Verify;
}

// The result of a verify read: a line per preset, the wall, the current
// preset, the inputs that differ and the trims, as the device holds them
// against the host. Each part that differs offers a choice (send mine,
// take the device's, leave it; for an input only the last two), with a
// default; "Apply" asks before anything of the host's is replaced, then
// hands the choices back to the opener.
class Dialog_Verify : public QDialog
{
    Q_OBJECT

public:
    // What the operator chose for a part that differs; the column it is in.
    enum Choice { SendMine = 1, TakeDevices = 2, Leave = 3 };

    // changedHere: the presets changed here and not confirmed since; they
    // default to being sent, other presets that differ to being taken. No
    // default writes the wall or recalls a preset.
    Dialog_Verify(bool isEnglish, const PresetCheck &check, const DeviceData &host, const DeviceData &device,
                  const QList<int> &changedHere, QWidget *parent);
    ~Dialog_Verify() override;

    // The lines as shown: the summary, then the presets, the wall, the
    // current preset, the inputs that differ and the trims.
    QStringList lines() const;
    // The choice of each part that offers one, as "M3=mine": M1 to M16,
    // Wall, Current, In1 to In32; mine, device or leave.
    QStringList choices() const;

    QList<int> presets(Choice choice) const;
    Choice wall() const;
    Choice current() const;
    QList<int> entries(Choice choice) const;

signals:
    // The choices are made, any replacement of the host's data confirmed.
    void applied();

private:
    void addLine(const QString &part, const QString &line, const QList<Choice> &offered = {},
                 Choice chosen = Leave);
    Choice choice(const QString &part) const;
    QList<int> numbered(const QString &prefix, int count, Choice choice) const;
    bool takesConfirmed();
    bool writesConfirmed();
    QString presetNames(const QList<int> &presets) const;
    bool asked(const QString &question);
    QString summary(const PresetCheck &check) const;
    QString presetLine(int preset, const PresetCheck &check) const;
    QString windowText(int window, int kinds) const;
    QString entryLine(const PresetCheck::EntryDifference &difference) const;
    QString wallLine(const PresetCheck &check, const DeviceData &host, const DeviceData &device) const;
    QString currentLine(const PresetCheck &check, const DeviceData &host, const DeviceData &device) const;

    std::unique_ptr<Ui::Dialog_Verify> ui;
    Bilingual text;
    QStringList m_lines;
    QStringList m_parts; // those with a choice, in the order shown
    QMap<QString, QButtonGroup *> m_choices;
    QList<int> m_changedHere;
};

#endif // DIALOG_VERIFY_H
