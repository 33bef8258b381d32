#include "singleton_serialport.h"

#include "framebuilder.h"
#include "linklog.h"
#include "replyparser.h"

#include <messagecode.h>
#include <protocol.h>

#include <QCoreApplication>
#include <QTcpSocket>
#include <QThread>

namespace {

Singleton_SerialPort *theLink = nullptr;

int toNumber(const QString &text)
{
    return text.toInt(nullptr, 10); // 0 for a text that is not a number
}

QString hexTrace(const QByteArray &bytes)
{
    return QString::fromLatin1(' ' + bytes.toHex(' '));
}

} // namespace

Singleton_SerialPort *Singleton_SerialPort::instance()
{
    if (!theLink) {
        Q_ASSERT(QCoreApplication::instance());
        Q_ASSERT(QThread::currentThread() == QCoreApplication::instance()->thread());
        theLink = new Singleton_SerialPort;
        qAddPostRoutine(&Singleton_SerialPort::shutDown);
    }
    return theLink;
}

Singleton_SerialPort::Singleton_SerialPort()
    : dm_serialPort(new QSerialPort(this))
    , dm_tcpSocket(new QTcpSocket(this))
    , dm_thread(new QThread)
    , m_transport(dm_serialPort, dm_tcpSocket)
    , dm_sendList(this)
    , m_builder(dm_checkSum)
    , m_parser(new ReplyParser({dm_data, dm_buffer, dm_checkSum, dm_lastCheckSum, m_tagTrusted,
                                dm_ip, dm_mask, dm_gateway, dm_mac, dm_port},
                               this))
    , m_verifyParser(new ReplyParser(m_verify.over(dm_deviceCopy), this))
{
    qRegisterMetaType<QSerialPort::SerialPortError>();
    connect(dm_serialPort, &QSerialPort::readyRead, this, &Singleton_SerialPort::readDataPort);
    connect(dm_serialPort, &QSerialPort::readChannelFinished, this,
            &Singleton_SerialPort::readDataPort);
    connect(dm_serialPort, &QSerialPort::errorOccurred, this, &Singleton_SerialPort::handleError);
    connect(dm_tcpSocket, &QTcpSocket::readyRead, this, &Singleton_SerialPort::readDataSocket);
    connect(dm_tcpSocket, &QTcpSocket::errorOccurred, this,
            &Singleton_SerialPort::handleSocketError);
    connect(dm_tcpSocket, &QTcpSocket::connected, this, &Singleton_SerialPort::socketConnected);
    connect(&dm_sendList, &RequestQueue::transmit, this, &Singleton_SerialPort::sendData);
    connect(&dm_sendList, &RequestQueue::drained, this, [this] { emit setWaitPage(true); });
    connect(&dm_sendList, &RequestQueue::gaveUp, this, [this] { sendFailed(Message::SendTimeout); });
    connect(&dm_sendList, &RequestQueue::activity, this, [this] { emit linkActivity(++m_activity); });
    connect(&dm_sendList, &RequestQueue::progress, this, &Singleton_SerialPort::commandProgress);
    connect(m_verifyParser, &ReplyParser::replaceWins, this, &Singleton_SerialPort::repalceDeviceCopy);
    forwardParserSignals();

    // The transports are children: they move along and live in the thread.
    moveToThread(dm_thread);
    dm_thread->start(QThread::InheritPriority);
}

Singleton_SerialPort::~Singleton_SerialPort()
{
    delete dm_thread;
}

// Runs when the application object goes away: the link is closed in its
// own thread, the worker comes back to the main thread, and the thread ends
// before anything is deleted.
void Singleton_SerialPort::shutDown()
{
    Singleton_SerialPort *link = theLink;
    theLink = nullptr;
    QThread *mainThread = QThread::currentThread();
    QMetaObject::invokeMethod(
        link,
        [link, mainThread] {
            link->m_transport.close();
            link->moveToThread(mainThread);
        },
        Qt::BlockingQueuedConnection);
    link->dm_thread->quit();
    link->dm_thread->wait();
    delete link;
}

