#ifndef WAITPROGRESS_H
#define WAITPROGRESS_H

#include <QElapsedTimer>
#include <QString>

// Turns the link's progress of a posted command into what the wait page
// shows: what is happening, how far it is (in presets where the command
// moves presets), and the time left, estimated from the bytes still to go
// and the rate measured so far.
class WaitProgress
{
public:
    struct Page
    {
        QString text;
        int value = 0;
        int maximum = 0;
    };

    Page update(int command, int framesDone, int framesTotal, qint64 bytesDone, qint64 bytesTotal,
                bool english);
    // Seconds still to go at the rate so far; -1 before there is a rate.
    double secondsLeft(qint64 bytesDone, qint64 bytesTotal) const;

private:
    int m_command = -1;
    QElapsedTimer m_clock;
    qint64 m_bytesAtStart = 0;
};

#endif // WAITPROGRESS_H
