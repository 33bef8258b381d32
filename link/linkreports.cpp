// The worker's part that reaches the callers' thread: its reports, each
// passed through a Handover and run there in the order they were made.

#include "singleton_serialport.h"

// The edits a parser makes to the worker's record are made to the callers'
// copy, each before the signal that tells of it.
void Singleton_SerialPort::handOverEdits(ReplyParser *parser, DeviceData Singleton_SerialPort::*copy)
{
    connect(parser, &ReplyParser::edited, &m_home, [this, copy](const ReplyParser::Edit &edit) {
        report([this, copy, edit] { edit(this->*copy); });
    });
}

// The network settings the device reports reach the callers' copies with
// the signal that tells of them; a write does not report the port.
void Singleton_SerialPort::forwardParserSignals()
{
    using P = ReplyParser;
    using S = Singleton_SerialPort;
    handOverEdits(m_parser, &S::dm_data);
    forward(m_parser, &P::replaceWinPages, &S::replaceWinPages);
    forward(m_parser, &P::repalceeSendPage, &S::repalceeSendPage);
    forward(m_parser, &P::replaceWins, &S::replaceWins);
    forward(m_parser, &P::repalceAllPage, &S::repalceAllPage);
    forward(m_parser, &P::repalceCard, &S::repalceCard);
    forward(m_parser, &P::repalceInCardMes, &S::repalceInCardMes);
    forward(m_parser, &P::repalceVersion, &S::repalceVersion);
    forward(m_parser, &P::isFistConnect, &S::isFistConnect);
    forward(m_parser, &P::repalceInCardMainSingle, &S::repalceInCardMainSingle);
    forward(m_parser, &P::repalceInCardPIP, &S::repalceInCardPIP);
    forward(m_parser, &P::repalceInCardText, &S::repalceInCardText);
    connect(m_parser, &P::repalceConnect, &m_home, [this] {
        report([this, net = m_network] {
            takeNetwork(net);
            dm_port = net.port;
            emit repalceConnect();
        });
    });
    connect(m_parser, &P::send_explain_end, &m_home, [this](int code) {
        report([this, code, net = m_network] {
            takeNetwork(net);
            emit send_explain_end(code);
        });
    });
}

void Singleton_SerialPort::takeNetwork(const ReplyParser::OwnState &network)
{
    dm_ip = network.ip;
    dm_mask = network.mask;
    dm_gateway = network.gateway;
    dm_mac = network.mac;
}

// The post counts as work under way until the worker reports it run.
void Singleton_SerialPort::postWork(std::function<void()> work, bool counted)
{
    if (!counted) {
        m_workerSide->post(std::move(work));
        return;
    }
    const int post = m_activity.posted();
    m_workerSide->post([this, work = std::move(work), post] {
        work();
        report([this, post] { m_activity.ran(post); });
    });
}

int Singleton_SerialPort::queuedFrames() const
{
    return m_activity.queuedFrames();
}

QByteArray Singleton_SerialPort::lastTag() const
{
    return m_activity.lastTag();
}

// Called wherever the worker's tag may have changed.
void Singleton_SerialPort::reportTag()
{
    if (dm_lastCheckSum == m_tagReported)
        return;
    m_tagReported = dm_lastCheckSum;
    report([this, tag = m_tagReported] { m_activity.setLastTag(tag); });
}
