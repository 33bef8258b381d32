#ifndef LINKFEEDBACK_H
#define LINKFEEDBACK_H

#include "waitprogress.h"

#include <bilingual.h>

#include <QObject>
#include <QTimer>

class Singleton_SerialPort;

// What the operator sees of the link's work: the message boxes, from the
// two message tables, and the modal wait page. The page's time-out starts
// anew at every sign of activity of the link, so it runs out only when the
// link has stood still that long; the page shows the progress of commands
// of several exchanges.
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
    // No connection has completed in this run yet.
    bool firstConnectPending() const { return m_firstConnectPending; }

signals:
    void closeWait();
    void waitProgress(const QString &text, int value, int maximum);
    void waitPagesClosed();

private:
    void linkActive(int activity);
    void linkProgress(int command, int framesDone, int framesTotal, qint64 bytesDone, qint64 bytesTotal);
    void timedOut();

    Singleton_SerialPort *m_link;
    Bilingual m_text;
    QTimer m_waitTimer;
    int m_outTimeCount = 5000; // the time-out of the next wait page
    int m_openWaitPages = 0;
    int m_linkActivity = 0; // the link's last activity the page heard of
    bool m_firstConnectPending = true;
    WaitProgress m_progress;
};

#endif // LINKFEEDBACK_H
