#include "singleton_serialport.h"

#include "entryreadback.h"
#include "framebuilder.h"
#include "linklog.h"
#include "replyparser.h"

#include <messagecode.h>
#include <protocol.h>

#include <QTcpSocket>
#include <QThread>

#include <algorithm>
#include <utility>

namespace {

// A copy that shares no data with the original: the worker releases it
// while the window may change the original, and the counts of Qt's
// implicit sharing are not seen ordered by ThreadSanitizer in a Qt not
// built for it.
QString unshared(const QString &text)
{
    return QString(text.constData(), text.size());
}

QString hexTrace(const QByteArray &bytes)
{
    return QString::fromLatin1(' ' + bytes.toHex(' '));
}

} // namespace

Singleton_SerialPort::Singleton_SerialPort(QObject *parent)
    : QObject(parent)
    , dm_serialPort(new QSerialPort(&m_home))
    , dm_tcpSocket(new QTcpSocket(&m_home))
    , dm_thread(new QThread)
    , m_workerSide(new Handover(&m_home))
    , m_transport(dm_serialPort, dm_tcpSocket)
    , dm_sendList(&m_home)
    , m_planner(m_transport)
    , m_builder(dm_checkSum)
    , m_parser(new ReplyParser({m_record, dm_buffer, dm_checkSum, dm_lastCheckSum, m_tagTrusted,
                                m_network.ip, m_network.mask, m_network.gateway, m_network.mac,
                                m_network.port},
                               &m_home))
    , m_verifyParser(new ReplyParser(m_verify.over(m_deviceRecord), &m_home))
{
    qRegisterMetaType<QSerialPort::SerialPortError>();
    connect(dm_serialPort, &QSerialPort::readyRead, &m_home, [this] { readDataPort(); });
    connect(dm_serialPort, &QSerialPort::readChannelFinished, &m_home, [this] { readDataPort(); });
    connect(dm_serialPort, &QSerialPort::errorOccurred, &m_home,
            [this](QSerialPort::SerialPortError error) { handleError(error); });
    connect(dm_tcpSocket, &QTcpSocket::readyRead, &m_home, [this] { readDataSocket(); });
    connect(dm_tcpSocket, &QTcpSocket::errorOccurred, &m_home,
            [this](QAbstractSocket::SocketError error) { handleSocketError(error); });
    connect(dm_tcpSocket, &QTcpSocket::connected, &m_home, [this] { socketConnected(); });
    connect(&dm_sendList, &RequestQueue::transmit, &m_home, [this](const QByteArray &frame) { sendData(frame); });
    connect(&dm_sendList, &RequestQueue::drained, &m_home, [this] {
        if (std::exchange(m_pageAnnounced, false))
            announce(&Singleton_SerialPort::setWaitPage, true);
    });
    connect(&dm_sendList, &RequestQueue::gaveUp, &m_home, [this](int command) { gaveUp(command); });
    connect(&dm_sendList, &RequestQueue::sizeChanged, &m_home, [this] {
        report([this, size = dm_sendList.foregroundSize()] { m_activity.framesQueued(size); });
    });
    forward(&dm_sendList, &RequestQueue::progress, &Singleton_SerialPort::commandProgress);
    // Run in the callers' thread: the time-out they announce, and the link
    // state the worker reports.
    connect(this, &Singleton_SerialPort::send_out_time, &m_callerSide,
            [this](int ms) { m_announcedTimeoutMs = ms; }, Qt::DirectConnection);
    // A report of an opening or closing posted before the last is stale:
    // the last one's report follows.
    connect(this, &Singleton_SerialPort::transportChanged, &m_callerSide,
            [this](bool up, int linkOp) {
                if (linkOp == m_linkOpsPosted)
                    m_state.transportChanged(up);
            },
            Qt::DirectConnection);
    connect(this, &Singleton_SerialPort::isFistConnect, &m_callerSide,
            [this] { m_state.handle(LinkStateModel::Event::ReadDone); }, Qt::DirectConnection);
    connect(&dm_sendList, &RequestQueue::postEnded, &m_home, [this](int post, bool answered) {
        report([this, post, answered] { requestEnded(post, answered ? LinkReply::NoError : LinkReply::Unanswered); });
    });
    handOverEdits(m_verifyParser, &Singleton_SerialPort::dm_deviceCopy);
    forward(m_verifyParser, &ReplyParser::replaceWins, &Singleton_SerialPort::repalceDeviceCopy);
    // A connection that holds changes made here reads the device's status
    // by a verify: that too is the device answering its first read.
    forward(m_verifyParser, &ReplyParser::isFistConnect, &Singleton_SerialPort::isFistConnect);
    forwardParserSignals();

    // The transports are children: they move along and live in the thread.
    m_home.moveToThread(dm_thread);
    Handover::start(dm_thread);
}

