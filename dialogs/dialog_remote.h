#ifndef DIALOG_REMOTE_H
#define DIALOG_REMOTE_H

#include <bilingual.h>
#include <remotesettings.h>

#include <QDialog>

#include <memory>

namespace Ui {
class Dialog_Remote;
}

// The remote control's settings: on or off, the address to listen on, the
// two ports, the token WebSocket clients give and the OSC senders allowed
// beyond the loopback; the tablet page, its port and its PIN where the
// build can serve it. OK keeps them only when they can be used.
class Dialog_Remote : public QDialog
{
    Q_OBJECT

public:
    Dialog_Remote(const RemoteSettings &settings, bool english, bool pageBuilt, QWidget *parent = nullptr);
    ~Dialog_Remote() override;

    RemoteSettings settings() const { return m_settings; }

private:
    void setTexts();
    void fill(const RemoteSettings &settings);
    void accept() override;
    QString problem(const RemoteSettings &settings, bool listenOk, bool allowOk) const;

    std::unique_ptr<Ui::Dialog_Remote> ui;
    Bilingual m_text;
    RemoteSettings m_settings;
    bool m_pageBuilt;
};

#endif // DIALOG_REMOTE_H
