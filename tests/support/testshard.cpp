#include "testshard.h"

#include <QMetaMethod>
#include <QTest>

namespace {

bool isTestFunction(const QMetaMethod &method)
{
    static const QList<QByteArray> fixtures{"initTestCase", "cleanupTestCase", "init", "cleanup"};
    const QByteArray name = method.name();
    return method.methodType() == QMetaMethod::Slot && method.access() == QMetaMethod::Private
           && method.parameterCount() == 0 && !name.endsWith("_data") && !fixtures.contains(name);
}

} // namespace

int execTestShard(QObject *test, int argc, char **argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const QStringList shard = qEnvironmentVariable("RZ_TEST_SHARD").split(QLatin1Char('/'));
    if (shard.size() != 2)
        return QTest::qExec(test, args);
    const int index = shard.at(0).toInt();
    const int count = shard.at(1).toInt();
    if (count < 1 || index < 1 || index > count)
        qFatal("RZ_TEST_SHARD must be i/n with 1 <= i <= n");
    const QMetaObject *meta = test->metaObject();
    int found = 0;
    bool chosen = false;
    for (int m = meta->methodOffset(); m < meta->methodCount(); ++m) {
        if (!isTestFunction(meta->method(m)))
            continue;
        if (found++ % count == index - 1) {
            args << QString::fromLatin1(meta->method(m).name());
            chosen = true;
        }
    }
    // Naming no function would run them all.
    return chosen ? QTest::qExec(test, args) : 0;
}