// The link is closed in its own thread, the worker's objects come back to
// this thread, and the thread ends its own loop, so nothing of this thread's
// touches its dispatcher while it goes, before anything is deleted.
Singleton_SerialPort::~Singleton_SerialPort()
{
    m_workerSide->await([this, callers = thread()] {
        m_transport.close();
        dm_sendList.reset(); // no timer may move along
        m_home.moveToThread(callers);
        m_threadEnd.watchCurrentThread();
        QThread::currentThread()->quit();
    });
    // Qt's last steps in the thread included.
    m_threadEnd.wait();
    delete dm_thread;
}

QStringList Singleton_SerialPort::openablePortNames()
{
    return LinkTransport::openablePortNames();
}

// Opening and closing are the callers' events of the link state; what the
// transport makes of them is the worker's to report. The settings are
// copied here, in the callers' thread.
void Singleton_SerialPort::postCommand(int type)
{
    using E = LinkStateModel::Event;
    if (type != Command::Connect && type != Command::Reconnect && type != Command::Disconnect) {
        qCWarning(lcLink) << "command" << type << "is no opening or closing; not run";
        return;
    }
    ++m_linkOpsPosted;
    m_state.handle(type == Command::Connect ? E::OpenAsked : type == Command::Reconnect ? E::Retry : E::CloseAsked);
    const CommandBuilder::LinkSettings settings{dm_linkType, unshared(dm_ip), dm_port, unshared(dm_portName)};
    postWork([this, type, settings, linkOp = m_linkOpsPosted] { runLinkOp(type, settings, linkOp); });
}

LinkReply *Singleton_SerialPort::send(const LinkRequest &request)
{
    return send(QList<LinkRequest>{request}, request.timeoutMs);
}

void Singleton_SerialPort::requestEnded(int post, LinkReply::Error error)
{
    if (LinkReply *reply = m_replies.take(post))
        reply->requestEnded(error);
}

// Each request gets its number here, so that the worker's report of its
// end finds the reply. The program's own requests announce nothing and are
// no work under way for the callers.
LinkReply *Singleton_SerialPort::send(const QList<LinkRequest> &batch, int budgetMs)
{
    const bool background = isBackground(batch);
    if (!background)
        emit send_out_time(budgetMs);
    auto *reply = new LinkReply(int(qMax<qsizetype>(batch.size(), 1)), &m_callerSide);
    if (batch.isEmpty()) {
        QMetaObject::invokeMethod(reply, [reply] { reply->requestEnded(LinkReply::NotSent); },
                                  Qt::QueuedConnection);
        return reply;
    }
    const int firstPost = m_postsSent + 1;
    for (qsizetype i = 0; i < batch.size(); ++i)
        m_replies.insert(++m_postsSent, reply);
    const int budget = background ? budgetMs : m_announcedTimeoutMs;
    postWork([this, batch, firstPost, budget] { run(batch, firstPost, budget); }, !background);
    return reply;
}


bool Singleton_SerialPort::isConnected() const
{
    return m_state.isOpen();
}

// An attempt to get a lost link back is the program's, not the operator's:
// it puts up no wait page.
void Singleton_SerialPort::runLinkOp(int type, const CommandBuilder::LinkSettings &settings, int linkOp)
{
    if (type != Command::Reconnect)
        announce(&Singleton_SerialPort::setWaitPage, false);
    m_linkOp = linkOp;
    if (type == Command::Disconnect)
        disconnectLink();
    else
        connectLink(settings);
}

bool Singleton_SerialPort::isBackground(const QList<LinkRequest> &batch)
{
    return !batch.isEmpty()
        && std::all_of(batch.cbegin(), batch.cend(), [](const LinkRequest &request) { return request.background; });
}

// The batch goes under one wait page; its head goes out only when the
// queue was idle, so a frame in flight is never sent twice.
void Singleton_SerialPort::run(const QList<LinkRequest> &batch, int firstPost, int budgetMs)
{
    const bool background = isBackground(batch);
    if (!background) {
        m_pageAnnounced = true;
        announce(&Singleton_SerialPort::setWaitPage, false);
    }
    const bool idle = dm_sendList.isEmpty();
    m_planner.beginBatch(budgetMs);
    int post = firstPost;
    for (const LinkRequest &request : batch)
        queueRequest(request, post++);
    if (!idle)
        return;
    if (dm_sendList.isEmpty() && std::exchange(m_pageAnnounced, false))
        announce(&Singleton_SerialPort::setWaitPage, true); // nothing to wait for
    else if (!dm_sendList.isEmpty())
        dm_sendList.start();
}

