#ifndef SINGLETON_SERIALPORT_H
#define SINGLETON_SERIALPORT_H

#include "commandbuilder.h"
#include "handover.h"
#include "linkactivity.h"
#include "linkreply.h"
#include "linkrequest.h"
#include "linkstatemodel.h"
#include "linktransport.h"
#include "replyassembler.h"
#include "replyparser.h"
#include "requestplanner.h"
#include "requestqueue.h"
#include "threadend.h"

#include <devicedata.h>

#include <QAbstractSocket>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QString>
#include <QStringList>

#include <functional>

class QThread;
class QTcpSocket;

// The link to one processor. Works in a thread of its own with both
// transports; builds the request frames of a posted command, sends them
// one at a time, pairs each reply with its request and stores what it says
// in the device data record.
//
// Callers post requests as values (LinkRequest), one at a time or as one
// batch, and follow each to its end by the LinkReply send() returns; the
// worker's signals tell them what changed.
//
// The two threads share nothing: the requests, the link settings and the
// record dm_data belong to the callers' thread, and requests reach the
// worker as values taken at post time; the link state, the data tags and
// the worker's own record belong to the worker. Everything passes through
// a Handover: the worker's signals are emitted in the callers' thread,
// each after the edits to dm_data and dm_deviceCopy that the reply before
// it made to the worker's own record.
class Singleton_SerialPort : public QObject
{
    Q_OBJECT

public:
    // What became of a write to one preset (presetWritten()).
    enum PresetWrite { PresetWriteConfirmed, WholePresetConfirmed, PresetWriteLost };

    // Made in the callers' thread, after the application object. The
    // destructor closes the link and joins the worker's thread.
    explicit Singleton_SerialPort(QObject *parent = nullptr);
    ~Singleton_SerialPort() override;

    // Serial ports that can be opened now.
    static QStringList openablePortNames();

    // Opens, opens again without a wait page, or closes the link
    // (Command::Connect, Reconnect, Disconnect), in posting order.
    void postCommand(int type);
    // Posts the request as a batch of its own, its time-out its budget.
    LinkReply *send(const LinkRequest &request);
    // Posts the requests as one batch: queued together, under one wait page
    // and one budget, announced first (send_out_time), which a direct
    // handler may change. Requests run in posting order.
    LinkReply *send(const QList<LinkRequest> &batch, int budgetMs);
    // The data tag kept from the last run; none (a settings file not ours)
    // keeps the tag and gives the last one its eight bytes.
    void postKeptTag(const QByteArray &tag, bool none);
    // Both tags cleared: the next connection reads everything.
    void postForgetTags();
    // Posts not yet run and frames queued or in flight, and the tag of the
    // last frame sent, as the worker last reported them; neither waits.
    int queuedFrames() const;
    QByteArray lastTag() const;

    // The link as the callers' thread last heard of it: open (reading or
    // ready), and its one state.
    bool isConnected() const;
    // Runs calls in the worker's thread.
    Handover *workerSide() { return m_workerSide; }
    LinkStateModel *state() { return &m_state; }
    const LinkStateModel *state() const { return &m_state; }
    // The settings as the settings file holds them (linksettings.cpp).
    QStringList linkSettings() const;
    void setLinkSettings(const QStringList &settings);
    void setNetSettings(const QStringList &settings);
    void setPortSettings(const QStringList &settings);
    // A link that drops is tried again by the program (a link setting; the
    // callers do the trying).
    bool reconnects() const;
    void setReconnects(bool reconnects);

    int dm_connect_statu = 1; // the worker's: 1 link down, 0 link up

    int dm_linkType = 0; // 0 TCP, otherwise serial
    QString dm_ip;
    int dm_port = 0;
    QString dm_mask;
    QString dm_gateway;
    QString dm_mac;
    QString dm_portName;
    // The callers' copy of the worker's record.
    DeviceData dm_data;
    // The device's wall, current preset and presets as the last verify read
    // found them, beside the host's own (repalceDeviceCopy()).
    DeviceData dm_deviceCopy;
    QByteArray dm_checkSum;     // the worker's: data tag carried by write requests
    QByteArray dm_lastCheckSum; // the worker's: tag of the last frame sent

signals:
    void setWaitPage(bool closed);
    void send_connect_end();
    void send_explain_end(int code);
    void send_end_instrusts();
    void send_error(int order);
    void send_receive_end(int order);
    void MyStarSend(int);
    void send_out_time(int ms);
    void replaceWinPages();
    void repalceeSendPage();
    void replaceWins();
    void repalceAllPage();
    void repalceCardMes();
    void repalceLoadFile();
    void repalceCard();
    void repalceInCardMes();
    void repalceConnect();
    void repalceVersion();
    void isFistConnect();
    void repalceInCardMainSingle(int id);
    void repalceInCardPIP();
    void repalceInCardText();
    void send_init_end();
    // The link came up or went down; sent before send_connect_end().
    void linkStateChanged(bool up);
    // The same, with the opening or closing it answers (or follows).
    void transportChanged(bool up, int linkOp);
    // How far a posted command of several exchanges has come.
    void commandProgress(int command, int framesDone, int framesTotal, qint64 bytesDone,
                         qint64 bytesTotal);
    // A verify read has filled dm_deviceCopy.
    void repalceDeviceCopy();
    // A write to the preset was confirmed by the device, or lost (PresetWrite).
    void presetWritten(int preset, int outcome);
    // A recall of the preset was acknowledged by the device, or lost.
    void presetRecalled(int preset, bool confirmed);

private:
    void readDataPort();
    void handleError(QSerialPort::SerialPortError error);
    void readDataSocket();
    void handleSocketError(QAbstractSocket::SocketError error);
    void socketConnected();

