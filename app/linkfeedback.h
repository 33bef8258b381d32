#ifndef LINKFEEDBACK_H
#define LINKFEEDBACK_H

#include "waitprogress.h"

#include <bilingual.h>

#include <QObject>

class Singleton_SerialPort;

// What the operator sees of the link's work: the message boxes, from the
// two message tables, and the modal wait page, which shows the progress of
// commands of several exchanges. The link times each request against its
// own command's time-out; a device that gives no answer before a first
// connection has completed is not waited for again: the link is closed.
class LinkFeedback : public QObject
{
    Q_OBJECT

public:
    explicit LinkFeedback(Singleton_SerialPort *link, QObject *parent = nullptr);

    void setEnglish(bool english);
    QString message(int code) const;
    void showMessage(int code) const;

    // Runs a wait page until closeWaitPages(); pages nest.
    void openWaitPage();
    void closeWaitPages();
    bool waitPageOpen() const { return m_openPages > 0; }

signals:
    void closeWait();
    void waitProgress(const QString &text, int value, int maximum);
    void waitPagesClosed();
    // The last open wait page has returned.
    void waitPagesGone();

private:
    void linkProgress(int command, int framesDone, int framesTotal, qint64 bytesDone, qint64 bytesTotal);
    void linkMessage(int code);

    Singleton_SerialPort *m_link;
    Bilingual m_text;
    int m_outTimeCount = 5000; // the time-out announced for the next command
    int m_openPages = 0;
    WaitProgress m_progress;
};

#endif // LINKFEEDBACK_H
