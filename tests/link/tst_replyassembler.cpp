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

Q_DECLARE_METATYPE(QList<QByteArrayList>)

// Cutting the transport's byte stream into replies.
class TestReplyAssembler : public QObject
{
    Q_OBJECT

private slots:
    void stream_data();
    void stream();
    void clearDropsHalfReply();
};

// Each piece is appended and the complete replies taken; the replies are
// those expected, each one out as soon as its last byte is in, and nothing
// is left over.
void TestReplyAssembler::stream_data()
{
    QTest::addColumn<QByteArrayList>("pieces");
    QTest::addColumn<QList<QByteArrayList>>("replies"); // taken after each piece
    const QByteArray r16 = reply(16);
    const QByteArray r18 = reply(18);
    const QByteArray r20 = reply(20);
    const QByteArray r21 = reply(21);
    const QByteArray r1865 = reply(1865);
    const QByteArray mark = QByteArray::fromHex("2000FF1204050607");
    QByteArrayList hundreds;
    QList<QByteArrayList> none;
    for (int i = 0; i < r1865.size(); i += 100) {
        hundreds << r1865.mid(i, 100);
        none << QByteArrayList();
    }
    none.last() = {r1865};
    QTest::newRow("pieces of 3, 5 and 8")
        << QByteArrayList{r16.left(3), r16.mid(3, 5), r16.mid(8)} << QList<QByteArrayList>{{}, {}, {r16}};
    QTest::newRow("0xFF in byte 2") << QByteArrayList{mark.left(5), mark.mid(5)}
                                    << QList<QByteArrayList>{{}, {mark}};
    QTest::newRow("large reply in pieces") << hundreds << none;
    QTest::newRow("two replies in one read") << QByteArrayList{r16 + r21.left(10), r21.mid(10)}
                                             << QList<QByteArrayList>{{r16}, {r21}};
    QTest::newRow("noise") << QByteArrayList{QByteArray::fromHex("0011FFAA"), QByteArray::fromHex("1234") + r16}
                           << QList<QByteArrayList>{{}, {r16}};
    QTest::newRow("noise only") << QByteArrayList{QByteArray(40, '\x55')} << QList<QByteArrayList>{{}};
    QTest::newRow("overrun then a reply") << QByteArrayList{r16 + r20.left(2), r20.mid(2)}
                                          << QList<QByteArrayList>{{r16}, {r20}};
    QTest::newRow("overrun then garbage") << QByteArrayList{r16 + QByteArray::fromHex("01022000"), r18}
                                          << QList<QByteArrayList>{{r16}, {r18}};
    QTest::newRow("length below 8 is noise")
        << QByteArrayList{QByteArray::fromHex("20000005") + r16, QByteArray::fromHex("20000000")}
        << QList<QByteArrayList>{{r16}, {}};
}

void TestReplyAssembler::stream()
{
    QFETCH(QByteArrayList, pieces);
    QFETCH(QList<QByteArrayList>, replies);
    ReplyAssembler assembler;
    for (int i = 0; i < pieces.size(); ++i) {
        assembler.append(pieces.at(i));
        QCOMPARE(takeAll(assembler), QList<QByteArray>(replies.at(i)));
    }
    QVERIFY(assembler.isEmpty());
}

void TestReplyAssembler::clearDropsHalfReply()
{
    ReplyAssembler assembler;
    const QByteArray whole = reply(16);
    assembler.append(reply(30).left(12));
    assembler.clear();
    assembler.append(whole);
    QCOMPARE(takeAll(assembler), QList<QByteArray>{whole});
}

QTEST_GUILESS_MAIN(TestReplyAssembler)
#include "tst_replyassembler.moc"
