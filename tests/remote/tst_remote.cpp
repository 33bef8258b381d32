// The request decoders and the queue of the remote control, without the
// window: a stand-in for the operator's actions.

#include "fakeactions.h"
#include "oscbytes.h"

#include <calldispatcher.h>
#include <oscmessage.h>
#include <rpccodec.h>

#include <QtTest>

#include <optional>

namespace {

RemoteCall recallOf(int preset)
{
    RemoteCall call;
    call.method = RemoteCall::Recall;
    call.preset = preset;
    return call;
}

} // namespace

class TestRemote : public QObject
{
    Q_OBJECT

private slots:
    void rpc_data();
    void rpc();
    void strictJson_data();
    void strictJson();
    void osc_data();
    void osc();
    void queueWaitsThenRunsInOrder();
    void readsAreAnsweredAtOnce();
    void goneClientsCallsAreDropped();
};

void TestRemote::rpc_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("preset"); // from 0, for a good recall

    const auto req = [](const char *rest) {
        return QByteArray(R"({"jsonrpc":"2.0","id":1,)") + rest + "}";
    };
    QTest::newRow("recall") << req(R"("method":"preset.recall","params":{"preset":16})") << 0 << 15;
    QTest::newRow("status") << req(R"("method":"status")") << 0 << -1;
    QTest::newRow("bad JSON") << QByteArray("{\"jsonrpc\":") << int(RemoteError::ParseError) << -1;
    QTest::newRow("batch") << QByteArray("[]") << int(RemoteError::InvalidRequest) << -1;
    QTest::newRow("no version") << QByteArray(R"({"id":1,"method":"status"})") << int(RemoteError::InvalidRequest) << -1;
    QTest::newRow("id an object") << QByteArray(R"({"jsonrpc":"2.0","id":{},"method":"status"})")
                                  << int(RemoteError::InvalidRequest) << -1;
    QTest::newRow("method a number") << req(R"("method":5)") << int(RemoteError::InvalidRequest) << -1;
    QTest::newRow("unknown method") << req(R"("method":"preset.erase")") << int(RemoteError::MethodNotFound) << -1;
    QTest::newRow("params a list") << req(R"("method":"preset.recall","params":[3])") << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("preset 0") << req(R"("method":"preset.recall","params":{"preset":0})") << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("preset 17") << req(R"("method":"preset.recall","params":{"preset":17})") << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("preset 2.5") << req(R"("method":"preset.recall","params":{"preset":2.5})") << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("preset a string") << req(R"("method":"preset.recall","params":{"preset":"2"})") << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("extra parameter") << req(R"("method":"status","params":{"x":1})") << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("window 65") << req(R"("method":"window.setSource","params":{"window":65,"input":1})")
                               << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("unknown topic") << req(R"("method":"subscribe","params":{"topics":["all"]})")
                                   << int(RemoteError::InvalidParams) << -1;
    const auto store = [&req](const QByteArray &definition) {
        return req(R"("method":"sequence.store","params":)" + definition);
    };
    const auto steps = [](int count, const QByteArray &step) {
        QByteArray list = "[" + step;
        for (int n = 1; n < count; ++n)
            list += "," + step;
        return list + "]";
    };
    const QByteArray step = R"({"processor":1,"preset":3,"dwell":10.5})";
    QTest::newRow("store 100 steps") << store(R"({"name":"Walk-in","steps":)" + steps(100, step) + "}") << 0 << -1;
    QTest::newRow("store 101 steps") << store(R"({"name":"Walk-in","steps":)" + steps(101, step) + "}")
                                     << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("store no step") << store(R"({"name":"Walk-in","steps":[]})") << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("store without steps") << store(R"({"name":"Walk-in"})") << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("store a step nested") << store(R"({"name":"W","steps":[{"look":{"name":"Opening"},"dwell":1}]})")
                                         << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("store a step a list") << store(R"({"name":"W","steps":[[1,3,10]]})") << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("store a step's dwell a string") << store(R"({"name":"W","steps":[{"look":"Opening","dwell":"60"}]})")
                                                   << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("store a step's unknown member") << store(R"({"name":"W","steps":[{"look":"Opening","wait":60}]})")
                                                   << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("store a look's name of 33") << store(R"({"name":"W","steps":[{"look":")" + QByteArray(33, 'o') + R"(","dwell":1}]})")
                                               << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("store a name of 65") << store(R"({"name":")" + QByteArray(65, 'w') + R"(","steps":)" + steps(1, step) + "}")
                                        << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("store loop a string") << store(R"({"name":"W","loop":"yes","steps":)" + steps(1, step) + "}")
                                         << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("store an unknown member") << store(R"({"name":"W","repeat":2,"steps":)" + steps(1, step) + "}")
                                             << int(RemoteError::InvalidParams) << -1;
    QTest::newRow("70 KiB") << req(R"("method":"status","pad":")" + QByteArray(70 * 1024, 'x') + "\"")
                            << int(RemoteError::TooLarge) << -1;
}

