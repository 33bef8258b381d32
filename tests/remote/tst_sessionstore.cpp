#include <pinhash.h>
#include <sessionstore.h>

#include <QTest>

using namespace std::chrono_literals;

class TestSessionStore : public QObject
{
    Q_OBJECT

private slots:
    void sessionsLastTheirLifetimeFromLastUse();
    void aNewPinEndsEverySession();
};

namespace {

// A monotonic time the test moves by hand.
struct HandClock
{
    SessionStore::Clock::time_point now{};
    std::function<SessionStore::Clock::time_point()> source()
    {
        return [this] { return now; };
    }
};

} // namespace

void TestSessionStore::sessionsLastTheirLifetimeFromLastUse()
{
    HandClock clock;
    SessionStore sessions(1h, clock.source());
    const QString used = sessions.open();
    const QString idle = sessions.open();
    QVERIFY(used != idle);
    QVERIFY(!sessions.take(QString()));
    QVERIFY(!sessions.take(used.left(used.size() - 1)));

    clock.now += 50min;
    QVERIFY(sessions.take(used)); // its hour starts again
    clock.now += 10min;
    QVERIFY(!sessions.take(idle)); // an hour without use: gone
    QCOMPARE(sessions.size(), 1);
    clock.now += 49min;
    QVERIFY(sessions.take(used));
    clock.now += 1h;
    QVERIFY(!sessions.take(used));
    QCOMPARE(sessions.size(), 0);

    // The oldest makes room for the newest.
    const QString first = sessions.open();
    for (int i = 1; i < SessionStore::MaxSessions; ++i)
        sessions.open();
    const QString newest = sessions.open();
    QCOMPARE(sessions.size(), SessionStore::MaxSessions);
    QVERIFY(!sessions.take(first));
    QVERIFY(sessions.take(newest));
}

void TestSessionStore::aNewPinEndsEverySession()
{
    SessionStore sessions;
    QVERIFY(!sessions.pinSet());
    QVERIFY(!sessions.pinMatches(QString()));
    sessions.setPinHash(PinHash::make(QStringLiteral("4711")));
    const QString token = sessions.open();
    sessions.setPinHash(PinHash::make(QStringLiteral("4711"))); // salted anew: another hash
    QVERIFY(sessions.pinMatches(QStringLiteral("4711")));
    QVERIFY(!sessions.pinMatches(QStringLiteral("4712")));
    QVERIFY(!sessions.take(token));
}

QTEST_GUILESS_MAIN(TestSessionStore)
#include "tst_sessionstore.moc"
