// The remote control against the simulator, driven by real clients: the
// distribution's oscsend and oscdump, and a Python client on its websockets.

#include "mainwindowcase.h"
#include "remoteclients.h"

#include <dialog_remote.h>
#include <dialog_verify.h>
#include <dialog_wait.h>
#include <framebytes.h>
#include <linkedsimulator.h>
#include <mygraphicsview.h>
#include <remotecall.h>
#include <settingsfile.h>
#include <singleton_serialport.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTcpServer>
#include <QtTest>

using FrameBytes::heads;

class TestRemoteControl : public MainWindowCase
{
    Q_OBJECT

private slots:
    void initTestCase();
    void operatorSwitchesItOn();
    void clickIsPushedAsOperator();
    void recallByOscAndWebSocket();
    void recallDuringImportWaits();
    void recallsWaitForTheChoice();
    void leavingClientsRecallsAreDropped();
    void statusIsNotQueued();
    void badInput_data();
    void badInput();
    void hostileDataCloses_data();
    void hostileDataCloses();
    void oscWithWrongTagsIsRefused();
    void blindEditsAreRefused();
    void onAirRecalledWhileBlind();
    void verifyWhileTheOperatorVerifies();
    void tokenBeyondLoopback();
    void notLinked();

private:
    // The Remote Control dialog filled in with keys and clicks, then OK.
    void setRemote(const QString &listen, const QString &token);
    QString url(const QString &query = QString()) const;
    static std::unique_ptr<QProcess> startClient(const QStringList &args) { return RemoteClients::start(args); }
    static QStringList finish(QProcess *client) { return RemoteClients::finish(client); }
    static QStringList client(const QStringList &args) { return finish(startClient(args).get()); }
    bool oscsend(const QStringList &args);
    QByteArrayList recallsSince(int first) const;
    static QJsonObject json(const QString &line) { return QJsonDocument::fromJson(line.toUtf8()).object(); }
    static int errorOf(const QString &line) { return json(line).value("error").toObject().value("code").toInt(); }
    static QString request(int id, const char *method, const QString &params = QString())
    {
        return RemoteClients::request(id, method, params);
    }

    std::unique_ptr<LinkedSimulator> m_sim;
    QString m_oscsend;
    QString m_oscdump;
    quint16 m_oscPort = 0;
    quint16 m_wsPort = 0;
    QString m_token;
};

namespace {

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

const QString Subscribe = QStringLiteral(
    R"({"jsonrpc":"2.0","id":"s","method":"subscribe","params":{"topics":["preset.recalled"]}})");

} // namespace

void TestRemoteControl::initTestCase()
{
    m_oscsend = QStandardPaths::findExecutable(QStringLiteral("oscsend"));
    m_oscdump = QStandardPaths::findExecutable(QStringLiteral("oscdump"));
    QVERIFY2(!RemoteClients::python().isEmpty() && !m_oscsend.isEmpty() && !m_oscdump.isEmpty(),
             "python3, oscsend and oscdump come with scripts/setup");
    m_sim = std::make_unique<LinkedSimulator>();
    startAgainst(LinkedSimulator::tcpSettings(m_sim->simulator().tcpPort()));
    QVERIFY(m_driver.connectDevice());
    m_oscPort = freePort();
    m_wsPort = freePort();
}

