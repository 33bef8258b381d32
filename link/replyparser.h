#ifndef REPLYPARSER_H
#define REPLYPARSER_H

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <functional>

class DeviceData;
struct InCardEntry;

// Stores what one reply says, given the request it answers: into the
// device data record and the worker's state. The handler is chosen by the
// command code of the request; a reply shorter than the bytes its handler
// reads (ReplyLayout) is not taken (the request stays unanswered), spare
// bytes past them are ignored, and a request shorter than the handler needs
// stores nothing. No transport is involved.
//
// Every change to the record is made by an edit, announced with edited()
// before the signal that tells of it: the worker makes the same edits to
// the callers' copy of the record.
class ReplyParser : public QObject
{
    Q_OBJECT

public:
    // The worker's state that replies update.
    struct State
    {
        DeviceData &data;
        QByteArray &buffer; // the 0x1A reply of a preset read, kept for its 0x1B
        QByteArray &checkSum;
        QByteArray &lastCheckSum;
        bool &tagTrusted; // the host's data are known to be the device's
        QString &ip;
        QString &mask;
        QString &gateway;
        QString &mac;
        int &port;
    };

    // The same state held by value, for a parser beside the worker's (the
    // verify read) and for tests: all but the record it writes into.
    struct OwnState
    {
        QByteArray buffer;
        QByteArray checkSum;
        QByteArray lastCheckSum;
        bool tagTrusted = true;
        QString ip, mask, gateway, mac;
        int port = 0;

        State over(DeviceData &data)
        {
            return {data, buffer, checkSum, lastCheckSum, tagTrusted, ip, mask, gateway, mac, port};
        }
    };

    struct Outcome
    {
        // False when the reply is too short for what the request asks:
        // nothing was stored and the request is still unanswered.
        bool taken = true;
        // Frames the reply asks to queue (the preset reads when the device
        // holds other data than the host).
        QList<QByteArray> followUp;
    };

    // One change to the record; it reads nothing but the record it edits.
    using Edit = std::function<void(DeviceData &)>;

    explicit ReplyParser(const State &state, QObject *parent = nullptr);

    Outcome handle(const QByteArray &sent, const QByteArray &reply);

signals:
    // Made to the record just now.
    void edited(const ReplyParser::Edit &edit);
    void replaceWinPages();
    void repalceeSendPage();
    void replaceWins();
    void repalceAllPage();
    void repalceCard();
    void repalceInCardMes();
    void repalceConnect();
    void repalceVersion();
    void isFistConnect();
    void repalceInCardMainSingle(int id);
    void repalceInCardPIP();
    void repalceInCardText();
    void send_explain_end(int code);

private:
    using Run = void (ReplyParser::*)(const QByteArray &sent, const QByteArray &reply);
    struct Handler
    {
        quint8 code;
        int sentSize;   // bytes of the request the handler reads
        bool readsEntry; // sent[9] is an input card entry
        Run run;
    };
    static const Handler *handlerFor(quint8 code);
    static bool fits(const Handler &handler, const QByteArray &sent);

    void deviceStatus(const QByteArray &sent, const QByteArray &reply);
    void readNetwork(const QByteArray &sent, const QByteArray &reply);
    void writeNetwork(const QByteArray &sent, const QByteArray &reply);
    void presetWindows(const QByteArray &sent, const QByteArray &reply);
    void presetBlocks(const QByteArray &sent, const QByteArray &reply);
    void versions(const QByteArray &sent, const QByteArray &reply);
    void inputCards(const QByteArray &sent, const QByteArray &reply);
    void mainSignal(const QByteArray &sent, const QByteArray &reply);
    void pipSignal(const QByteArray &sent, const QByteArray &reply);
    void group1Mode(const QByteArray &sent, const QByteArray &reply);
    void group2Mode(const QByteArray &sent, const QByteArray &reply);
    void captions(const QByteArray &sent, const QByteArray &reply);
    void captionSignal(const QByteArray &sent, const QByteArray &reply);
    void rectangleA(const QByteArray &sent, const QByteArray &reply);
    void rectangleB(const QByteArray &sent, const QByteArray &reply);
    void pictureValue(const QByteArray &sent, const QByteArray &reply);
    void factoryData(const QByteArray &sent, const QByteArray &reply);
    void wallAccepted(const QByteArray &sent, const QByteArray &reply);
    void signalFlags(const QByteArray &sent, const QByteArray &reply);

    void edit(const Edit &change);
    static Edit wallOf(const QByteArray &reply);
    void setGroupMode(const QByteArray &sent, int onMode);
    void setAuxSignal(const QByteArray &sent, int mode);
    void setRectangle(const QByteArray &sent, std::array<int, 4> InCardEntry::*rectangle);

    State m_state;
    QList<QByteArray> m_followUp;
    // The device's tag, taken over once all presets have been read.
    QByteArray m_deviceTag;
    quint32 m_presetsRead = 0; // one bit a preset
    int m_bufferPreset = -1;   // the preset whose first reply is in the buffer
    bool m_taken = true;       // a handler may refuse what fits but does not match
};

#endif // REPLYPARSER_H
