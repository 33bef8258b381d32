#include <commandtype.h>
#include <deviceprotocol.h>
#include <devicesimulator.h>
#include <framebuilder.h>
#include <replyassembler.h>
#include <replyshape.h>
#include <singleton_serialport.h>

#include "framebytes.h"
#include "linkedsimulator.h"
#include "ptyskip.h"
#include "signalrecorder.h"
#include "timedrequest.h"
#include "workertag.h"

#include <QTemporaryDir>
#include <QtTest>

#include <ctime>
#include <memory>

namespace {

using FrameBytes::heads;

constexpr int Wait = 10000;

// A window the tests put into a preset.
struct Window
{
    int preset, slot, channel, b3;
    const char *cells; // 16 bytes in hex, two cells a byte, high nibble first
    QRect wall, source;
};

const Window Windows[] = {
    {0, 0, 38, 0, "11000000000000000000000000000000", {0, 0, 1280, 720}, {0, 0, 1920, 1080}},
    {0, 9, 100, 2, "0011f000000000000000000000000000", {1280, 0, 2944, 720}, {16, 8, 960, 540}},
    {7, 63, 5, 0, "123456789abcdef0fedcba9876543210", {300, 200, 1000, 900}, {0, 0, 1920, 1080}},
    {15, 31, 223, 255, "ffffffffffffffffffffffffffffffff", {4000, 1500, 1024, 768}, {7, 9, 704, 576}},
};

const QVector<int> WallWidths{1280, 1920, 1024};
const QVector<int> WallHeights{720, 1080};
constexpr int WallResolution = 9;
constexpr int CurrentPreset = 7;

// The window's 36-byte block as the device stores it.
QByteArray blockOf(const Window &w)
{
    QByteArray block(Preset::WindowSize, '\0');
    block[0] = char(w.slot);
    block[1] = 1;
    block[2] = char(w.channel);
    block[3] = char(w.b3);
    block.replace(4, 16, QByteArray::fromHex(w.cells));
    const int values[] = {w.wall.x(),   w.wall.width(),   w.wall.y(),   w.wall.height(),
                          w.source.x(), w.source.width(), w.source.y(), w.source.height()};
    for (int v = 0; v < 8; ++v) {
        block[20 + 2 * v] = char(values[v] & 0xFF);
        block[21 + 2 * v] = char(values[v] >> 8);
    }
    return block;
}

std::array<Preset, DeviceModel::PresetCount> presetsWithWindows()
{
    std::array<Preset, DeviceModel::PresetCount> presets;
    for (const Window &w : Windows) {
        Preset &preset = presets[size_t(w.preset)];
        preset.setWindow(blockOf(w));
        preset.layers[w.slot] = char(w.slot + 1);
    }
    return presets;
}

QString lineOf(int count, const QList<int> &layers, const QList<WinData> &wins)
{
    QString line;
    QDebug(&line) << count << layers;
    for (const WinData &w : wins) {
        QDebug(&line) << w.winId << w.b2 << w.b3 << w.rectA << w.rectB;
        for (int cell : w.cells)
            line += QString::number(cell, 16);
    }
    return line;
}

// Count, layers and windows of each preset.
QStringList presetLines(const std::array<Preset, DeviceModel::PresetCount> &presets)
{
    QStringList lines;
    for (const Preset &preset : presets) {
        QList<int> layers;
        for (char layer : preset.layers)
            layers << quint8(layer);
        QList<WinData> wins;
        for (int slot = 0; slot < Preset::SlotCount; ++slot) {
            if (preset.holdsWindow(slot))
                wins << WinData::fromBlock(preset.window(slot));
        }
        lines << lineOf(preset.windowCount(), layers, wins);
    }
    return lines;
}

QStringList presetLines(const DeviceData &data)
{
    QStringList lines;
    for (int p = 0; p < DeviceData::Presets; ++p) {
        const auto &layers = data.modelLayer[size_t(p)];
        lines << lineOf(data.modelWinCount[size_t(p)], QList<int>(layers.cbegin(), layers.cend()),
                        data.modelWins[size_t(p)]);
    }
    return lines;
}

// Number, presence, card type, main signal and signal flags of each entry.
QStringList entryLines(const DeviceModel &model)
{
    QStringList lines;
    for (const InputEntry &e : model.entries)
        lines << QStringLiteral("%1 %2 %3 %4 %5 %6").arg(e.id).arg(e.present).arg(e.cardType)
                     .arg(e.mainSignal).arg(e.signalA).arg(e.signalB);
    return lines;
}

QStringList entryLines(const DeviceData &data)
{
    QStringList lines;
    for (const InCardEntry &e : data.inCards)
        lines << QStringLiteral("%1 %2 %3 %4 %5 %6").arg(e.cardId).arg(e.present).arg(e.cardType)
                     .arg(e.mainSignal).arg(e.sigFlagA).arg(e.sigFlagB);
    return lines;
}

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

} // namespace