void TestRemoteControl::setRemote(const QString &listen, const QString &token)
{
    m_driver.rejectDialogs = false;
    bool filled = false;
    const QMetaObject::Connection shown = connect(&m_driver, &WindowDriver::dialogShown, this, [&](QDialog *d) {
        auto *dialog = qobject_cast<Dialog_Remote *>(d);
        if (!dialog)
            return;
        QTimer::singleShot(0, dialog, [&, dialog] {
            auto *enabled = dialog->findChild<QCheckBox *>("enabledBox");
            if (!enabled->isChecked())
                QTest::mouseClick(enabled, Qt::LeftButton, {}, QPoint(4, enabled->height() / 2));
            const auto retype = [](QWidget *field, const QString &text) {
                QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(field, text);
            };
            retype(dialog->findChild<QSpinBox *>("oscPortBox"), QString::number(m_oscPort));
            retype(dialog->findChild<QSpinBox *>("wsPortBox"), QString::number(m_wsPort));
            retype(dialog->findChild<QComboBox *>("listenBox")->lineEdit(), listen);
            retype(dialog->findChild<QLineEdit *>("tokenEdit"), token);
            QTest::mouseClick(dialog->findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::Ok),
                              Qt::LeftButton);
            filled = true;
        });
    });
    m_driver.trigger("actionRemote");
    disconnect(shown);
    m_driver.rejectDialogs = true;
    QVERIFY(filled);
    m_token = token;
}

QString TestRemoteControl::url(const QString &query) const
{
    return QStringLiteral("ws://127.0.0.1:%1/%2").arg(m_wsPort).arg(query);
}

bool TestRemoteControl::oscsend(const QStringList &args)
{
    QProcess process;
    process.start(m_oscsend, QStringList{QStringLiteral("127.0.0.1"), QString::number(m_oscPort)} + args);
    return WindowDriver::waitFor([&] { return process.state() == QProcess::NotRunning; }, 10000)
        && process.exitCode() == 0;
}

QByteArrayList TestRemoteControl::recallsSince(int first) const
{
    QByteArrayList recalls;
    const QByteArrayList requests = FrameBytes::operatorRequests(m_sim->requests()).mid(first);
    for (const QByteArray &frame : requests) {
        if (heads({frame}, 1).first() == QLatin1String("49"))
            recalls << frame;
    }
    return recalls;
}

// Off until switched on; on, it is kept in the [Remote] group and the
// status bar counts the clients.
void TestRemoteControl::operatorSwitchesItOn()
{
    const auto *clients = m_driver.window()->statusBar()->findChild<QLabel *>(QStringLiteral("remoteClients"));
    QVERIFY(!clients->isVisible());
    setRemote(QStringLiteral("127.0.0.1"), QString());
    QSettings file(SettingsFile::path(), QSettings::IniFormat);
    QCOMPARE(file.value("Remote/enabled").toString(), QStringLiteral("true"));
    QCOMPARE(file.value("Remote/wsPort").toInt(), int(m_wsPort));
    const QStringList status = client({url(), request(1, "status")});
    QCOMPARE(json(status.value(0)).value("result").toObject(),
             QJsonObject({{"linked", true}, {"transport", "tcp"}, {"preset", 1}, {"busy", false}}));
    QVERIFY(clients->isVisible());
    QVERIFY(clients->text().startsWith("Remote: "));
}

void TestRemoteControl::clickIsPushedAsOperator()
{
    const std::unique_ptr<QProcess> subscriber = startClient({url(), Subscribe, "--notifications", "1"});
    QVERIFY(WindowDriver::waitFor([&] { return subscriber->canReadLine(); }, 20000));
    QTest::mouseClick(m_driver.presetButton(3), Qt::LeftButton);
    QVERIFY(m_driver.settle());
    const QStringList heard = finish(subscriber.get());
    QCOMPARE(json(heard.value(1)).value("params").toObject(), QJsonObject({{"preset", 4}, {"by", "operator"}, {"processor", QJsonObject({{"number", 1}, {"name", "Processor 1"}})}}));
}

