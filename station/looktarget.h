#ifndef LOOKTARGET_H
#define LOOKTARGET_H

#include <QObject>
#include <QString>

#include <functional>

class Singleton_SerialPort;

// One processor as a look recalls it: its name, its link and the way a
// recall is made there. The window makes the recall the operator's own
// (the preset bar, the history and the marks follow); without one, the
// recall goes to the link as it is. Either way the link tells how it ended.
// A recall is posted first and followed after, so that a look sends every
// processor's frame before any window redraws.
class LookTarget : public QObject
{
    Q_OBJECT

public:
    // Posts the recall; false when the processor refused it (a preset
    // edited blind there, say).
    using Post = std::function<bool(int preset)>;
    using Follow = std::function<void(int preset)>;

    LookTarget(const QString &name, Singleton_SerialPort *link, QObject *parent = nullptr);

    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    Singleton_SerialPort *link() const { return m_link; }
    bool linked() const;
    void setRecall(Post post, Follow follow)
    {
        m_post = std::move(post);
        m_follow = std::move(follow);
    }
    bool recall(int preset);
    void follow(int preset);

signals:
    // The device confirmed the recall of the preset, or it was given up.
    void recallEnded(int preset, bool confirmed);

private:
    QString m_name;
    Singleton_SerialPort *m_link;
    Post m_post;
    Follow m_follow;
};

#endif // LOOKTARGET_H
