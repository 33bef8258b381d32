#include "dialog_singles.h"
#include "form_singlecard.h"

#include <lightpoint.h>
#include <linkedsimulator.h>
#include <singleton_serialport.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString Lit = QStringLiteral("background-color: rgb(85, 170, 255);");
const QString Unlit = QStringLiteral("background-color: rgb(150, 150, 150);");

InCardEntry &entry(int card)
{
    return Singleton_SerialPort::instance()->dm_data.inCards[card];
}

void setCard(int card, int present, int cardType, int mainSignal, int mode, int flagA, int flagB = 0)
{
    InCardEntry &e = entry(card);
    e.present = present;
    e.cardType = cardType;
    e.mainSignal = mainSignal;
    e.mode = mode;
    e.sigFlagA = flagA;
    e.sigFlagB = flagB;
}

template <typename T = QPushButton>
T *child(const QObject *parent, const QString &name)
{
    T *widget = parent->findChild<T *>(name);
    if (!widget)
        qFatal("no widget %s", qPrintable(name));
    return widget;
}

Form_singleCard *page(const Dialog_Singles &dialog, int card)
{
    return child<Form_singleCard>(&dialog, card == 0 ? QStringLiteral("widget")
                                                      : QStringLiteral("widget_%1").arg(card + 1));
}

// Style sheets of the named buttons.
QStringList styles(const QWidget *page, const QStringList &buttons)
{
    QStringList sheets;
    for (const QString &name : buttons)
        sheets << child(page, name)->styleSheet();
    return sheets;
}

const QStringList SignalButtons = {"pushButton_2", "pushButton_3", "pushButton_4", "pushButton_5"};

// The one lamp shown, -1 for none; its colour.
QPair<int, QColor> shownLamp(const QWidget *page)
{
    const QList<LightPoint *> lamps = {child<LightPoint>(page, "lightpoint"), child<LightPoint>(page, "lightpoint_2"),
                                       child<LightPoint>(page, "lightpoint_3"), child<LightPoint>(page, "lightpoint_4")};
    for (int k = 0; k < lamps.size(); ++k) {
        if (!lamps[k]->isHidden())
            return {k, lamps[k]->bgColor()};
    }
    return {-1, QColor()};
}

QList<QByteArray> frameHeads(const QByteArrayList &frames)
{
    QList<QByteArray> heads;
    for (const QByteArray &frame : frames)
        heads << frame.mid(8, frame.size() == 21 ? 3 : 2);
    return heads;
}

} // namespace

class TestDialogSingles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void pagesInTheirPlaces();
    void oneChannelPage_data();
    void oneChannelPage();
    void twoChannelPage_data();
    void twoChannelPage();
    void resetSingleRefreshesOnlyItsPage();
    void pageCommandsReachDevice_data();
    void pageCommandsReachDevice();
    void auxButtonOpensDialogOfMode_data();
    void auxButtonOpensDialogOfMode();

private:
    LinkedSimulator *m_linked = nullptr;
};

void TestDialogSingles::initTestCase()
{
    m_linked = new LinkedSimulator;
    QVERIFY(m_linked->connectLink());
}

void TestDialogSingles::cleanupTestCase()
{
    delete m_linked;
}

void TestDialogSingles::init()
{
    for (InCardEntry &e : Singleton_SerialPort::instance()->dm_data.inCards)
        e = InCardEntry();
}

void TestDialogSingles::pagesInTheirPlaces()
{
    Dialog_Singles english(true, nullptr);
    QCOMPARE(english.findChildren<Form_singleCard *>().size(), 24);
    const struct { int card; const char *tab; QPoint pos; } places[] = {
        {0, "tab", {10, 10}},   {1, "tab", {500, 10}},    {2, "tab", {10, 110}},
        {11, "tab", {500, 510}}, {12, "tab_2", {10, 10}}, {23, "tab_2", {500, 510}},
    };
    for (const auto &place : places) {
        Form_singleCard *p = page(english, place.card);
        QCOMPARE(p->parentWidget()->objectName(), QString::fromLatin1(place.tab));
        QCOMPARE(p->geometry(), QRect(place.pos, QSize(481, 81)));
        QCOMPARE(child<QGroupBox>(p, "groupBox")->title(), QStringLiteral("In%1").arg(place.card + 1));
    }
}

