#ifndef RECONNECTSTATUS_H
#define RECONNECTSTATUS_H

#include <bilingual.h>

#include <QWidget>

#include <memory>

class Reconnector;

namespace Ui {
class ReconnectStatus;
}

// The status bar's word on a reconnection: when the next attempt comes,
// and a button that stops it. Hidden while there is none.
class ReconnectStatus : public QWidget
{
    Q_OBJECT

public:
    explicit ReconnectStatus(Reconnector *reconnector, QWidget *parent = nullptr);
    ~ReconnectStatus() override;

    void setEnglish(bool english);

private:
    void showState();

    std::unique_ptr<Ui::ReconnectStatus> ui;
    Reconnector *m_reconnector;
    Bilingual m_text;
};

#endif // RECONNECTSTATUS_H