Q_DECLARE_METATYPE(FaultOptions)
Q_DECLARE_METATYPE(ReplyForm)

// The link worker in its thread against the device simulator, over TCP
// and over a pseudo-terminal.
class TestLinkSim : public QObject
{
    Q_OBJECT

public:
    enum class Transport { Tcp, Pty };

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void connectionRead_data() { addTransports(); }
    void connectionRead();
    void timeOutDuringPresetReads_data() { addTransports(); }
    void timeOutDuringPresetReads();
    void damagedReplies_data();
    void damagedReplies();
    void otherReplyForms_data();
    void otherReplyForms();
    void replyNamingAnotherReadIsThrownAway();
    void linkLost_data() { addTransports(); }
    void linkLost();
    void burstKeepsEachPayload_data() { addTransports(); }
    void burstKeepsEachPayload();
    void lostReplyIsSentAgain_data() { addTransports(); }
    void lostReplyIsSentAgain();
    void unansweredWriteIsNotTrusted_data() { addTransports(); }
    void unansweredWriteIsNotTrusted();
    void lateReplyIsNotTakenByTheNext_data() { addTransports(); }
    void lateReplyIsNotTakenByTheNext();
    void slowDeviceIsReadExactly();
    void replyOfAnotherRequestIsThrownAway();
    void staleAcknowledgementAfterGivingUp_data() { addTransports(); }
    void staleAcknowledgementAfterGivingUp();
    void slowSignalSwitchIsSentOnce();
    void signalsFindTheRecordUpdated();
    void silentDeviceIsReportedWithinOneTimeOut();
    void networkWriteIsSentOnce();
    void noiseNeverSwallowsAReply();

private:
    static void addTransports();
    static Transport transport();
    void linkUp();
    bool waitFor(const QString &name, int count = 1);
    void readAll();
    void compareRecord();

    Singleton_SerialPort *m_link = nullptr;
    SignalRecorder *m_signals = nullptr;
    std::unique_ptr<DeviceSimulator> m_sim;
    QTemporaryDir m_dir;
};

Q_DECLARE_METATYPE(TestLinkSim::Transport)

void TestLinkSim::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_link = Singleton_SerialPort::instance();
    m_signals = new SignalRecorder(m_link, {"linkStateChanged", "send_out_time"}, this);
}

// A fresh device with known windows, wall, current preset and tag; the
// host holds no tag.
void TestLinkSim::init()
{
    m_sim = std::make_unique<DeviceSimulator>();
    QVERIFY(m_sim->listenTcp());
    QVERIFY(!HasPty || m_sim->openPty(m_dir.filePath(QStringLiteral("ttyRZ"))));
    DeviceModel &model = m_sim->model();
    model.presets = presetsWithWindows();
    model.wall.setGrid(WallWidths, WallHeights);
    model.wall.resolution = WallResolution;
    model.currentPreset = CurrentPreset;
    model.tag = QByteArray::fromHex("2122232425262728");
    m_link->postForgetTags();
    emit m_link->send_out_time(Command::ShortWait);
    m_signals->clear();
}

void TestLinkSim::cleanup()
{
    m_signals->clear();
    m_link->postCommand(2);
    QVERIFY(waitFor(QStringLiteral("send_connect_end")));
    QCOMPARE(m_link->queuedFrames(), 0);
    m_sim.reset();
}

void TestLinkSim::addTransports()
{
    QTest::addColumn<Transport>("transport");
    QTest::newRow("tcp") << Transport::Tcp;
    if (HasPty)
        QTest::newRow("pty") << Transport::Pty;
}

