// The show's calls as a client makes them, decoded and dispatched against
// a stand-in for the station: sequences by name or number, the station's
// own verdicts passed on, and the journal's filter as the station gets it.

#include "fakestation.h"

#include <rpccodec.h>
#include <stationdispatcher.h>

#include <QtTest>

#include <memory>
#include <optional>

class TestShowDispatcher : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void sequencesAreAddressedAsLooksAre_data();
    void sequencesAreAddressedAsLooksAre();
    void stationVerdictsArePassedOn();
    void showCallsNeverWaitBehindALink();
    void journalFilterReachesTheStation();
    void journalEntriesCountProcessorsFromOne();

private:
    // The answer to one request, the codec's error when it has one; none
    // when nothing answered at once.
    std::optional<RemoteAnswer> ask(const QByteArray &params, const char *method);

    std::unique_ptr<FakeStation> m_fake;
    std::unique_ptr<StationDispatcher> m_dispatcher;
};

void TestShowDispatcher::init()
{
    m_dispatcher.reset();
    m_fake = std::make_unique<FakeStation>();
    m_dispatcher = std::make_unique<StationDispatcher>(m_fake.get());
}

std::optional<RemoteAnswer> TestShowDispatcher::ask(const QByteArray &params, const char *method)
{
    const RpcCodec::Decoded decoded = RpcCodec::decode(R"({"jsonrpc":"2.0","id":1,"method":")" + QByteArray(method)
                                                       + R"(","params":)" + params + "}");
    if (decoded.error != 0)
        return RemoteAnswer::failed(decoded.error, decoded.message);
    std::optional<RemoteAnswer> answer;
    m_dispatcher->submit(decoded.call, [&answer](const RemoteAnswer &a) { answer = a; }, this);
    return answer;
}

void TestShowDispatcher::sequencesAreAddressedAsLooksAre_data()
{
    QTest::addColumn<QByteArray>("params");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("index");
    QTest::newRow("name, another case") << QByteArray(R"({"sequence":"WALK-IN"})") << 0 << 0;
    QTest::newRow("number") << QByteArray(R"({"sequence":2})") << 0 << 1;
    QTest::newRow("unknown name") << QByteArray(R"({"sequence":"Finale"})") << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("number past the last") << QByteArray(R"({"sequence":3})") << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("number 0") << QByteArray(R"({"sequence":0})") << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("blank name") << QByteArray(R"({"sequence":"  "})") << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("65 characters") << QByteArray(R"({"sequence":")" + QByteArray(65, 'a') + "\"}")
                                   << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("a list") << QByteArray(R"({"sequence":["Walk-in"]})") << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("with a processor") << QByteArray(R"({"sequence":1,"processor":1})") << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("none") << QByteArray("{}") << int(RemoteError::InvalidParams) << -1;
}

// Started by name whatever its case or by number from 1, answered with the
// sequence as it is then; one that is not there is refused as an unknown
// look is, and nothing is started.
void TestShowDispatcher::sequencesAreAddressedAsLooksAre()
{
    QFETCH(QByteArray, params);
    QFETCH(int, error);
    QFETCH(int, index);
    const std::optional<RemoteAnswer> answer = ask(params, "sequence.start");
    QVERIFY(answer);
    QCOMPARE(answer->error, error);
    if (error != 0) {
        QVERIFY(m_fake->commands.isEmpty());
        return;
    }
    QCOMPARE(m_fake->commands.size(), 1);
    QCOMPARE(m_fake->commands.first().first, index);
    QVERIFY(m_fake->commands.first().second == RemoteStation::SequenceCommand::Start);
    const QJsonObject status = answer->result.toObject();
    QCOMPARE(status.value("name").toString(), m_fake->shown.at(index).name);
    QCOMPARE(status.value("state").toString(), QStringLiteral("playing"));
    QCOMPARE(status.value("step").toInt(), 1);
    QCOMPARE(status.value("timeLeft").toDouble(), 10.5);
}

// What the station will not do or keep is answered with its own words:
// a definition it judges wrong as invalid params, a command it cannot
// carry out now as refused.
void TestShowDispatcher::stationVerdictsArePassedOn()
{
    const QByteArray good = R"({"name":"Walk-in 2","loop":true,"onFailure":"skip","steps":[{"processor":1,"preset":3,"dwell":10.5},{"look":"Opening","dwell":60}]})";
    std::optional<RemoteAnswer> answer = ask(good, "sequence.store");
    QVERIFY(answer);
    QCOMPARE(answer->error, 0);
    QCOMPARE(m_fake->stored, QList<QJsonObject>{QJsonDocument::fromJson(good).object()});

    answer = ask(R"({"name":"Short","steps":[{"processor":1,"preset":3,"dwell":0.5}]})", "sequence.store");
    QCOMPARE(answer->error, int(RemoteError::InvalidParams));
    QCOMPARE(answer->message, QStringLiteral("step 1: dwell must be from 1 s to 24 h"));
    QCOMPARE(m_fake->stored.size(), 1);

    m_fake->refusal = QStringLiteral("Walk-in is not paused");
    answer = ask(R"({"sequence":1})", "sequence.resume");
    QCOMPARE(answer->error, int(RemoteError::Refused));
    QCOMPARE(answer->message, m_fake->refusal);
}