// Each way in sends the frame a click sends, the canvas and the bar
// follow, and a second client hears that a remote client did it.
void TestRemoteControl::recallByOscAndWebSocket()
{
    int before = FrameBytes::operatorRequests(m_sim->requests()).size();
    QTest::mouseClick(m_driver.presetButton(2), Qt::LeftButton);
    QVERIFY(m_driver.settle());
    const QByteArrayList clicked = recallsSince(before);
    QCOMPARE(clicked.size(), 1);
    QTest::mouseClick(m_driver.presetButton(0), Qt::LeftButton);
    QVERIFY(m_driver.settle());

    const std::unique_ptr<QProcess> subscriber = startClient({url(), Subscribe, "--notifications", "2"});
    QVERIFY(WindowDriver::waitFor([&] { return subscriber->canReadLine(); }, 20000));
    before = FrameBytes::operatorRequests(m_sim->requests()).size();
    QVERIFY(oscsend({"/rz5300/preset/recall", "i", "3"}));
    QVERIFY(WindowDriver::waitFor([&] { return recallsSince(before).size() == 1; }, 10000));
    QVERIFY(m_driver.settle());
    QCOMPARE(m_driver.shownPreset(), 2);
    QCOMPARE(m_sim->model().currentPreset, 2);

    QTest::mouseClick(m_driver.presetButton(0), Qt::LeftButton);
    QVERIFY(m_driver.settle());
    const int beforeWs = FrameBytes::operatorRequests(m_sim->requests()).size();
    const QStringList answers = client({url(), request(7, "preset.recall", R"({"preset":3})")});
    QCOMPARE(json(answers.value(0)).value("result").toObject(), QJsonObject({{"preset", 3}}));
    QCOMPARE(m_driver.shownPreset(), 2);

    for (const QByteArrayList &remote : {recallsSince(before).mid(0, 1), recallsSince(beforeWs)}) {
        QCOMPARE(remote.size(), 1);
        QCOMPARE(heads(remote), heads(clicked));
        QCOMPARE(remote.first().size(), clicked.first().size());
    }
    const QStringList heard = finish(subscriber.get());
    const QJsonObject processor{{"number", 1}, {"name", "Processor 1"}};
    const QJsonObject byRemote{{"preset", 3}, {"by", "remote"}, {"processor", processor}};
    QCOMPARE(json(heard.value(1)).value("params").toObject(), byRemote);
    QCOMPARE(json(heard.value(1)).value("method").toString(), QStringLiteral("preset.recalled"));
}

// Recalls sent while a Data Import holds the wait page wait for the import
// and its verify, then run in order; the seventeenth is answered busy.
void TestRemoteControl::recallDuringImportWaits()
{
    m_driver.fileName = m_dir->filePath("import.pd");
    m_driver.trigger("actionExport");
    QStringList recalls{"--wait-go"};
    for (int id = 1; id <= 17; ++id)
        recalls << request(id, "preset.recall", QStringLiteral(R"({"preset":%1})").arg(id % 16 + 1));
    const std::unique_ptr<QProcess> client = startClient(QStringList{url()} + recalls);
    const QMetaObject::Connection shown = connect(&m_driver, &WindowDriver::dialogShown, this, [&](QDialog *d) {
        if (qobject_cast<Dialog_wait *>(d))
            client->write("go\n");
    });
    const int before = FrameBytes::operatorRequests(m_sim->requests()).size();
    m_driver.trigger("actionImport");
    const QStringList answers = finish(client.get());
    disconnect(shown);
    QVERIFY(m_driver.settle());

    QCOMPARE(answers.size(), 17);
    QCOMPARE(errorOf(answers.first()), int(RemoteError::Busy));
    QCOMPARE(json(answers.first()).value("id").toInt(), 17);
    for (int i = 1; i < 17; ++i)
        QCOMPARE(json(answers.at(i)).value("id").toInt(), i);
    const QStringList sent = heads(FrameBytes::operatorRequests(m_sim->requests()).mid(before), 1);
    QCOMPARE(sent.count("49"), 17); // the import's own, then the 16 queued
    QVERIFY(sent.lastIndexOf("1b") < sent.indexOf("49", sent.indexOf("49") + 1));
}