// Over the row's transport, TCP for a test without rows.
TestLinkSim::Transport TestLinkSim::transport()
{
    if (!QTest::currentDataTag())
        return Transport::Tcp;
    QFETCH(Transport, transport);
    return transport;
}

void TestLinkSim::linkUp()
{
    const Transport transport = this->transport();
    m_link->setLinkSettings(transport == Transport::Tcp ? LinkedSimulator::tcpSettings(m_sim->tcpPort())
                                                        : LinkedSimulator::serialSettings(m_sim->ptyPath()));
    m_link->postCommand(1);
    QVERIFY(waitFor(QStringLiteral("send_connect_end")));
    QVERIFY(m_link->isConnected());
    m_signals->clear();
}

bool TestLinkSim::waitFor(const QString &name, int count)
{
    return QTest::qWaitFor([&] { return m_signals->count(name) >= count; }, Wait);
}

// The synchronise action: both tags cleared, the connection read, then
// the signal flags. Windows read are appended to the record, which the main
// window empties after use.
void TestLinkSim::readAll()
{
    m_link->postForgetTags();
    for (QList<WinData> &wins : m_link->dm_data.modelWins)
        wins.clear();
    m_signals->clear();
    m_link->send(LinkRequest::connectionRead());
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("replaceWins")) > 0; }, 90000));
    QVERIFY(waitFor(QStringLiteral("setWaitPage(true)")));
    m_link->send(LinkRequest::readSignalFlags());
    QVERIFY(waitFor(QStringLiteral("setWaitPage(true)"), 2));
}

// The record holds what the device holds.
void TestLinkSim::compareRecord()
{
    const DeviceModel &model = m_sim->model();
    const DeviceData &data = m_link->dm_data;
    QCOMPARE(presetLines(data), presetLines(presetsWithWindows()));
    QCOMPARE(data.colWidths, WallWidths);
    QCOMPARE(data.rowHeights, WallHeights);
    QCOMPARE(QList<int>({data.outResolution, data.curModel}), QList<int>({WallResolution, CurrentPreset}));
    QCOMPARE(entryLines(data), entryLines(model));
    QCOMPARE(m_link->lastTag(), model.tag);
    QCOMPARE(workerTag(m_link), model.tag);
}

// The device's tag differs from the host's: everything is read and the
// tag adopted; the next connection read then finds the same tag.
void TestLinkSim::connectionRead()
{
    linkUp();
    readAll();
    QCOMPARE(m_signals->names, (QStringList{"setWaitPage(false)", "isFistConnect", "repalceInCardMes",
                                            "replaceWinPages", "replaceWins", "setWaitPage(true)",
                                            "setWaitPage(false)", "repalceInCardMes", "setWaitPage(true)"}));
    QCOMPARE(heads(m_sim->requests()), FrameBytes::connectionRead(true) << "1c00");
    compareRecord();

    m_sim->clearRequests();
    m_signals->clear();
    m_link->send(timed(LinkRequest::connectionRead(), Command::ShortWait));
    QVERIFY(waitFor(QStringLiteral("setWaitPage(true)")));
    QCOMPARE(m_signals->names, (QStringList{"setWaitPage(false)", "isFistConnect", "repalceInCardMes",
                                            "repalceAllPage", "setWaitPage(true)"}));
    QCOMPARE(heads(m_sim->requests()), FrameBytes::connectionRead(false));
}

// A preset read the device never answers ends the read with message 7;
// the next read starts afresh and reads everything.
void TestLinkSim::timeOutDuringPresetReads()
{
    FaultOptions faults;
    faults.muteCode = 0x1B;
    m_sim->setFaults(faults);
    linkUp();
    m_link->send(timed(LinkRequest::connectionRead(), 3000));
    QVERIFY(waitFor(QStringLiteral("setWaitPage(true)")));
    QCOMPARE(m_signals->names, (QStringList{"setWaitPage(false)", "isFistConnect", "repalceInCardMes",
                                            "replaceWinPages", "send_explain_end(7)", "setWaitPage(true)"}));
    QCOMPARE(m_link->queuedFrames(), 0);
    QVERIFY(m_link->lastTag().isEmpty());

    m_sim->setFaults({});
    m_sim->clearRequests();
    readAll();
    QCOMPARE(heads(m_sim->requests()), FrameBytes::connectionRead(true) << "1c00");
    compareRecord();
}

