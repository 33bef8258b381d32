#ifndef LINKACTIVITY_H
#define LINKACTIVITY_H

#include <QByteArray>

// The link worker's work as the callers' thread knows it from the worker's
// reports, so that asking never waits for the worker: a post counts as
// busy from the moment it is made until the worker reports it run and its
// requests answered or dropped.
class LinkActivity
{
public:
    // A post made; its number, which the worker reports back once run.
    int posted() { return ++m_posted; }
    void ran(int post) { m_ran = post; }
    void framesQueued(int frames) { m_frames = frames; }
    // Posts not yet run and requests queued or in flight.
    int queuedFrames() const { return m_posted - m_ran + m_frames; }

    // The tag of the last frame sent, as last reported or set here.
    QByteArray lastTag() const { return m_lastTag; }
    void setLastTag(const QByteArray &tag) { m_lastTag = tag; }

private:
    int m_posted = 0;
    int m_ran = 0;
    int m_frames = 0;
    QByteArray m_lastTag;
};

#endif // LINKACTIVITY_H