void TestDialogSingles::oneChannelPage_data()
{
    QTest::addColumn<int>("present");
    QTest::addColumn<int>("mainSignal");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("flag");
    QTest::addColumn<int>("modeIndex");
    QTest::addColumn<bool>("auxOn");
    QTest::addColumn<bool>("autoOn");
    QTest::addColumn<int>("lamp");
    QTest::newRow("VGA, PIP") << 1 << 2 << 2 << 1 << 1 << true << true << 2;
    QTest::newRow("DVI, single") << 1 << 1 << 0 << 0 << 0 << false << false << 1;
    QTest::newRow("SDI, first group") << 1 << 0 << 1 << 1 << 1 << true << false << 0;
    QTest::newRow("CVBS, captions") << 1 << 3 << 3 << 0 << 2 << true << false << 3;
    QTest::newRow("signal without lamp") << 1 << 7 << 4 << 1 << 2 << true << false << -1;
    QTest::newRow("absent") << 0 << 2 << 2 << 1 << 0 << false << false << -1;
}

void TestDialogSingles::oneChannelPage()
{
    QFETCH(int, present);
    QFETCH(int, mainSignal);
    QFETCH(int, mode);
    QFETCH(int, flag);
    QFETCH(int, modeIndex);
    QFETCH(bool, auxOn);
    QFETCH(bool, autoOn);
    QFETCH(int, lamp);
    setCard(3, present, 0, mainSignal, mode, flag);
    Dialog_Singles dialog(true, nullptr);
    Form_singleCard *p = page(dialog, 3);
    QCOMPARE(p->isEnabled(), present != 0);
    QVERIFY(child<QGroupBox>(p, "groupBox")->isHidden() && !child<QGroupBox>(p, "groupBox_2")->isHidden());
    QCOMPARE(child<QComboBox>(p, "com_model_1")->currentIndex(), modeIndex);
    QCOMPARE(child(p, "but_to_1")->isEnabled(), auxOn);
    QCOMPARE(child(p, "but_auto_1")->isEnabled(), autoOn);
    const QString look = present == 0 ? QString() : flag ? Lit : Unlit;
    for (const QString &sheet : styles(p, SignalButtons))
        QCOMPARE(sheet, look);
    QCOMPARE(shownLamp(p).first, lamp);
    if (lamp >= 0)
        QCOMPARE(shownLamp(p).second, flag ? QColor(85, 170, 255) : QColor(124, 124, 124));
}

void TestDialogSingles::twoChannelPage_data()
{
    QTest::addColumn<int>("card");
    QTest::addColumn<int>("present");
    QTest::addColumn<int>("cardType");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("HDMI even") << 0 << 1 << 1 << QStringList{"HDMI1", "HDMI2"};
    QTest::newRow("HDMI odd") << 1 << 1 << 1 << QStringList{"HDMI3", "HDMI4"};
    QTest::newRow("DVI even") << 4 << 1 << 2 << QStringList{"DVI1", "DVI2"};
    QTest::newRow("DVI odd") << 3 << 1 << 2 << QStringList{"DVI3", "DVI4"};
    QTest::newRow("SDI even") << 22 << 1 << 3 << QStringList{"SDI1", "SDI2"};
    QTest::newRow("SDI odd") << 23 << 1 << 3 << QStringList{"SDI3", "SDI4"};
    QTest::newRow("unknown kind") << 5 << 1 << 9 << QStringList{"HDMI1", "HDMI2"};
    QTest::newRow("absent") << 7 << 0 << 2 << QStringList{"DVI3", "DVI4"};
}

void TestDialogSingles::twoChannelPage()
{
    QFETCH(int, card);
    QFETCH(int, present);
    QFETCH(int, cardType);
    QFETCH(QStringList, labels);
    setCard(card, present, cardType, 0, 0, 1, 0);
    Dialog_Singles dialog(true, nullptr);
    Form_singleCard *p = page(dialog, card);
    QCOMPARE(p->isEnabled(), present != 0);
    QVERIFY(!child<QGroupBox>(p, "groupBox")->isHidden() && child<QGroupBox>(p, "groupBox_2")->isHidden());
    QCOMPARE(QStringList({child(p, "pushButton")->text(), child(p, "pushButton_6")->text()}), labels);
    const QStringList looks = present ? QStringList{Lit, Unlit} : QStringList{QString(), QString()};
    QCOMPARE(styles(p, {"pushButton", "pushButton_6"}), looks);
}

void TestDialogSingles::resetSingleRefreshesOnlyItsPage()
{
    setCard(5, 1, 0, 1, 0, 0);
    setCard(6, 1, 0, 1, 0, 0);
    Dialog_Singles dialog(true, nullptr);
    entry(5).mainSignal = 3;
    entry(6).mainSignal = 3;
    emit Singleton_SerialPort::instance()->repalceInCardMainSingle(5);
    QCOMPARE(shownLamp(page(dialog, 5)).first, 3);
    QCOMPARE(shownLamp(page(dialog, 6)).first, 1);
    for (int id : {-1, 24, 31, 1000})
        dialog.resetSingle(id);
    QCOMPARE(shownLamp(page(dialog, 6)).first, 1);
}