// Noise with false starts of a reply in every burst, split and overrun
// replies: every reply is still taken, none mistaken.
void TestLinkSim::damagedReplies_data()
{
    QTest::addColumn<Transport>("transport");
    QTest::addColumn<FaultOptions>("faults");
    const struct { const char *name; bool split; int noiseEvery, overrunEvery; } cases[] = {
        {"split", true, 0, 0}, {"noise", false, 1, 0}, {"overrun", false, 0, 1}, {"all", true, 1, 1}};
    for (const auto &c : cases) {
        FaultOptions options;
        options.splitReplies = c.split;
        options.noiseEvery = c.noiseEvery;
        options.overrunEvery = c.overrunEvery;
        options.noiseStarts = true;
        options.seed = 5;
        QTest::addRow("tcp %s", c.name) << Transport::Tcp << options;
        if (HasPty)
            QTest::addRow("pty %s", c.name) << Transport::Pty << options;
    }
}

void TestLinkSim::damagedReplies()
{
    QFETCH(FaultOptions, faults);
    m_sim->setFaults(faults);
    linkUp();
    readAll();
    QCOMPARE(m_signals->count(QStringLiteral("replaceWins")), 1);
    compareRecord();
}

// Devices differ in what their read replies hold past the bytes the host
// reads and in byte 8: the connection read, the network settings and a
// verify read all come in whole, without a message.
void TestLinkSim::otherReplyForms_data()
{
    QTest::addColumn<Transport>("transport");
    QTest::addColumn<ReplyForm>("form");
    ReplyForm spare;
    spare.spareBytes = 3;
    spare.codeByte = 0;
    ReplyForm shortest;
    shortest.shortest = true;
    const struct { const char *name; ReplyForm form; } cases[] = {
        {"spare bytes, no echo", spare}, {"shortest", shortest}};
    for (const auto &c : cases) {
        QTest::addRow("tcp %s", c.name) << Transport::Tcp << c.form;
        if (HasPty)
            QTest::addRow("pty %s", c.name) << Transport::Pty << c.form;
    }
}

void TestLinkSim::otherReplyForms()
{
    QFETCH(ReplyForm, form);
    m_sim->setReplyForm(form);
    linkUp();
    readAll();
    compareRecord();
    m_link->send(LinkRequest::readNetwork());
    QVERIFY(waitFor(QStringLiteral("repalceConnect")));
    QCOMPARE(m_link->linkSettings().mid(1, 5),
             (QStringList{"192.168.1.100", "50", "255.255.255.0", "192.168.1.1", "16-21-2C"}));
    m_link->send(LinkRequest::verifyRead());
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("repalceDeviceCopy")) > 0; }, 90000));
    QCOMPARE(presetLines(m_link->dm_deviceCopy), presetLines(presetsWithWindows()));
    QVERIFY2(m_signals->names.filter(QStringLiteral("send_explain_end")).isEmpty(),
             qPrintable(m_signals->names.join(QLatin1Char(' '))));
}

// A device that puts the versions' code into every reply: the versions
// are read, but its answer to the network read names another read and is
// thrown away, so the read is given up and the settings stay.
void TestLinkSim::replyNamingAnotherReadIsThrownAway()
{
    ReplyForm form;
    form.codeByte = 0x13;
    m_sim->setReplyForm(form);
    linkUp();
    const QStringList before = m_link->linkSettings();
    m_link->send(timed(LinkRequest::readVersions(), Command::ShortWait));
    m_link->send(timed(LinkRequest::readNetwork(), 2000));
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("send_explain_end(7)")) > 0; }, 15000));
    QCOMPARE(m_signals->count(QStringLiteral("repalceVersion")), 1);
    QCOMPARE(m_signals->count(QStringLiteral("repalceConnect")), 0);
    QCOMPARE(m_link->linkSettings(), before);
    QCOMPARE(heads(m_sim->requests()).mid(0, 2), (QStringList{"1300", "1400"}));
}

