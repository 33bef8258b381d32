#include "signalrecorder.h"

#include <QMetaMethod>

SignalRecorder::SignalRecorder(QObject *source, const QStringList &ignored, QObject *parent)
    : QObject(parent)
{
    const QMetaObject *meta = source->metaObject();
    const QMetaObject *own = metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() != QMetaMethod::Signal || method.parameterCount() > 1
            || ignored.contains(QString::fromLatin1(method.name())))
            continue;
        const char *slot = "record()";
        if (method.parameterCount() == 1)
            slot = method.parameterType(0) == QMetaType::Bool ? "recordBool(bool)" : "recordInt(int)";
        connect(source, method, this, own->method(own->indexOfSlot(slot)));
    }
}

void SignalRecorder::record()
{
    append(QString());
}

void SignalRecorder::recordBool(bool value)
{
    append(value ? QStringLiteral("true") : QStringLiteral("false"));
}

void SignalRecorder::recordInt(int value)
{
    append(QString::number(value));
}

void SignalRecorder::append(const QString &argument)
{
    const QString name = QString::fromLatin1(sender()->metaObject()->method(senderSignalIndex()).name());
    names << (argument.isNull() ? name : QStringLiteral("%1(%2)").arg(name, argument));
}