// While the operator weighs a connection's choice, a client's recall
// waits: nothing reaches the device until the choice is closed, then the
// recall goes and is answered; its status is answered at once.
void TestRemoteControl::recallsWaitForTheChoice()
{
    QVERIFY(m_driver.disconnectDevice());
    m_driver.trigger("actionWorkOffline");
    QTest::mouseClick(m_driver.presetButton(4), Qt::LeftButton);
    m_driver.drop(2, m_driver.canvas()->model().grid().screenRect(0).center());
    QVERIFY(m_driver.settle());
    const std::unique_ptr<QProcess> client =
        startClient({url(), "--wait-go", request(1, "preset.recall", R"({"preset":3})"), request(2, "status")});
    int recallsDuringChoice = -1;
    m_driver.verifyChoices = QStringList{QString()};
    const QMetaObject::Connection shown = connect(&m_driver, &WindowDriver::dialogShown, this, [&](QDialog *d) {
        auto *choice = qobject_cast<Dialog_Verify *>(d);
        if (!choice)
            return;
        const int before = FrameBytes::operatorRequests(m_sim->requests()).size();
        client->write("go\n");
        WindowDriver::waitFor([&] { return client->canReadLine(); }, 20000);
        recallsDuringChoice = int(heads(FrameBytes::operatorRequests(m_sim->requests()).mid(before), 1).count("49"));
        QTimer::singleShot(0, choice, [choice] { choice->findChild<QAbstractButton *>("closeButton")->click(); });
    });
    QVERIFY(m_driver.connectDevice());
    const QStringList answers = finish(client.get());
    disconnect(shown);
    m_driver.verifyChoices.clear(); // the hold, should the driver not have met the dialog
    QVERIFY(m_driver.settle());
    QCOMPARE(recallsDuringChoice, 0);
    QCOMPARE(answers.size(), 2);
    QCOMPARE(json(answers.at(0)).value("id").toInt(), 2);
    QCOMPARE(json(answers.at(1)).value("id").toInt(), 1);
    QVERIFY(json(answers.at(1)).contains("result"));
    QCOMPARE(m_sim->model().currentPreset, 2);
}

// Recalls a client sent behind a slow one, before it left: none reaches the
// device, however late its going is seen.
void TestRemoteControl::leavingClientsRecallsAreDropped()
{
    FaultOptions slow;
    slow.slowCode = 0x49;
    slow.slowMs = 2000;
    m_sim->simulator().setFaults(slow);
    QStringList recalls{url(), "--leave"};
    for (int id = 1; id <= 11; ++id)
        recalls << request(id, "preset.recall", QStringLiteral(R"({"preset":%1})").arg(id % 16 + 1));
    const int before = FrameBytes::operatorRequests(m_sim->requests()).size();
    QCOMPARE(client(recalls), QStringList{"left"});
    m_sim->simulator().setFaults({});
    QVERIFY(m_driver.settle());
    // The first ran, resent perhaps while the device was slow; no other.
    const QByteArrayList sent = recallsSince(before);
    QVERIFY(!sent.isEmpty());
    QCOMPARE(sent.count(sent.first()), sent.size());
}

// A status asked behind a verify is answered at once, and says busy.
void TestRemoteControl::statusIsNotQueued()
{
    FaultOptions slow;
    slow.delayMs = 50;
    m_sim->simulator().setFaults(slow);
    const QStringList answers = client({url(), request(1, "verify"), request(2, "status")});
    m_sim->simulator().setFaults({});
    QCOMPARE(json(answers.value(0)).value("id").toInt(), 2);
    QCOMPARE(json(answers.value(0)).value("result").toObject().value("busy").toBool(), true);
    QVERIFY(json(answers.value(1)).value("result").toObject().contains("same"));
}

void TestRemoteControl::badInput_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("code");
    QTest::newRow("bad JSON") << R"({"jsonrpc":"2.0","id":1,"method":)" << int(RemoteError::ParseError);
    QTest::newRow("preset a string") << request(1, "preset.recall", R"({"preset":"3"})") << int(RemoteError::InvalidParams);
    QTest::newRow("70 KiB") << request(1, "status", QStringLiteral(R"({"pad":"%1"})").arg(QString(70 * 1024, 'x')))
                            << int(RemoteError::TooLarge);
}