// A lost link ends once and leaves the worker idle, not spinning on a dead
// port.
void TestLinkSim::linkLost()
{
    linkUp();
    if (transport() == Transport::Tcp)
        m_sim->hangUp();
    else
        m_sim->closePty();
    QVERIFY(waitFor(QStringLiteral("send_connect_end")));
    QVERIFY(!m_link->isConnected());

    const double cpuBefore = processCpuSeconds();
    QTest::qWait(1500);
    const double cpu = processCpuSeconds() - cpuBefore;
    QVERIFY2(cpu < 0.5, qPrintable(QStringLiteral("%1 s of CPU in 1.5 s").arg(cpu)));
    QCOMPARE(m_signals->count(QStringLiteral("send_connect_end")), 1);
}

// Each post carries what was staged for it, however many follow in the
// same call stack.
void TestLinkSim::burstKeepsEachPayload()
{
    linkUp();
    for (int i = 0; i < 8; ++i)
        m_link->send(LinkRequest::setWindowSource(7, QByteArray(1, char(i)) + char(10 + i)));
    QVERIFY(waitFor(QStringLiteral("setWaitPage(true)")));
    QCOMPARE(heads(m_sim->requests(), 4), (QStringList{"4807000a", "4807010b", "4807020c", "4807030d",
                                                       "4807040e", "4807050f", "48070610", "48070711"}));
}

// Request 2 gets no reply: it goes again, and the device takes it.
void TestLinkSim::lostReplyIsSentAgain()
{
    FaultOptions faults;
    faults.dropEvery = 2;
    m_sim->setFaults(faults);
    linkUp();
    for (int preset : {3, 9})
        m_link->send(LinkRequest::recall(preset));
    QVERIFY(waitFor(QStringLiteral("setWaitPage(true)")));
    QCOMPARE(heads(m_sim->requests()), (QStringList{"4903", "4909", "4909"}));
    QCOMPARE(m_sim->requests().at(1), m_sim->requests().at(2));
    QCOMPARE(m_sim->model().currentPreset, 9);
    QCOMPARE(m_signals->count(QStringLiteral("send_explain_end(7)")), 0);
}

// A write the device never confirms is given up after three attempts with
// message 7, and the host's data stay untrusted, even through later writes
// that are confirmed: the next connection read reads every preset.
void TestLinkSim::unansweredWriteIsNotTrusted()
{
    linkUp();
    readAll();
    QCOMPARE(m_link->lastTag(), m_sim->model().tag);
    FaultOptions faults;
    faults.muteCode = 0x49;
    m_sim->setFaults(faults);
    m_sim->clearRequests();
    m_signals->clear();
    m_link->send(LinkRequest::recall(4));
    QVERIFY(waitFor(QStringLiteral("send_explain_end(7)")));
    QCOMPARE(heads(m_sim->requests()), (QStringList{"4904", "4904", "4904"}));
    QVERIFY(m_link->lastTag().isEmpty());

    m_sim->setFaults({});
    m_link->send(LinkRequest::deleteWindows(4));
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("setWaitPage(true)")) >= 2; }, 15000));
    m_sim->clearRequests();
    m_signals->clear();
    m_link->send(LinkRequest::connectionRead());
    QVERIFY(waitFor(QStringLiteral("replaceWins")));
    QCOMPARE(heads(m_sim->requests()), FrameBytes::connectionRead(true));
    QCOMPARE(m_link->lastTag(), m_sim->model().tag);
}

// The reply to the first request comes after its wait and after the frame
// went again: it answers that request, and the device's second answer is
// thrown away rather than taken for the reply to the next request.
void TestLinkSim::lateReplyIsNotTakenByTheNext()
{
    FaultOptions faults;
    faults.lateRequest = 1;
    faults.lateMs = transport() == Transport::Tcp ? 2000 : 2700; // a second past the first wait
    m_sim->setFaults(faults);
    linkUp();
    m_link->send(timed(LinkRequest::readVersions(), Command::ShortWait));
    m_link->send(LinkRequest::readSignalFlags());
    QVERIFY(waitFor(QStringLiteral("repalceInCardMes")));
    QVERIFY(waitFor(QStringLiteral("setWaitPage(true)")));
    const QStringList codes = heads(m_sim->requests());
    QCOMPARE(codes.last(), QStringLiteral("1c00"));
    QVERIFY(codes.count(QStringLiteral("1300")) >= 2);
    QCOMPARE(codes.size(), codes.count(QStringLiteral("1300")) + 1);
    QCOMPARE(entryLines(m_link->dm_data), entryLines(m_sim->model()));
    QCOMPARE(m_signals->count(QStringLiteral("repalceVersion")), 1);
    QCOMPARE(m_signals->count(QStringLiteral("send_explain_end(7)")), 0);
}