void TestDialogSingles::pageCommandsReachDevice_data()
{
    QTest::addColumn<int>("mainSignal");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QByteArray>("staged");
    QTest::addColumn<int>("timeout");
    QTest::addColumn<QList<QByteArray>>("frames");
    QTest::addColumn<int>("lampAfter");
    QTest::addColumn<int>("modeAfter");
    QTest::newRow("CVBS") << 1 << 0 << "pushButton_5" << QByteArray("\x03") << 10000
                          << QList<QByteArray>{"\x80\x07\x03"} << 3 << 0;
    QTest::newRow("SDI") << 1 << 0 << "pushButton_2" << QByteArray(1, 0) << 10000
                         << QList<QByteArray>{QByteArray("\x80\x07\x00", 3)} << 0 << 0;
    QTest::newRow("PIP to captions") << 1 << 1 << "down" << QByteArray("\x02") << 5000
                                     << QList<QByteArray>{QByteArray("\x81\x07\x00", 3), "\x83\x07\x01"} << 1 << 2;
    QTest::newRow("single to PIP") << 1 << 0 << "down" << QByteArray("\x01") << 5000
                                   << QList<QByteArray>{"\x81\x07\x01"} << 1 << 1;
    QTest::newRow("same mode") << 1 << 3 << "captions" << QByteArray("\x55") << 0
                               << QList<QByteArray>{} << 1 << 2;
    QTest::newRow("auto") << 2 << 0 << "but_auto_1" << QByteArray() << 5000
                          << QList<QByteArray>{"\x8B\x07"} << 2 << 0;
}

// Card 7 (page In8); the page changes once the device has confirmed.
void TestDialogSingles::pageCommandsReachDevice()
{
    QFETCH(int, mainSignal);
    QFETCH(int, mode);
    QFETCH(QString, action);
    QFETCH(QByteArray, staged);
    QFETCH(int, timeout);
    QFETCH(QList<QByteArray>, frames);
    QFETCH(int, lampAfter);
    QFETCH(int, modeAfter);
    setCard(7, 1, 0, mainSignal, mode, 1);
    Dialog_Singles dialog(true, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    Form_singleCard *p = page(dialog, 7);
    auto *modes = child<QComboBox>(p, "com_model_1");
    Singleton_SerialPort *link = m_linked->link();
    link->dm_sendBuf = QByteArray("\x55");
    QSignalSpy announced(link, &Singleton_SerialPort::send_out_time);
    m_linked->simulator().clearRequests();

    if (action == QLatin1String("down")) {
        modes->setFocus();
        QTest::keyClick(modes, Qt::Key_Down);
    } else if (action == QLatin1String("captions")) {
        emit modes->activated(2);
    } else {
        QTest::mouseClick(child(p, action), Qt::LeftButton);
    }

    QCOMPARE(link->dm_sendBuf, staged);
    QCOMPARE(announced.count(), frames.isEmpty() ? 0 : 1);
    if (!frames.isEmpty()) {
        QCOMPARE(link->dm_index, 7);
        QCOMPARE(announced.at(0).at(0).toInt(), timeout);
        QVERIFY(m_linked->waitForRequests(frames.size()));
    }
    QVERIFY(m_linked->waitForIdle());
    QCOMPARE(frameHeads(m_linked->requests()), frames);
    QTRY_COMPARE(shownLamp(p).first, lampAfter);
    QTRY_COMPARE(modes->currentIndex(), modeAfter);
}

void TestDialogSingles::auxButtonOpensDialogOfMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("opened");
    QTest::newRow("PIP") << 2 << "Dialog_Pip";
    QTest::newRow("first group") << 1 << "Dialog_Pip";
    QTest::newRow("captions") << 4 << "Dialog_text";
}

// ">>" runs the dialog of the mode group modally; it is deleted on closing.
void TestDialogSingles::auxButtonOpensDialogOfMode()
{
    QFETCH(int, mode);
    QFETCH(QString, opened);
    setCard(7, 1, 0, 1, mode, 1);
    Dialog_Singles dialog(true, nullptr);
    dialog.show();
    QPointer<QWidget> aux;
    QString shownClass;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || aux)
            return;
        aux = modal;
        shownClass = QString::fromLatin1(modal->metaObject()->className());
        QCOMPARE(modal->parentWidget(), page(dialog, 7));
        modal->close();
    });
    closer.start(50);
    QTest::mouseClick(child(page(dialog, 7), "but_to_1"), Qt::LeftButton);
    closer.stop();
    QCOMPARE(shownClass, opened);
    QTRY_VERIFY(aux.isNull());
}

QTEST_MAIN(TestDialogSingles)
#include "tst_dialog_singles.moc"
