#ifndef DIALOG_COMSET_H
#define DIALOG_COMSET_H

#include <QDialog>
#include <QStringList>

#include <memory>

class QLineEdit;
class Singleton_SerialPort;

namespace Ui {
class Dialog_ComSet;
}

// Edits the link settings the worker holds (link type, the device's
// network settings, the serial port, whether a dropped link is tried
// again), lists the serial ports that open, and
// reads or writes the device's own network settings.
class Dialog_ComSet : public QDialog
{
    Q_OBJECT

public:
    explicit Dialog_ComSet(Singleton_SerialPort *link, bool isEnglish, QWidget *parent = nullptr);
    ~Dialog_ComSet() override;

public slots:
    // Shows the network settings the worker holds now.
    void initPage();
    void on_but_set_port_clicked();
    void on_but_getPort_clicked();
    void on_but_set_net_clicked();
    void on_but_get_clicked();
    void on_but_set_device_clicked();

private:
    void setLanguage(bool isEnglish);
    void showNetSettings(const QStringList &settings);
    void selectPort(const QString &name);
    QString linkTypeText() const;
    QList<QLineEdit *> macEdits() const;
    QString macText() const;
    QByteArray networkPayload() const;

    std::unique_ptr<Ui::Dialog_ComSet> ui;
    Singleton_SerialPort *m_link;
};

#endif // DIALOG_COMSET_H