void Singleton_SerialPort::forwardParserSignals()
{
    using P = ReplyParser;
    using S = Singleton_SerialPort;
    connect(m_parser, &P::replaceWinPages, this, &S::replaceWinPages);
    connect(m_parser, &P::repalceeSendPage, this, &S::repalceeSendPage);
    connect(m_parser, &P::replaceWins, this, &S::replaceWins);
    connect(m_parser, &P::repalceAllPage, this, &S::repalceAllPage);
    connect(m_parser, &P::repalceCard, this, &S::repalceCard);
    connect(m_parser, &P::repalceInCardMes, this, &S::repalceInCardMes);
    connect(m_parser, &P::repalceConnect, this, &S::repalceConnect);
    connect(m_parser, &P::repalceVersion, this, &S::repalceVersion);
    connect(m_parser, &P::isFistConnect, this, &S::isFistConnect);
    connect(m_parser, &P::repalceInCardMainSingle, this, &S::repalceInCardMainSingle);
    connect(m_parser, &P::repalceInCardPIP, this, &S::repalceInCardPIP);
    connect(m_parser, &P::repalceInCardText, this, &S::repalceInCardText);
    connect(m_parser, &P::send_explain_end, this, &S::send_explain_end);
}

QStringList Singleton_SerialPort::openablePortNames()
{
    return LinkTransport::openablePortNames();
}

void Singleton_SerialPort::postCommand(int type)
{
    const CommandBuilder::Staging staging = staged(type);
    QMetaObject::invokeMethod(
        this, [this, type, staging] { run(type, staging); }, Qt::QueuedConnection);
}

void Singleton_SerialPort::post(int type, int timeoutMs)
{
    emit send_out_time(timeoutMs);
    postCommand(type);
}

void Singleton_SerialPort::postSendFailed(int reason)
{
    QMetaObject::invokeMethod(this, [this, reason] { sendFailed(Message::SendFailureBase + reason); }, Qt::QueuedConnection);
}

void Singleton_SerialPort::postWaitTimedOut(int activity)
{
    QMetaObject::invokeMethod(
        this, [this, activity] { waitTimedOut(activity); }, Qt::QueuedConnection);
}

int Singleton_SerialPort::queuedFrames()
{
    int count = 0;
    const Qt::ConnectionType type = QThread::currentThread() == thread()
        ? Qt::DirectConnection
        : Qt::BlockingQueuedConnection;
    QMetaObject::invokeMethod(this, [this, &count] { count = dm_sendList.size(); }, type);
    return count;
}

bool Singleton_SerialPort::isConnected() const
{
    return dm_connect_statu == 0;
}

QStringList Singleton_SerialPort::linkSettings() const
{
    return {QString::number(dm_linkType), dm_ip, QString::number(dm_port), dm_mask,
            dm_gateway, dm_mac, dm_portName};
}

void Singleton_SerialPort::setLinkSettings(const QStringList &settings)
{
    if (settings.size() < 7) {
        qCWarning(lcLink) << "link settings of" << settings.size() << "entries ignored";
        return;
    }
    setNetSettings(settings);
    dm_portName = settings.at(6);
}

void Singleton_SerialPort::setNetSettings(const QStringList &settings)
{
    if (settings.size() < 6) {
        qCWarning(lcLink) << "network settings of" << settings.size() << "entries ignored";
        return;
    }
    dm_linkType = toNumber(settings.at(0));
    dm_ip = settings.at(1);
    dm_port = toNumber(settings.at(2));
    dm_mask = settings.at(3);
    dm_gateway = settings.at(4);
    dm_mac = settings.at(5);
}

