#ifndef SIGNALRECORDER_H
#define SIGNALRECORDER_H

#include <QObject>
#include <QStringList>

// Records every signal an object emits, in order, as "name" or
// "name(argument)", but for those named in ignored; lives in the test's
// thread, so signals from another thread arrive queued and in emission
// order.
class SignalRecorder : public QObject
{
    Q_OBJECT

public:
    explicit SignalRecorder(QObject *source, const QStringList &ignored = {},
                            QObject *parent = nullptr);

    QStringList names;

    int count(const QString &name) const { return names.count(name); }
    void clear() { names.clear(); }

private slots:
    void record();
    void recordBool(bool value);
    void recordInt(int value);

private:
    void append(const QString &argument);
};

#endif // SIGNALRECORDER_H