    void forwardParserSignals();
    void handOverEdits(ReplyParser *parser, DeviceData Singleton_SerialPort::*copy);
    // Runs the work in the worker's thread; it counts as under way until
    // the worker reports it run.
    // The program's own work (counted false) never counts.
    void postWork(std::function<void()> work, bool counted = true);
    static bool isBackground(const QList<LinkRequest> &batch);
    void reportTag();
    void takeNetwork(const ReplyParser::OwnState &network);

    // Runs the call in the callers' thread, after everything reported before.
    template<typename Call>
    void report(Call call)
    {
        m_callerSide.post(std::move(call));
    }
    // Emits the signal in the callers' thread, where the tag is by then
    // the one the worker holds.
    template<typename... Params, typename... Args>
    void announce(void (Singleton_SerialPort::*signal)(Params...), Args... args)
    {
        reportTag();
        report([this, signal, args...] { (this->*signal)(args...); });
    }
    template<typename Sender, typename... Args>
    void forward(Sender *sender, void (Sender::*from)(Args...),
                 void (Singleton_SerialPort::*to)(Args...))
    {
        connect(sender, from, &m_home, [this, to](Args... args) { announce(to, args...); });
    }

    void connectLink(const CommandBuilder::LinkSettings &settings);
    void disconnectLink();
    void linkLost();
    void setLinkState(bool up);

    void runLinkOp(int type, const CommandBuilder::LinkSettings &settings, int linkOp);
    void run(const QList<LinkRequest> &batch, int firstPost, int budgetMs);
    void queueRequest(const LinkRequest &request, int post);
    // Ends the post's reply; posted to the callers' side.
    void requestEnded(int post, LinkReply::Error error);
    void sendData(const QByteArray &frame);
    void sendFailed(int message);
    void failSend(int message); // the frame could not go out
    void gaveUp(int command);
    void settle(const QByteArray &write, int replySize);
    void dropQueue();
    void distrustData();

    void takeBytes(const QByteArray &bytes);
    void takeReply(const QByteArray &reply);
    void parseReply(const QByteArray &reply);
    void reportPresetWrite(const QByteArray &frame, int outcome);

    // The worker's objects in its thread hang from here: the link itself
    // stays in the callers' thread, which may give it a parent.
    QObject m_home;
    QSerialPort *dm_serialPort;
    QTcpSocket *dm_tcpSocket;
    QThread *dm_thread;
    ThreadEnd m_threadEnd; // the worker's thread, ended to its last step
    Handover *m_workerSide; // a child: calls posted to the worker
    LinkTransport m_transport;
    ReplyAssembler dm_receiveData; // reply assembly
    RequestQueue dm_sendList;      // head = the frame in flight
    QByteArray dm_buffer;          // first reply of a preset read
    // The host's data are known to hold what the device holds; cleared
    // while a full read is under way and when a request is given up, so
    // the tag kept for the next connection is cleared too.
    bool m_tagTrusted = true;
    // The worker's: a wait page was announced open and not closed yet.
    bool m_pageAnnounced = false;
    QByteArray m_tagReported; // the last tag reported to the callers
    int m_linkType = 0;       // of the link opened last
    // What the worker's parsers write: the record, the network settings the
    // device reports and the device's copy of a verify read.
    DeviceData m_record;
    ReplyParser::OwnState m_network;
    DeviceData m_deviceRecord;
    RequestPlanner m_planner;
    CommandBuilder m_builder;
    ReplyParser *m_parser;

    // The state a verify read writes instead of the host's.
    ReplyParser::OwnState m_verify;
    ReplyParser *m_verifyParser;

    // Lives in the callers' thread: what it owns there.
    Handover m_callerSide;
    LinkStateModel m_state;
    LinkActivity m_activity;
    int m_linkOpsPosted = 0; // openings and closings posted
    int m_linkOp = 0;        // the worker's: the last it ran
    bool m_reconnects = true;
    int m_announcedTimeoutMs = Command::ShortWait;
    int m_postsSent = 0; // requests posted, each its number
    QHash<int, QPointer<LinkReply>> m_replies; // by post number
};

#endif // SINGLETON_SERIALPORT_H
