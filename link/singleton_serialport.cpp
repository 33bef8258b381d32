#include "singleton_serialport.h"

#include "linklog.h"
#include "replyparser.h"

#include <QCoreApplication>
#include <QSerialPortInfo>
#include <QTcpSocket>
#include <QThread>

namespace {

constexpr int ConnectWaitMs = 800;
constexpr int SerialWriteWaitMs = 800;
constexpr qint32 BaudRate = 115200;

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
    , m_builder(dm_checkSum)
    , m_parser(new ReplyParser({dm_data, dm_buffer, dm_checkSum, dm_lastCheckSum, dm_ip, dm_mask,
                                dm_gateway, dm_mac, dm_port},
                               this))
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
            link->closeTransports();
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
    QStringList names;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        QSerialPort port(info);
        if (port.open(QIODevice::ReadWrite)) {
            names << port.portName();
            port.close();
        }
    }
    return names;
}

void Singleton_SerialPort::postCommand(int type)
{
    QMetaObject::invokeMethod(this, [this, type] { out_function(type); }, Qt::QueuedConnection);
}

void Singleton_SerialPort::postSendFailed(int reason)
{
    QMetaObject::invokeMethod(this, [this, reason] { sendFailed(reason); }, Qt::QueuedConnection);
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

void Singleton_SerialPort::out_function(int type)
{
    if (dm_sendEnable == 1)
        emit setWaitPage(false);
    switch (type) {
    case CommandBuilder::Connect:
        connectLink();
        break;
    case CommandBuilder::Disconnect:
        disconnectLink();
        break;
    case CommandBuilder::EndOfBatch:
        endBatch();
        break;
    case CommandBuilder::ConnectionRead:
        queueCommand(type, true);
        break;
    default:
        queueCommand(type, dm_sendEnable == 1);
        break;
    }
}

void Singleton_SerialPort::out_function_data(int type, QByteArray data)
{
    Q_UNUSED(type)
    Q_UNUSED(data)
}

void Singleton_SerialPort::connectLink()
{
    closeTransports();
    dm_connect_statu = 1;
    resetExchange();
    const bool linked = dm_linkType == 0 ? connectSocket() : openSerialPort();
    dm_connect_statu = linked ? 0 : 1;
    emit setWaitPage(true);
    emit send_connect_end();
}

bool Singleton_SerialPort::connectSocket()
{
    dm_tcpSocket->connectToHost(dm_ip, static_cast<quint16>(dm_port), QIODevice::ReadWrite,
                                QAbstractSocket::AnyIPProtocol);
    if (dm_tcpSocket->waitForConnected(ConnectWaitMs))
        return true;
    qCWarning(lcLink) << "cannot connect to" << dm_ip << dm_port << dm_tcpSocket->errorString();
    dm_tcpSocket->abort();
    return false;
}

bool Singleton_SerialPort::openSerialPort()
{
    dm_serialPort->setPortName(dm_portName);
    dm_serialPort->setBaudRate(BaudRate, QSerialPort::AllDirections);
    dm_serialPort->setDataBits(QSerialPort::Data8);
    dm_serialPort->setFlowControl(QSerialPort::NoFlowControl);
    dm_serialPort->setParity(QSerialPort::NoParity);
    dm_serialPort->setStopBits(QSerialPort::OneStop);
    if (dm_serialPort->open(QIODevice::ReadWrite))
        return true;
    qCWarning(lcLink) << "cannot open" << dm_portName << dm_serialPort->errorString();
    return false;
}

void Singleton_SerialPort::disconnectLink()
{
    closeTransports();
    dm_connect_statu = 1;
    resetExchange();
    emit setWaitPage(true);
    emit send_connect_end();
}

void Singleton_SerialPort::closeTransports()
{
    if (dm_serialPort->isOpen()) {
        dm_serialPort->clear(QSerialPort::AllDirections);
        dm_serialPort->close();
    }
    dm_tcpSocket->abort();
}

// The far end went away: the link is down until the next connect. The
// link is marked down first, as closing the port may report more errors.
void Singleton_SerialPort::linkLost()
{
    dm_connect_statu = 1;
    closeTransports();
    resetExchange();
    emit send_connect_end();
}

void Singleton_SerialPort::handleError(QSerialPort::SerialPortError error)
{
    // A port whose other side is gone reports a read error at every turn of
    // the event loop while it stays open; it is as gone as a vanished one.
    const bool gone = error == QSerialPort::ResourceError
        || (error == QSerialPort::ReadError && dm_serialPort->atEnd());
    if (!gone || dm_linkType == 0 || dm_connect_statu != 0)
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
void Singleton_SerialPort::queueCommand(int type, bool sendAtOnce)
{
    const QList<QByteArray> frames = m_builder.build(
        type, {dm_data, dm_index, dm_sendBuf, dm_sendBuf2, dm_allDataList, dm_inDataList,
               dm_chDataList});
    const bool idle = dm_sendList.isEmpty();
    dm_sendList.append(frames);
    if (!idle || !sendAtOnce)
        return;
    if (frames.isEmpty())
        emit setWaitPage(true); // nothing to wait for
    else
        sendHead();
}

void Singleton_SerialPort::endBatch()
{
    dm_sendEnable = 1;
    emit setWaitPage(false);
    qCDebug(lcLink) << "in init end";
    if (dm_sendList.isEmpty())
        emit setWaitPage(true);
    else
        sendHead();
}

void Singleton_SerialPort::sendHead()
{
    dm_sendData = dm_sendList.first();
    sendData();
}

void Singleton_SerialPort::sendData()
{
    if (dm_connect_statu != 0) {
        sendFailed(0);
        return;
    }
    dm_lastCheckSum = dm_checkSum;
    qCDebug(lcLink) << "--------------------send------------";
    qCDebug(lcLink).noquote() << hexTrace(dm_sendData);
    const bool written = dm_linkType == 0 ? writeSocket() : writeSerial();
    if (!written)
        sendFailed(1);
}

bool Singleton_SerialPort::writeSerial()
{
    return dm_serialPort->write(dm_sendData) != -1
        && dm_serialPort->waitForBytesWritten(SerialWriteWaitMs);
}

bool Singleton_SerialPort::writeSocket()
{
    if (dm_tcpSocket->write(dm_sendData) == -1)
        return false;
    qCDebug(lcLink) << "sockt data" << dm_tcpSocket->state();
    return true;
}

void Singleton_SerialPort::sendFailed(int reason)
{
    resetExchange();
    emit send_explain_end(reason + 5);
    emit setWaitPage(true);
}

// Drops the queued frames and a half-assembled reply: replies still on
// their way can no longer be paired with their requests.
void Singleton_SerialPort::resetExchange()
{
    dm_sendList.clear();
    dm_receiveData.clear();
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
    dm_receiveData.append(bytes);
    for (QByteArray reply = dm_receiveData.takeReply(); !reply.isEmpty();
         reply = dm_receiveData.takeReply())
        parseReply(reply);
}

void Singleton_SerialPort::parseReply(const QByteArray &reply)
{
    if (dm_sendList.isEmpty()) {
        qCWarning(lcLink) << "reply of" << reply.size() << "bytes without a request dropped";
        return;
    }
    dm_sendList.removeFirst();
    dm_sendList.append(m_parser->handle(dm_sendData, reply));
    if (dm_sendList.isEmpty())
        emit setWaitPage(true);
    else
        sendHead();
}