// A device that answers every request 1.3 s late, slower than the first
// wait: each read is taken by its own request, so the record, the versions
// and the link's own settings are exactly the device's.
void TestLinkSim::slowDeviceIsReadExactly()
{
    FaultOptions faults;
    faults.delayMs = 1300;
    m_sim->setFaults(faults);
    linkUp();
    readAll();
    compareRecord();
    m_link->send(LinkRequest::readVersions());
    m_link->send(LinkRequest::readNetwork());
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("repalceConnect")) > 0; }, 30000));
    QCOMPARE(m_link->dm_data.sysVersion, (DeviceData::Version{3, 1, 4}));
    QCOMPARE(m_link->linkSettings().mid(1, 5),
             (QStringList{"192.168.1.100", "50", "255.255.255.0", "192.168.1.1", "16-21-2C"}));
    QCOMPARE(m_signals->count(QStringLiteral("send_explain_end(7)")), 0);
}

// The answer to a resent read comes in out of turn while the next read is
// in flight: it has the wrong code and is thrown away, not read as the
// network settings.
void TestLinkSim::replyOfAnotherRequestIsThrownAway()
{
    FaultOptions faults;
    faults.outOfTurnCode = 0x13;
    faults.outOfTurnMs = 4500;
    faults.slowCode = 0x14;
    faults.slowMs = 4000;
    m_sim->setFaults(faults);
    linkUp();
    m_link->send(timed(LinkRequest::readVersions(), Command::ShortWait));
    m_link->send(LinkRequest::readNetwork());
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("repalceConnect")) > 0; }, 15000));
    QCOMPARE(heads(m_sim->requests()).mid(0, 3), (QStringList{"1300", "1300", "1400"}));
    QCOMPARE(m_link->linkSettings().at(1), QStringLiteral("192.168.1.100"));
    QCOMPARE(m_link->linkSettings().at(2), QStringLiteral("50"));
    QCOMPARE(m_signals->count(QStringLiteral("repalceVersion")), 1);
}

// A write given up and then acknowledged late: the acknowledgement is
// thrown away, so a next write the device never answers is not confirmed
// by it but given up in its turn.
void TestLinkSim::staleAcknowledgementAfterGivingUp()
{
    linkUp();
    FaultOptions faults;
    faults.muteCode = 0x49;
    m_sim->setFaults(faults);
    m_link->send(LinkRequest::recall(4));
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("send_explain_end(7)")) > 0; }, 15000));
    m_sim->clearRequests();
    faults.outOfTurnCode = 0x49; // the next recall's first frame is answered late...
    faults.outOfTurnMs = 3000;
    m_sim->setFaults(faults);
    LinkRequest late = LinkRequest::recall(5);
    late.timeoutMs = 2000;
    m_link->send(late);           // ...after it was given up
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("send_explain_end(7)")) > 1; }, 15000));
    m_link->send(LinkRequest::recall(6));
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("send_explain_end(7)")) >= 3; }, 30000));
    QCOMPARE(heads(m_sim->requests()).last(), QStringLiteral("4906"));
    QCOMPARE(m_signals->count(QStringLiteral("send_explain_end(7)")), 3);
}

// A signal switch takes the device seconds: its frame waits that long and
// goes once, and the new signal is the host's.
void TestLinkSim::slowSignalSwitchIsSentOnce()
{
    FaultOptions faults;
    faults.slowCode = 0x80;
    faults.slowMs = 3500;
    m_sim->setFaults(faults);
    linkUp();
    m_link->send(LinkRequest::setMainSignal(2, 3));
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("repalceInCardMainSingle(2)")) > 0; },
                            15000));
    QCOMPARE(heads(m_sim->requests()), QStringList{"8002"});
    QCOMPARE(m_link->dm_data.inCards[2].mainSignal, 3);
    QCOMPARE(m_signals->count(QStringLiteral("send_explain_end(7)")), 0);
}