void Singleton_SerialPort::setPortSettings(const QStringList &settings)
{
    if (settings.size() < 2) {
        qCWarning(lcLink) << "serial settings of" << settings.size() << "entries ignored";
        return;
    }
    dm_linkType = toNumber(settings.at(0));
    dm_portName = settings.at(1);
}

// What the command reads of the staging members and the record, taken in
// the caller's thread: the worker builds the frames from this copy only.
CommandBuilder::Staging Singleton_SerialPort::staged(int type) const
{
    CommandBuilder::Staging staging;
    staging.index = dm_index;
    staging.sendBuf = dm_sendBuf;
    staging.sendBuf2 = dm_sendBuf2;
    staging.curModel = dm_data.curModel;
    switch (type) {
    case Command::WriteWall:
        staging.wall = FrameBuilder::wallOf(dm_data);
        break;
    case Command::WriteAllPresets:
        staging.allDataList = dm_allDataList;
        staging.inDataList = dm_inDataList;
        staging.chDataList = dm_chDataList;
        staging.presetList = dm_presetList;
        break;
    case Command::SwitchPictureMode:
        if (dm_index >= 0 && dm_index < DeviceData::InCardEntries)
            staging.entryMode = dm_data.inCards[size_t(dm_index)].mode;
        break;
    default:
        break;
    }
    return staging;
}

void Singleton_SerialPort::out_function(int type)
{
    run(type, staged(type));
}

void Singleton_SerialPort::run(int type, const CommandBuilder::Staging &staging)
{
    if (dm_sendEnable == 1)
        emit setWaitPage(false);
    switch (type) {
    case Command::Connect:
        connectLink();
        break;
    case Command::Disconnect:
        disconnectLink();
        break;
    case Command::EndOfBatch:
        endBatch();
        break;
    case Command::ConnectionRead:
        queueCommand(type, staging, true);
        break;
    case Command::VerifyRead:
        // A fresh copy: its tags never match, so the presets are always read.
        m_verify = {};
        queueCommand(type, staging, dm_sendEnable == 1);
        break;
    default:
        queueCommand(type, staging, dm_sendEnable == 1);
        break;
    }
}

void Singleton_SerialPort::connectLink()
{
    m_transport.close();
    dm_connect_statu = 1;
    dropQueue();
    const bool linked = m_transport.open(dm_linkType, dm_ip, dm_port, dm_portName);
    dm_connect_statu = linked ? 0 : 1;
    dm_sendList.setQuietGap(m_transport.quietGapMs());
    emit setWaitPage(true);
    emit send_connect_end();
}

void Singleton_SerialPort::disconnectLink()
{
    m_transport.close();
    dm_connect_statu = 1;
    dropQueue();
    emit setWaitPage(true);
    emit send_connect_end();
}

// The far end went away: the link is down until the next connect. The
// link is marked down first, as closing the port may report more errors.
void Singleton_SerialPort::linkLost()
{
    dm_connect_statu = 1;
    m_transport.close();
    dropQueue();
    emit setWaitPage(true);
    emit send_connect_end();
}

void Singleton_SerialPort::handleError(QSerialPort::SerialPortError error)
{
    if (!m_transport.serialGone(error) || dm_linkType == 0 || dm_connect_statu != 0)
        return;
    qCWarning(lcLink) << "serial port lost:" << dm_serialPort->errorString();
    linkLost();
}

void Singleton_SerialPort::handleSocketError(QAbstractSocket::SocketError error)
{
    if (dm_linkType != 0 || dm_connect_statu != 0)
        return;
    qCWarning(lcLink) << "network link lost:" << error << dm_tcpSocket->errorString();
    linkLost();
}

void Singleton_SerialPort::socketConnected()
{
    dm_tcpSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
}

// Appends the command's frames; the head goes out only when the queue was
// idle, so a frame in flight is never sent twice.
void Singleton_SerialPort::queueCommand(int type, const CommandBuilder::Staging &staging,
                                        bool sendAtOnce)
{
    const QList<QByteArray> frames = m_builder.build(type, staging);
    const bool idle = dm_sendList.isEmpty();
    dm_sendList.append(requestsOf(type, ++m_posts, frames));
    if (!idle || !sendAtOnce)
        return;
    if (frames.isEmpty())
        emit setWaitPage(true); // nothing to wait for
    else
        dm_sendList.start();
}