void TestRemote::rpc()
{
    QFETCH(QByteArray, message);
    QFETCH(int, error);
    QFETCH(int, preset);
    const RpcCodec::Decoded decoded = RpcCodec::decode(message);
    QCOMPARE(decoded.error, error);
    QCOMPARE(decoded.call.preset, preset);
    const QJsonObject answer = QJsonDocument::fromJson(RpcCodec::error(decoded.id, error, decoded.message)).object();
    QCOMPARE(answer.value("jsonrpc").toString(), QStringLiteral("2.0"));
}

// What Qt 5's parser would take, and a recall hidden in an invalid escape.
void TestRemote::strictJson_data()
{
    QTest::addColumn<QByteArray>("message");
    const auto recall = [](const char *preset) {
        return QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"preset.recall","params":{"preset":)") + preset + "}}";
    };
    QTest::newRow("invalid escape") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"preset.rec\all","params":{"preset":2}})");
    QTest::newRow("raw tab in a string") << QByteArray("{\"jsonrpc\":\"2.0\",\"id\":\"a\tb\",\"method\":\"status\"}");
    QTest::newRow("raw newline in a string") << QByteArray("{\"jsonrpc\":\"2.0\",\"id\":1,\"method\":\"sta\ntus\"}");
    QTest::newRow("7.") << recall("7.");
    QTest::newRow(".9e1") << recall(".9e1");
    QTest::newRow("leading zero") << recall("01");
    QTest::newRow("plus sign") << recall("+3");
    QTest::newRow("NaN") << recall("NaN");
    QTest::newRow("Infinity") << recall("Infinity");
    QTest::newRow("hex") << recall("0x3");
    QTest::newRow("trailing comma in object") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"status",})");
    QTest::newRow("trailing comma in array")
        << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"subscribe","params":{"topics":["link.changed",]}})");
    QTest::newRow("single quotes") << QByteArray(R"({'jsonrpc':'2.0','id':1,'method':'status'})");
    QTest::newRow("lone high surrogate") << QByteArray(R"({"jsonrpc":"2.0","id":"\ud800","method":"status"})");
    QTest::newRow("lone low surrogate") << QByteArray(R"({"jsonrpc":"2.0","id":"\udc00","method":"status"})");
    QTest::newRow("invalid UTF-8") << QByteArray("{\"jsonrpc\":\"2.0\",\"id\":\"\xff\",\"method\":\"status\"}");
    QTest::newRow("two documents") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"status"}{})");
    QTest::newRow("comment") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"status"/**/})");
}

void TestRemote::strictJson()
{
    QFETCH(QByteArray, message);
    const RpcCodec::Decoded decoded = RpcCodec::decode(message);
    QCOMPARE(decoded.error, int(RemoteError::ParseError));
    QCOMPARE(decoded.call.preset, -1);
}

void TestRemote::osc_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("method");
    QTest::newRow("recall 3") << oscBytes("/rz5300/preset/recall", "i", 3, LO_ARGS_END) << 0 << int(RemoteCall::Recall);
    QTest::newRow("next") << oscBytes("/rz5300/preset/next", "", LO_ARGS_END) << 0 << int(RemoteCall::Next);
    QTest::newRow("source") << oscBytes("/rz5300/window/source", "ii", 2, 5, LO_ARGS_END) << 0 << int(RemoteCall::SetSource);
    QTest::newRow("status with port") << oscBytes("/rz5300/status", "i", 9000, LO_ARGS_END) << 0 << int(RemoteCall::Status);
    QTest::newRow("recall a float") << oscBytes("/rz5300/preset/recall", "f", 3.0, LO_ARGS_END) << int(RemoteError::InvalidParams) << 0;
    QTest::newRow("recall a string") << oscBytes("/rz5300/preset/recall", "s", "3", LO_ARGS_END) << int(RemoteError::InvalidParams) << 0;
    QTest::newRow("recall 17") << oscBytes("/rz5300/preset/recall", "i", 17, LO_ARGS_END) << int(RemoteError::InvalidParams) << 0;
    QTest::newRow("next with an argument") << oscBytes("/rz5300/preset/next", "i", 1, LO_ARGS_END) << int(RemoteError::InvalidParams) << 0;
    QTest::newRow("status port 0") << oscBytes("/rz5300/status", "i", 0, LO_ARGS_END) << int(RemoteError::InvalidParams) << 0;
    QTest::newRow("unknown address") << oscBytes("/rz5300/erase", "", LO_ARGS_END) << int(RemoteError::MethodNotFound) << 0;
    QTest::newRow("cut short") << oscBytes("/rz5300/preset/recall", "i", 3, LO_ARGS_END).chopped(2) << int(RemoteError::ParseError) << 0;
    QTest::newRow("sequence start 2") << oscBytes("/rz5300/sequence/start", "i", 2, LO_ARGS_END) << 0
                                      << int(RemoteCall::SequenceStart);
    QTest::newRow("sequence stop by name") << oscBytes("/rz5300/sequence/stop", "s", "Walk-in", LO_ARGS_END) << 0
                                           << int(RemoteCall::SequenceStop);
    QTest::newRow("sequence pause 0") << oscBytes("/rz5300/sequence/pause", "i", 0, LO_ARGS_END) << int(RemoteError::InvalidParams) << 0;
    QTest::newRow("sequence resume a float") << oscBytes("/rz5300/sequence/resume", "f", 1.0, LO_ARGS_END)
                                             << int(RemoteError::InvalidParams) << 0;
    QTest::newRow("sequence start blank") << oscBytes("/rz5300/sequence/start", "s", " ", LO_ARGS_END)
                                          << int(RemoteError::InvalidParams) << 0;
    QTest::newRow("sequence start 65 characters") << oscBytes("/rz5300/sequence/start", "s", QByteArray(65, 'a').constData(), LO_ARGS_END)
                                                  << int(RemoteError::InvalidParams) << 0;
    QTest::newRow("sequence start not UTF-8") << oscBytes("/rz5300/sequence/start", "s", "Walk\xff", LO_ARGS_END)
                                              << int(RemoteError::InvalidParams) << 0;
    QTest::newRow("sequence start two") << oscBytes("/rz5300/sequence/start", "ii", 1, 2, LO_ARGS_END)
                                        << int(RemoteError::InvalidParams) << 0;
    QTest::newRow("bundle") << QByteArray("#bundle\0\0\0\0\0\0\0\0\1", 16) << int(RemoteError::InvalidRequest) << 0;
}