// Each is answered with its error and nothing reaches the device; only
// the oversized message closes its connection.
void TestRemoteControl::badInput()
{
    QFETCH(QString, message);
    QFETCH(int, code);
    const int before = FrameBytes::operatorRequests(m_sim->requests()).size();
    const QStringList answers = client({url(), message, request(2, "status")});
    QCOMPARE(errorOf(answers.value(0)), code);
    if (code == RemoteError::TooLarge)
        QCOMPARE(answers.value(1), QStringLiteral("closed 1009"));
    else
        QVERIFY(json(answers.value(1)).contains("result"));
    QCOMPARE(FrameBytes::operatorRequests(m_sim->requests()).size(), before);
}

void TestRemoteControl::hostileDataCloses_data()
{
    QTest::addColumn<int>("binaryBytes");
    QTest::addColumn<QString>("closed");
    QTest::newRow("100 KiB binary") << 100 * 1024 << "closed 1003";
    QTest::newRow("1 byte binary") << 1 << "closed 1003";
    // Qt closes with 1009; a client still sending when the socket goes may
    // see the close frame lost (1006). Closed it is, either way.
    QTest::newRow("over 128 KiB") << 200 * 1024 << "closed 100[69]";
}

// Binary data is no request: the connection is closed, what follows it is
// not run; past 128 KiB Qt closes it unread.
void TestRemoteControl::hostileDataCloses()
{
    QFETCH(int, binaryBytes);
    QFETCH(QString, closed);
    const int before = FrameBytes::operatorRequests(m_sim->requests()).size();
    const QStringList answers = client({url(), "--binary", QString::number(binaryBytes),
                                        request(1, "preset.recall", R"({"preset":2})")});
    QCOMPARE(answers.size(), 1);
    QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(closed)).match(answers.first()).hasMatch(),
             qPrintable(answers.first()));
    QCOMPARE(FrameBytes::operatorRequests(m_sim->requests()).size(), before);
}

// Answers go to the port a sender named with /rz5300/status.
void TestRemoteControl::oscWithWrongTagsIsRefused()
{
    const quint16 replies = freePort();
    QProcess dump;
    dump.start(m_oscdump, {"-L", QString::number(replies)});
    QVERIFY(dump.waitForStarted());
    const int before = FrameBytes::operatorRequests(m_sim->requests()).size();
    QVERIFY(WindowDriver::waitFor([&] {
        oscsend({"/rz5300/status", "i", QString::number(replies)});
        return dump.canReadLine();
    }, 10000));
    QVERIFY(oscsend({"/rz5300/preset/recall", "s", "three"}));
    QVERIFY(oscsend({"/rz5300/window/source", "if", "1", "2.0"}));
    QStringList lines;
    QVERIFY(WindowDriver::waitFor([&] {
        while (dump.canReadLine())
            lines << QString::fromUtf8(dump.readLine()).trimmed();
        return lines.filter("/rz5300/error").size() >= 2;
    }, 10000));
    dump.kill();
    dump.waitForFinished();
    QVERIFY(lines.filter("/rz5300/error").first().contains(QString::number(RemoteError::InvalidParams)));
    QCOMPARE(FrameBytes::operatorRequests(m_sim->requests()).size(), before);
}