// The callers' record takes what a reply says before the signal telling
// of it reaches them.
void TestLinkSim::signalsFindTheRecordUpdated()
{
    linkUp();
    QObject receiver;
    QStringList presetsSignalled;
    int mainSignalSignalled = -1;
    connect(m_link, &Singleton_SerialPort::replaceWins, &receiver,
            [&] { presetsSignalled = presetLines(m_link->dm_data); });
    connect(m_link, &Singleton_SerialPort::repalceInCardMainSingle, &receiver,
            [&](int entry) { mainSignalSignalled = m_link->dm_data.inCards[size_t(entry)].mainSignal; });
    readAll();
    QCOMPARE(presetsSignalled, presetLines(presetsWithWindows()));

    m_link->send(LinkRequest::setMainSignal(2, 3));
    QVERIFY(waitFor(QStringLiteral("repalceInCardMainSingle(2)")));
    QCOMPARE(mainSignalSignalled, 3);
}

// A device that answers nothing is reported once the command's time-out
// has passed, not three. The attempts in between back off, and one goes
// again only with a second of the time-out left: two or three frames.
void TestLinkSim::silentDeviceIsReportedWithinOneTimeOut()
{
    FaultOptions faults;
    faults.muteCode = 0x41;
    m_sim->setFaults(faults);
    linkUp();
    QElapsedTimer clock;
    clock.start();
    m_link->send(timed(LinkRequest::writeWall(FrameBuilder::wallOf(m_link->dm_data)), 4000));
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("send_explain_end(7)")) > 0; }, 15000));
    QVERIFY2(clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));
    const QStringList sent = heads(m_sim->requests(), 1);
    QVERIFY2(sent.size() >= 2 && sent.size() <= 3 && sent.count("41") == sent.size(), qPrintable(sent.join(' ')));
}

// After the network settings the device may answer elsewhere: the frame
// goes once, and the operator is told what to do.
void TestLinkSim::networkWriteIsSentOnce()
{
    FaultOptions faults;
    faults.muteCode = 0x4B;
    m_sim->setFaults(faults);
    linkUp();
    const QByteArray settings = QByteArray::fromHex("01c0a80165" "01ffffff00" "01c0a80101" "01aabbcc");
    m_link->send(timed(LinkRequest::writeNetwork(settings), 2000));
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("setWaitPage(true)")) > 0; }, 15000));
    QCOMPARE(heads(m_sim->requests(), 1), QStringList{"4b"});
    QCOMPARE(m_signals->count(QStringLiteral("send_explain_end(12)")), 1);
}

// 20,000 bursts of noise, each with a false start of a reply, in front of an
// acknowledgement and of a read reply: every reply comes out whole, and
// nothing else is taken for one.
void TestLinkSim::noiseNeverSwallowsAReply()
{
    FaultOptions options;
    options.noiseEvery = 1;
    options.noiseStarts = true;
    options.seed = 5300;
    FaultInjector noise(options);
    const QByteArray acknowledgement = QByteArray::fromHex("2001ff080401aa20");
    const QByteArray flagsRead = FrameBuilder::readRequest(0x1C);
    const QByteArray flags = DeviceProtocol::answer(flagsRead, &m_sim->model());
    const QByteArray recall = FrameBuilder::sizedWriteFrame(0x49, QByteArray(1, '\x02'), QByteArray(8, '\0'));
    const struct { QByteArray request, reply; } exchanges[] = {{recall, acknowledgement}, {flagsRead, flags}};
    int lost = 0, mistaken = 0;
    for (int burst = 1; burst <= 20000; ++burst) {
        const auto &exchange = exchanges[burst % 2];
        const ReplyShape awaited = ReplyShape::of(exchange.request);
        ReplyAssembler assembler;
        assembler.append(noise.shape(burst, exchange.request, exchange.reply).join());
        const QByteArray taken = assembler.takeReply(&awaited);
        lost += taken.isEmpty();
        mistaken += !taken.isEmpty() && (taken != exchange.reply || !awaited.matches(taken));
    }
    QCOMPARE(lost, 0);
    QCOMPARE(mistaken, 0);
}

QTEST_GUILESS_MAIN(TestLinkSim)
#include "tst_linksim.moc"