void TestRemote::osc()
{
    QFETCH(QByteArray, datagram);
    QFETCH(int, error);
    QFETCH(int, method);
    const OscMessage::Decoded decoded = OscMessage::decode(datagram);
    QCOMPARE(decoded.error, error);
    if (error == 0)
        QCOMPARE(int(decoded.call.method), method);
}

// A call runs at once on an idle link; while the device has not answered,
// 16 wait and run in turn; the 17th is busy at once. The call of a client
// that has gone meanwhile is not run.
void TestRemote::queueWaitsThenRunsInOrder()
{
    FakeActions actions;
    CallDispatcher dispatcher(&actions);
    auto *leaving = new QObject;
    QList<int> answered;
    QList<int> errors;
    for (int n = 0; n < 18; ++n) {
        dispatcher.submit(recallOf(n % 16), [&, n](const RemoteAnswer &answer) {
            answered << n;
            errors << answer.error;
        }, n == 5 ? leaving : &actions);
    }
    QCOMPARE(actions.recalled, QList<int>{0});
    QCOMPARE(answered, QList<int>{17});
    QCOMPARE(errors, QList<int>{RemoteError::Busy});
    delete leaving;
    for (int n = 1; n <= 16; ++n) {
        actions.answer();
        QCoreApplication::processEvents();
    }
    QCOMPARE(actions.recalled.size(), 16);
    QCOMPARE(answered.mid(1), QList<int>({0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
    QCOMPARE(errors.count(0), 16);
}

// Only what asks the device waits: a status taken behind a busy link says
// so at once, and the reads of what the host holds do not queue either.
void TestRemote::readsAreAnsweredAtOnce()
{
    FakeActions actions;
    CallDispatcher dispatcher(&actions);
    QList<int> waiting;
    for (int n = 0; n < 2; ++n)
        dispatcher.submit(recallOf(n), [&, n](const RemoteAnswer &) { waiting << n; }, &actions);
    QVERIFY(waiting.isEmpty());
    const QList<RemoteCall::Method> reads{RemoteCall::Status, RemoteCall::PresetsList, RemoteCall::PresetWindows,
                                          RemoteCall::InputsList, RemoteCall::Subscribe};
    for (RemoteCall::Method method : reads) {
        RemoteCall call;
        call.method = method;
        call.preset = 0;
        std::optional<RemoteAnswer> answer;
        dispatcher.submit(call, [&](const RemoteAnswer &a) { answer = a; }, &actions);
        QVERIFY(answer);
        QCOMPARE(answer->error, 0);
        if (method == RemoteCall::Status)
            QCOMPARE(answer->result.toObject().value("busy").toBool(), true);
    }
    QCOMPARE(actions.recalled, QList<int>{0});
}

// A client that goes takes its waiting calls with it at once, whether it
// says so or its connection is destroyed: they never reach the device,
// even if it were still there when they came to the head.
void TestRemote::goneClientsCallsAreDropped()
{
    FakeActions actions;
    CallDispatcher dispatcher(&actions);
    QObject stays;
    QObject leaves;
    auto *destroyed = new QObject;
    dispatcher.submit(recallOf(0), [](const RemoteAnswer &) {}, &stays);
    for (QObject *caller : {&leaves, destroyed, &stays, &leaves})
        dispatcher.submit(recallOf(caller == &stays ? 1 : 9), [](const RemoteAnswer &) {}, caller);
    dispatcher.forget(&leaves);
    delete destroyed;
    for (int n = 0; n < 4; ++n) {
        actions.answer();
        QCoreApplication::processEvents();
    }
    QCOMPARE(actions.recalled, QList<int>({0, 1}));
}

QTEST_GUILESS_MAIN(TestRemote)
#include "tst_remote.moc"
