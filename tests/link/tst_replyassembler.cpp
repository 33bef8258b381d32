#include <replyassembler.h>

#include <QtTest>

namespace {

// A reply of the given length, its payload bytes counting up from 1.
QByteArray reply(int length)
{
    QByteArray bytes(length, '\0');
    bytes[0] = 0x20;
    bytes[2] = static_cast<char>(length >> 8);
    bytes[3] = static_cast<char>(length & 0xFF);
    for (int i = 4; i < length; ++i)
        bytes[i] = static_cast<char>(i % 31 + 1);
    return bytes;
}

QList<QByteArray> takeAll(ReplyAssembler &assembler)
{
    QList<QByteArray> replies;
    for (QByteArray r = assembler.takeReply(); !r.isEmpty(); r = assembler.takeReply())
        replies << r;
    return replies;
}

} // namespace

// Cutting the transport's byte stream into replies.
class TestReplyAssembler : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_assembler.clear(); }

    void piecesOf3_5_8();
    void shortReplyMark();
    void largeReplyInPieces();
    void twoRepliesInOneRead();
    void noiseBeforeReply();
    void noiseOnly();
    void overrunFollowedByReply();
    void overrunFollowedByGarbage();
    void headerBelowEightIsNoise();
    void clearDropsHalfReply();

private:
    ReplyAssembler m_assembler;
};

void TestReplyAssembler::piecesOf3_5_8()
{
    const QByteArray whole = reply(16);
    m_assembler.append(whole.left(3));
    QVERIFY(m_assembler.takeReply().isEmpty());
    m_assembler.append(whole.mid(3, 5));
    QVERIFY(m_assembler.takeReply().isEmpty());
    m_assembler.append(whole.mid(8));
    QCOMPARE(takeAll(m_assembler), QList<QByteArray>{whole});
    QVERIFY(m_assembler.isEmpty());
}

void TestReplyAssembler::shortReplyMark()
{
    const QByteArray whole = QByteArray::fromHex("2000FF1204050607");
    m_assembler.append(whole.left(5));
    QVERIFY(m_assembler.takeReply().isEmpty());
    m_assembler.append(whole.mid(5));
    QCOMPARE(takeAll(m_assembler), QList<QByteArray>{whole});
}

void TestReplyAssembler::largeReplyInPieces()
{
    const QByteArray whole = reply(1865);
    for (int i = 0; i < whole.size(); i += 100) {
        QVERIFY(m_assembler.takeReply().isEmpty());
        m_assembler.append(whole.mid(i, 100));
    }
    QCOMPARE(takeAll(m_assembler), QList<QByteArray>{whole});
}

void TestReplyAssembler::twoRepliesInOneRead()
{
    const QByteArray first = reply(16);
    const QByteArray second = reply(21);
    m_assembler.append(first + second.left(10));
    QCOMPARE(takeAll(m_assembler), QList<QByteArray>{first});
    m_assembler.append(second.mid(10));
    QCOMPARE(takeAll(m_assembler), QList<QByteArray>{second});
}

void TestReplyAssembler::noiseBeforeReply()
{
    const QByteArray whole = reply(16);
    m_assembler.append(QByteArray::fromHex("0011FFAA"));
    QVERIFY(m_assembler.takeReply().isEmpty());
    QVERIFY(m_assembler.isEmpty());
    m_assembler.append(QByteArray::fromHex("1234") + whole);
    QCOMPARE(takeAll(m_assembler), QList<QByteArray>{whole});
}

void TestReplyAssembler::noiseOnly()
{
    m_assembler.append(QByteArray(40, '\x55'));
    QVERIFY(m_assembler.takeReply().isEmpty());
    QVERIFY(m_assembler.isEmpty());
}

// Bytes past the announced length no longer block the next reply.
void TestReplyAssembler::overrunFollowedByReply()
{
    const QByteArray first = reply(16);
    const QByteArray second = reply(20);
    m_assembler.append(first + second.left(2));
    QCOMPARE(takeAll(m_assembler), QList<QByteArray>{first});
    m_assembler.append(second.mid(2));
    QCOMPARE(takeAll(m_assembler), QList<QByteArray>{second});
}

void TestReplyAssembler::overrunFollowedByGarbage()
{
    const QByteArray first = reply(16);
    const QByteArray second = reply(18);
    m_assembler.append(first + QByteArray::fromHex("01022000"));
    QCOMPARE(takeAll(m_assembler), QList<QByteArray>{first});
    QVERIFY(m_assembler.isEmpty());
    m_assembler.append(second);
    QCOMPARE(takeAll(m_assembler), QList<QByteArray>{second});
}

void TestReplyAssembler::headerBelowEightIsNoise()
{
    const QByteArray whole = reply(16);
    m_assembler.append(QByteArray::fromHex("20000005") + whole);
    QCOMPARE(takeAll(m_assembler), QList<QByteArray>{whole});
    m_assembler.append(QByteArray::fromHex("20000000"));
    QVERIFY(m_assembler.takeReply().isEmpty());
    QVERIFY(m_assembler.isEmpty());
}

void TestReplyAssembler::clearDropsHalfReply()
{
    const QByteArray whole = reply(16);
    m_assembler.append(reply(30).left(12));
    m_assembler.clear();
    m_assembler.append(whole);
    QCOMPARE(takeAll(m_assembler), QList<QByteArray>{whole});
}

QTEST_GUILESS_MAIN(TestReplyAssembler)
#include "tst_replyassembler.moc"