// While the operator edits a preset blind, a client can neither recall
// that preset (its edits are not on the device) nor set a source in it
// (nothing would reach the wall).
void TestRemoteControl::blindEditsAreRefused()
{
    m_driver.trigger("actionBlind");
    const int edited = (link()->dm_data.curModel + 1) % 16;
    QTest::mouseClick(m_driver.presetButton(edited), Qt::LeftButton);
    QVERIFY(m_driver.settle());
    const int before = FrameBytes::operatorRequests(m_sim->requests()).size();
    const QStringList answers =
        client({url(), request(1, "preset.recall", QStringLiteral(R"({"preset":%1})").arg(edited + 1)),
                request(2, "window.setSource", R"({"window":1,"input":0})")});
    QCOMPARE(errorOf(answers.value(0)), int(RemoteError::Refused));
    QCOMPARE(errorOf(answers.value(1)), int(RemoteError::Refused));
    QCOMPARE(FrameBytes::operatorRequests(m_sim->requests()).size(), before);
    m_driver.trigger("actionBlind");
    QVERIFY(m_driver.settle());
}

// Just switched on, Blind edits nothing yet: the preset on air is recalled
// again as its button would be, not refused as edited.
void TestRemoteControl::onAirRecalledWhileBlind()
{
    m_driver.trigger("actionBlind");
    const int onAir = m_sim->model().currentPreset;
    const int before = FrameBytes::operatorRequests(m_sim->requests()).size();
    const QStringList answers =
        client({url(), request(1, "preset.recall", QStringLiteral(R"({"preset":%1})").arg(onAir + 1))});
    QCOMPARE(json(answers.value(0)).value("result").toObject(), QJsonObject({{"preset", onAir + 1}}));
    QCOMPARE(recallsSince(before).size(), 1);
    m_driver.trigger("actionBlind");
    QVERIFY(m_driver.settle());
}

// A client's verify, and the operator's own asked while the first reads
// (a slow device, so that it surely does): the client has its result and
// the operator the dialog.
void TestRemoteControl::verifyWhileTheOperatorVerifies()
{
    FaultOptions slow;
    slow.delayMs = 50;
    m_sim->simulator().setFaults(slow);
    const int before = FrameBytes::operatorRequests(m_sim->requests()).size();
    const std::unique_ptr<QProcess> client = startClient({url(), request(1, "verify")});
    QVERIFY(WindowDriver::waitFor([&] { return FrameBytes::operatorRequests(m_sim->requests()).size() > before; }, 10000));
    const int dialogs = m_driver.verified.size();
    m_driver.trigger("actionVerify");
    QVERIFY(m_driver.settle());
    const QStringList answers = finish(client.get());
    QVERIFY2(json(answers.value(0)).value("result").toObject().contains("same"), qPrintable(answers.join('\n')));
    QCOMPARE(m_driver.verified.size(), dialogs + 1);
    m_sim->simulator().setFaults({});
}

// Beyond the loopback a request needs the token, given in the URL encoded
// as clients encode it; the connection stays.
void TestRemoteControl::tokenBeyondLoopback()
{
    setRemote(QStringLiteral("0.0.0.0"), QStringLiteral("s3+cr%t"));
    const QStringList none = client({url(), request(1, "status"), request(2, "status")});
    const QStringList wrong = client({url("?token=guess"), request(1, "status")});
    const QStringList right = client({url("?token=s3%2Bcr%25t"), request(1, "status")});
    QCOMPARE(errorOf(none.value(0)), int(RemoteError::Unauthorised));
    QCOMPARE(errorOf(none.value(1)), int(RemoteError::Unauthorised));
    QCOMPARE(errorOf(wrong.value(0)), int(RemoteError::Unauthorised));
    QVERIFY(json(right.value(0)).contains("result"));
    setRemote(QStringLiteral("127.0.0.1"), QString());
}

void TestRemoteControl::notLinked()
{
    QVERIFY(m_driver.disconnectDevice());
    const QStringList answers = client({url(), request(1, "preset.recall", R"({"preset":2})"), request(2, "status")});
    QCOMPARE(errorOf(answers.value(0)), int(RemoteError::NotLinked));
    QCOMPARE(json(answers.value(1)).value("result").toObject().value("linked").toBool(), false);
}

QTEST_MAIN(TestRemoteControl)
#include "tst_remotecontrol.moc"