// A sequence is the station's: it is started and the journal read while
// a processor's link is taken by a transfer and its queue is full.
void TestShowDispatcher::showCallsNeverWaitBehindALink()
{
    m_fake->main.linkBusy = true;
    for (int n = 0; n < CallDispatcher::MaxQueued; ++n)
        QVERIFY(!ask(R"({"preset":1})", "preset.recall"));
    QCOMPARE(ask(R"({"preset":1})", "preset.recall")->error, int(RemoteError::Busy));
    std::optional<RemoteAnswer> answer = ask(R"({"sequence":"Interval"})", "sequence.start");
    QVERIFY(answer);
    QCOMPARE(answer->error, 0);
    answer = ask("{}", "journal.query");
    QVERIFY(answer);
    QCOMPARE(answer->error, 0);
    answer = ask("{}", "sequences.list");
    QVERIFY(answer);
    QCOMPARE(answer->result.toArray().size(), 2);
    QCOMPARE(answer->result.toArray().at(1).toObject().value("state").toString(), QStringLiteral("playing"));
    QVERIFY(m_fake->main.recalled.isEmpty());
}

// The processor by name or number becomes its index, 0 the station's own;
// times come in UTC whatever offset they were given in.
void TestShowDispatcher::journalFilterReachesTheStation()
{
    std::optional<RemoteAnswer> answer = ask("{}", "journal.query");
    QCOMPARE(answer->error, 0);
    QCOMPARE(m_fake->filters.last().limit, 100);
    QVERIFY(!m_fake->filters.last().processor);

    answer = ask(R"({"processor":"side WALL","who":"sequence","by":"Walk-in","kind":"recall","from":"2026-03-01T20:00:00+02:00","to":"2026-03-01T18:30:00.250Z","limit":1000})",
                 "journal.query");
    QCOMPARE(answer->error, 0);
    const JournalFilter filter = m_fake->filters.last();
    QCOMPARE(filter.processor, std::optional<int>(1));
    QCOMPARE(filter.who, QStringLiteral("sequence"));
    QCOMPARE(filter.by, QStringLiteral("Walk-in"));
    QCOMPARE(filter.kind, QStringLiteral("recall"));
    QCOMPARE(filter.from, QDateTime(QDate(2026, 3, 1), QTime(18, 0), Qt::UTC));
    QCOMPARE(filter.to, QDateTime(QDate(2026, 3, 1), QTime(18, 30, 0, 250), Qt::UTC));
    QCOMPARE(filter.limit, 1000);

    QCOMPARE(ask(R"({"processor":0})", "journal.query")->error, 0);
    QCOMPARE(m_fake->filters.last().processor, std::optional<int>(JournalFilter::Station));

    const int asked = int(m_fake->filters.size());
    const QList<QByteArray> hostile{
        R"({"processor":"Stage"})", R"({"processor":9})", R"({"processor":-1})", R"({"who":"anyone"})",
        R"({"who":5})", R"({"by":""})", R"({"by":")" + QByteArray(129, 'b') + "\"}", R"({"kind":"Recall"})",
        R"({"kind":"re call"})", R"({"from":"2026-03-01T18:00:00"})", R"({"from":"yesterday"})",
        R"({"from":"2026-02-30T18:00:00Z"})", R"({"from":1772388000})",
        R"({"from":"2026-03-02T00:00:00Z","to":"2026-03-01T00:00:00Z"})", R"({"limit":0})", R"({"limit":1001})",
        R"({"limit":2.5})", R"({"limit":"10"})", R"({"newest":true})"};
    for (const QByteArray &params : hostile) {
        answer = ask(params, "journal.query");
        QVERIFY2(answer && answer->error == RemoteError::InvalidParams, params.constData());
        QVERIFY2(!answer->message.isEmpty(), params.constData());
    }
    QCOMPARE(m_fake->filters.size(), asked);
}

void TestShowDispatcher::journalEntriesCountProcessorsFromOne()
{
    const QDateTime time(QDate(2026, 3, 1), QTime(18, 0, 0, 5), Qt::UTC);
    m_fake->journal = {
        {7, time.toOffsetFromUtc(3600), "remote", "127.0.0.1 cue", 1, "Side wall", "recall", "preset 3", "confirmed", ""},
        {6, time, "watchdog", "", JournalFilter::Station, "", "backup", "source", "given up", "no answer"}};
    const std::optional<RemoteAnswer> answer = ask(R"({"limit":5})", "journal.query");
    const QJsonArray entries = answer->result.toObject().value("entries").toArray();
    QCOMPARE(entries.size(), 2);
    const QJsonObject newest = entries.at(0).toObject();
    QCOMPARE(newest.value("id").toInt(), 7);
    QCOMPARE(newest.value("time").toString(), QStringLiteral("2026-03-01T18:00:00.005Z"));
    QCOMPARE(newest.value("processor").toInt(), 2);
    QCOMPARE(newest.value("processorName").toString(), QStringLiteral("Side wall"));
    QCOMPARE(entries.at(1).toObject().value("processor").toInt(), 0);
    QCOMPARE(entries.at(1).toObject().value("result").toString(), QStringLiteral("given up"));
}

QTEST_GUILESS_MAIN(TestShowDispatcher)
#include "tst_showdispatcher.moc"