// Frames of a long command wait for the wait page's time-out (the time the
// caller allowed for the whole command) before they are sent again.
QList<RequestQueue::Request> Singleton_SerialPort::requestsOf(int type, int post,
                                                              const QList<QByteArray> &frames) const
{
    const bool waitsForPage = CommandBuilder::isLong(type);
    QList<RequestQueue::Request> requests;
    for (const QByteArray &frame : frames) {
        requests.append({frame, waitsForPage ? 0 : m_transport.replyWaitMs(frame.size()),
                         FrameBuilder::concernsHostData(frame), type, post,
                         ReplyParser::expectedReplySize(frame)});
    }
    return requests;
}

void Singleton_SerialPort::endBatch()
{
    dm_sendEnable = 1;
    emit setWaitPage(false);
    qCDebug(lcLink) << "in init end";
    if (dm_sendList.isEmpty())
        emit setWaitPage(true);
    else
        dm_sendList.start();
}

void Singleton_SerialPort::sendData(const QByteArray &frame)
{
    if (dm_connect_statu != 0) {
        sendFailed(Message::NotConnected);
        return;
    }
    dm_receiveData.clear(); // nothing before a request can answer it
    if (m_tagTrusted)
        dm_lastCheckSum = dm_checkSum;
    qCDebug(lcLink) << "--------------------send------------";
    qCDebug(lcLink).noquote() << hexTrace(frame);
    if (!m_transport.write(frame))
        sendFailed(Message::SendFailed);
}

void Singleton_SerialPort::sendFailed(int message)
{
    dropQueue();
    emit send_explain_end(message);
    emit setWaitPage(true);
}

void Singleton_SerialPort::waitTimedOut(int activity)
{
    if (activity != m_activity)
        return; // the page hears of the newer activity and waits again
    if (dm_sendList.isEmpty())
        emit setWaitPage(true); // nothing left to wait for
    else
        dm_sendList.expireAttempt();
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
    if (dm_sendList.discardsInput()) {
        qCDebug(lcLink) << "thrown away while the line settles";
        return;
    }
    dm_receiveData.append(bytes);
    for (QByteArray reply = dm_receiveData.takeReply(); !reply.isEmpty();
         reply = dm_receiveData.takeReply())
        parseReply(reply);
}

// A verify read's replies fill the device's copy, never the host's record.
void Singleton_SerialPort::parseReply(const QByteArray &reply)
{
    if (!dm_sendList.isInFlight()) {
        qCWarning(lcLink) << "reply of" << reply.size() << "bytes without a request dropped";
        return;
    }
    const RequestQueue::Request sent = dm_sendList.inFlight();
    const bool verifying = sent.command == Command::VerifyRead;
    const ReplyParser::Outcome outcome = (verifying ? m_verifyParser : m_parser)->handle(sent.frame, reply);
    if (!outcome.taken) {
        dm_receiveData.clear();
        dm_sendList.expireAttempt();
        return;
    }
    dm_sendList.append(requestsOf(verifying ? sent.command : int(Command::ReadAllPresets),
                                  sent.post, outcome.followUp));
    reportPresetWrite(sent.frame, quint8(sent.frame.at(Protocol::CodeOffset)) == Protocol::WriteChannels
                                      ? WholePresetConfirmed
                                      : PresetWriteConfirmed);
    dm_sendList.replyTaken(reply.size());
}

void Singleton_SerialPort::reportPresetWrite(const QByteArray &frame, int outcome)
{
    const int preset = FrameBuilder::presetWrittenBy(frame);
    if (preset >= 0)
        emit presetWritten(preset, outcome);
}
