#ifndef TESTSHARD_H
#define TESTSHARD_H

#include <QCoreApplication>
#include <QObject>

// The slow link suites wait on real time-outs. CTest runs them in shards
// side by side: with RZ_TEST_SHARD set to "i/n", only every n-th test
// function (from the i-th) runs; without it, all of them.
int execTestShard(QObject *test, int argc, char **argv);

#define RZ_SHARDED_GUILESS_MAIN(TestObject)            \
    int main(int argc, char *argv[])                   \
    {                                                  \
        QCoreApplication app(argc, argv);              \
        TestObject test;                               \
        return execTestShard(&test, argc, argv);       \
    }

#endif // TESTSHARD_H