// A verify starts from a fresh copy: its tags never match, so the presets
// are always read.
void Singleton_SerialPort::queueRequest(const LinkRequest &request, int post)
{
    if (request.type == Command::VerifyRead)
        m_verify = {};
    const QList<QByteArray> frames = m_builder.build(request);
    if (frames.isEmpty()) {
        report([this, post] { requestEnded(post, LinkReply::NotSent); });
        return;
    }
    dm_sendList.append(m_planner.posted(request.type, post, frames, request.background));
}

void Singleton_SerialPort::connectLink(const CommandBuilder::LinkSettings &settings)
{
    m_transport.close();
    dm_connect_statu = 1;
    dropQueue();
    dm_sendList.reset();
    m_linkType = settings.type;
    const bool linked = m_transport.open(settings.type, settings.ip, settings.port, settings.portName);
    dm_sendList.setQuietGap(m_transport.quietGapMs());
    setLinkState(linked);
}

void Singleton_SerialPort::disconnectLink()
{
    m_transport.close();
    dm_connect_statu = 1;
    dropQueue();
    dm_sendList.reset();
    setLinkState(false);
}

// The far end went away: the link is down until the next connect. The
// link is marked down first, as closing the port may report more errors.
void Singleton_SerialPort::linkLost()
{
    dm_connect_statu = 1;
    m_transport.close();
    dropQueue();
    dm_sendList.reset();
    setLinkState(false);
}

void Singleton_SerialPort::setLinkState(bool up)
{
    dm_connect_statu = up ? 0 : 1;
    m_pageAnnounced = false;
    report([this, up, linkOp = m_linkOp] {
        emit linkStateChanged(up);
        emit transportChanged(up, linkOp);
        emit setWaitPage(true);
        emit send_connect_end();
    });
}

void Singleton_SerialPort::handleError(QSerialPort::SerialPortError error)
{
    if (!m_transport.serialGone(error) || m_linkType == 0 || dm_connect_statu != 0)
        return;
    qCWarning(lcLink) << "serial port lost:" << dm_serialPort->errorString();
    linkLost();
}

void Singleton_SerialPort::handleSocketError(QAbstractSocket::SocketError error)
{
    if (m_linkType != 0 || dm_connect_statu != 0)
        return;
    qCWarning(lcLink) << "network link lost:" << error << dm_tcpSocket->errorString();
    linkLost();
}

void Singleton_SerialPort::socketConnected()
{
    dm_tcpSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
}

void Singleton_SerialPort::sendData(const QByteArray &frame)
{
    if (dm_connect_statu != 0) {
        failSend(Message::NotConnected);
        return;
    }
    dm_receiveData.clear(); // nothing before a request can answer it
    if (m_tagTrusted)
        dm_lastCheckSum = dm_checkSum;
    reportTag();
    qCDebug(lcLink) << "--------------------send------------";
    qCDebug(lcLink).noquote() << hexTrace(frame);
    if (!m_transport.write(frame))
        failSend(Message::SendFailed);
}

// Only the operator's work is told of: the program's own requests fail
// silently.
void Singleton_SerialPort::failSend(int message)
{
    if (dm_sendList.foregroundSize() > 0)
        sendFailed(message);
    else
        dropQueue();
}

void Singleton_SerialPort::sendFailed(int message)
{
    dropQueue();
    m_pageAnnounced = false;
    announce(&Singleton_SerialPort::send_explain_end, message);
    announce(&Singleton_SerialPort::setWaitPage, true);
}

// The network settings may have reached the device, which then answers at
// another address: the operator is told so rather than to send again. A
// write to the input entries is settled by reading them back first.
void Singleton_SerialPort::gaveUp(int command)
{
    if (dm_sendList.head().background) {
        qCInfo(lcLink) << "the program's own request" << command << "went unanswered; the queue goes on";
        if (dm_sendList.head().dataAtStake)
            distrustData();
        dm_sendList.dropHead();
        return;
    }
    if (CommandBuilder::readBackOnLoss(command)) {
        const RequestQueue::Request &lost = dm_sendList.head();
        RequestQueue::Request read = m_planner.following(lost, Command::ReadInputCards,
                                                         {EntryReadBack::request()}).constFirst();
        read.budgetMs = 0; // the batch's may be spent: the read has its own time
        read.settles = lost.frame;
        qCInfo(lcLink) << "reading the input entries back to settle the unanswered write";
        dm_sendList.replaceHead(read);
        return;
    }
    sendFailed(command == Command::WriteNetwork ? Message::NetworkUnconfirmed : Message::SendTimeout);
}

// The entries read back are the device's and the record takes them; the
// write whose acknowledgement was lost is then confirmed silently when they
// hold it, and reported given up when they do not.
void Singleton_SerialPort::settle(const QByteArray &write, int replySize)
{
    if (!EntryReadBack::holds(m_record, write)) {
        qCWarning(lcLink) << "the device did not take the unanswered write";
        dm_sendList.replyEnds(replySize);
        sendFailed(Message::SendTimeout);
        return;
    }
    qCInfo(lcLink) << "the device took the unanswered write";
    m_parser->handle(write, {});
    dm_sendList.replyTaken(replySize);
}

// Drops the queued frames and a half-assembled reply: replies still on
// their way can no longer be paired with their requests. What was dropped
// unanswered may or may not have reached the device.
void Singleton_SerialPort::dropQueue()
{
    const QList<RequestQueue::Request> dropped = dm_sendList.takeAll();
    dm_receiveData.clear();
    bool atStake = false;
    for (const RequestQueue::Request &request : dropped) {
        atStake = atStake || request.dataAtStake;
        if (!request.background)
            reportPresetWrite(request.frame, PresetWriteLost);
    }
    if (atStake)
        distrustData();
}

// The next connection reads the device again instead of trusting the
// host's files.
void Singleton_SerialPort::distrustData()
{
    qCWarning(lcLink) << "a request was not confirmed; the device will be read again at the next connection";
    m_tagTrusted = false;
    dm_checkSum.clear();
    dm_lastCheckSum.clear();
    reportTag();
}

void Singleton_SerialPort::readDataPort()
{
    takeBytes(dm_serialPort->readAll());
}

void Singleton_SerialPort::readDataSocket()
{
    qCDebug(lcLink) << "resice";
    takeBytes(dm_tcpSocket->readAll());
}

// Replies are taken one at a time, so a reply handled while a later send
// waits for its bytes to be written keeps its place in the order.
void Singleton_SerialPort::takeBytes(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    qCDebug(lcLink).noquote() << "received" << hexTrace(bytes);
    if (dm_sendList.isQuieting())
        dm_sendList.lineBusy();
    dm_receiveData.append(bytes);
    for (QByteArray reply = dm_receiveData.takeReply(dm_sendList.awaited()); !reply.isEmpty();
         reply = dm_receiveData.takeReply(dm_sendList.awaited()))
        takeReply(reply);
}

// A reply is taken only by the request it answers; anything else is a late
// answer to an earlier request, or noise, and is thrown away.
void Singleton_SerialPort::takeReply(const QByteArray &reply)
{
    if (dm_sendList.isQuieting()) {
        qCDebug(lcLink) << "late reply of" << reply.size() << "bytes thrown away while the line settles";
        dm_sendList.lateReply(reply);
    } else if (!dm_sendList.isInFlight()) {
        qCWarning(lcLink) << "reply of" << reply.size() << "bytes without a request thrown away";
    } else if (!dm_sendList.inFlight().reply.matches(reply)) {
        qCWarning(lcLink).nospace() << "reply of " << reply.size() << " bytes does not answer request 0x"
                                    << Qt::hex << quint8(dm_sendList.inFlight().frame.at(Protocol::CodeOffset))
                                    << "; thrown away";
    } else {
        parseReply(reply);
        reportTag();
    }
}

// A verify read's replies fill the device's copy, never the host's record.
void Singleton_SerialPort::parseReply(const QByteArray &reply)
{
    const RequestQueue::Request sent = dm_sendList.inFlight();
    const bool verifying = sent.command == Command::VerifyRead;
    const ReplyParser::Outcome outcome = (verifying ? m_verifyParser : m_parser)->handle(sent.frame, reply);
    if (!outcome.taken) {
        dm_sendList.expireAttempt();
        return;
    }
    if (!sent.settles.isEmpty()) {
        settle(sent.settles, reply.size());
        return;
    }
    dm_sendList.append(m_planner.following(sent, verifying ? sent.command : int(Command::ReadAllPresets),
                                           outcome.followUp));
    if (!sent.background)
        reportPresetWrite(sent.frame, quint8(sent.frame.at(Protocol::CodeOffset)) == Protocol::WriteChannels
                                          ? WholePresetConfirmed
                                          : PresetWriteConfirmed);
    dm_sendList.replyTaken(reply.size());
}

void Singleton_SerialPort::reportPresetWrite(const QByteArray &frame, int outcome)
{
    const int recalled = FrameBuilder::presetRecalledBy(frame);
    if (recalled >= 0)
        announce(&Singleton_SerialPort::presetRecalled, recalled, outcome != PresetWriteLost);
    const int preset = FrameBuilder::presetWrittenBy(frame);
    if (preset >= 0)
        announce(&Singleton_SerialPort::presetWritten, preset, outcome);
}
