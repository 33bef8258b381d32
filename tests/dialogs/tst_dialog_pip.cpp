#include "dialog_pip.h"

#include "linkedsimulator.h"
#include "signalrecorder.h"

#include <lightpoint.h>
#include <mycanvas.h>
#include <singleton_serialport.h>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

namespace {

constexpr int Card = 3;
const QColor Lit(85, 170, 255);
const QColor Unlit(124, 124, 124);

const char *const MainRow[] = {"spinBox", "spinBox_2", "spinBox_3", "spinBox_4"};
const char *const PipRow[] = {"spinBox_5", "spinBox_6", "spinBox_7", "spinBox_8"};

template<typename T>
T *child(const QWidget &dialog, const char *name)
{
    T *widget = dialog.findChild<T *>(QLatin1String(name));
    Q_ASSERT(widget);
    return widget;
}

// H start, V start, width, height as a row shows them.
QList<int> row(const QWidget &dialog, const char *const (&names)[4])
{
    QList<int> values;
    for (const char *name : names)
        values << child<QSpinBox>(dialog, name)->value();
    return values;
}

QList<bool> lampsShown(const QWidget &dialog)
{
    QList<bool> shown;
    for (const char *name : {"lightpoint", "lightpoint_2", "lightpoint_3", "lightpoint_4"})
        shown << child<LightPoint>(dialog, name)->isVisibleTo(&dialog);
    return shown;
}

void type(QSpinBox *spin, int value)
{
    spin->selectAll();
    QTest::keyClicks(spin, QString::number(value));
}

} // namespace

class TestDialogPip : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void texts_data();
    void texts();
    void showsRecord_data();
    void showsRecord();
    void typingMovesCanvasOnly();
    void dragFillsInsetRowOnly();
    void pipSignalRefreshesDialog();
    void saveSendsBothRectangles();
    void saveRefusesWhatLeavesThePicture();

private:
    LinkedSimulator m_sim;
    Singleton_SerialPort *m_link = nullptr;
};

void TestDialogPip::initTestCase()
{
    m_link = m_sim.link();
    QVERIFY(m_sim.connectLink());
}

void TestDialogPip::init()
{
    InCardEntry &e = m_link->dm_data.inCards[Card];
    e = InCardEntry();
    e.present = 1;
    e.mainSignal = 2;
    e.auxSignal = 1;
    e.sigFlagA = 1;
    e.rectA = {0, 1920, 0, 1080};
    e.rectB = {100, 800, 50, 600};
}

void TestDialogPip::texts_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<int>("mainSignal");
    QTest::addColumn<QString>("label");
    QTest::newRow("English") << true << 2 << "Main Signal:VGA";
    QTest::newRow("Chinese") << false << 3 << "主信号:CVBS";
    QTest::newRow("no such signal") << true << 4 << "Main Signal:";
}

void TestDialogPip::texts()
{
    QFETCH(bool, english);
    QFETCH(int, mainSignal);
    m_link->dm_data.inCards[Card].mainSignal = mainSignal;
    Dialog_Pip dialog(english, Card, nullptr);
    QTEST(child<QLabel>(dialog, "lab_mainSingle")->text(), "label");
}

void TestDialogPip::showsRecord_data()
{
    QTest::addColumn<int>("sigFlagA");
    QTest::addColumn<int>("auxSignal");
    QTest::addColumn<QList<bool>>("lamps");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("style");

    QTest::newRow("signal present") << 1 << 1 << QList<bool>{false, true, false, false} << Lit
                                    << "background-color: rgb(85, 170, 255);";
    QTest::newRow("no signal, no lamp") << 0 << 9 << QList<bool>{false, false, false, false}
                                        << Unlit << "background-color: rgb(150, 150, 150);";
}

void TestDialogPip::showsRecord()
{
    QFETCH(int, sigFlagA);
    QFETCH(int, auxSignal);
    QFETCH(QColor, colour);
    m_link->dm_data.inCards[Card].sigFlagA = sigFlagA;
    m_link->dm_data.inCards[Card].auxSignal = auxSignal;
    Dialog_Pip dialog(true, Card, nullptr);

    QTEST(lampsShown(dialog), "lamps");
    QCOMPARE(child<LightPoint>(dialog, "lightpoint_4")->bgColor(), colour);
    QTEST(child<QPushButton>(dialog, "pushButton_3")->styleSheet(), "style");
    QCOMPARE(row(dialog, MainRow), (QList<int>{0, 0, 1920, 1080}));
    QCOMPARE(row(dialog, PipRow), (QList<int>{100, 50, 800, 600}));
    const MyCanvas *canvas = child<MyCanvas>(dialog, "frame");
    QCOMPARE(canvas->mainRect(), QRect(0, 0, 871, 489));
    QCOMPARE(canvas->pipRect(), QRect(45, 22, 362, 271));
}

void TestDialogPip::typingMovesCanvasOnly()
{
    Dialog_Pip dialog(true, Card, nullptr);
    QSignalSpy announced(m_link, &Singleton_SerialPort::send_out_time);
    const int requests = m_sim.requests().size();

    type(child<QSpinBox>(dialog, "spinBox_2"), 540);
    type(child<QSpinBox>(dialog, "spinBox_7"), 1920);
    const MyCanvas *canvas = child<MyCanvas>(dialog, "frame");
    QCOMPARE(canvas->mainRect().top(), 244);
    QCOMPARE(canvas->pipRect().width(), 871);
    QCOMPARE(row(dialog, PipRow), (QList<int>{100, 50, 1920, 600}));
    QVERIFY(announced.isEmpty());
    QCOMPARE(m_link->queuedFrames(), 0);
    QCOMPARE(m_sim.requests().size(), requests);
}

void TestDialogPip::dragFillsInsetRowOnly()
{
    Dialog_Pip dialog(true, Card, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy announced(m_link, &Singleton_SerialPort::send_out_time);
    MyCanvas *canvas = child<MyCanvas>(dialog, "frame");

    // The inset lies on the full-size main picture and is grabbed first.
    // Events go through the window, which holds the button down for moves.
    QWindow *window = dialog.windowHandle();
    const QPoint from = canvas->mapTo(&dialog, QPoint(200, 150));
    const QPoint to = canvas->mapTo(&dialog, QPoint(300, 200));
    QTest::mousePress(window, Qt::LeftButton, {}, from);
    QTest::mouseMove(window, to);
    QTest::mouseRelease(window, Qt::LeftButton, {}, to);
    QCOMPARE(canvas->pipRect(), QRect(145, 72, 362, 271));
    QCOMPARE(row(dialog, PipRow), (QList<int>{319, 159, 797, 598}));
    QCOMPARE(row(dialog, MainRow), (QList<int>{0, 0, 1920, 1080}));
    QVERIFY(announced.isEmpty());
    QCOMPARE(m_link->queuedFrames(), 0);
}

void TestDialogPip::pipSignalRefreshesDialog()
{
    Dialog_Pip dialog(true, Card, nullptr);
    connect(m_link, &Singleton_SerialPort::repalceInCardPIP, &dialog, &Dialog_Pip::InitPage);
    m_sim.model().entries[Card].mode = 0;
    QSignalSpy announced(m_link, &Singleton_SerialPort::send_out_time);
    const int requests = m_sim.requests().size();
    type(child<QSpinBox>(dialog, "spinBox"), 500); // typed, never saved

    QTest::mouseClick(child<QPushButton>(dialog, "pushButton_5"), Qt::LeftButton);
    QCOMPARE(announced.takeFirst().at(0).toInt(), 10000);
    QVERIFY(m_sim.waitForRequests(requests + 1));
    const QByteArray frame = m_sim.lastRequest();
    QCOMPARE(frame.mid(8, 3).toHex(' '), QByteArray("82 03 03"));
    QVERIFY(m_sim.waitForIdle());
    QCOMPARE(m_sim.model().entries[Card].auxSignal, quint8(3));
    QCOMPARE(m_sim.model().entries[Card].mode, quint8(2));

    QTRY_COMPARE(lampsShown(dialog), (QList<bool>{false, false, false, true}));
    const InCardEntry &e = m_link->dm_data.inCards[Card];
    QCOMPARE(e.auxSignal, 3);
    QCOMPARE(e.mode, 2);
    QCOMPARE(row(dialog, MainRow), (QList<int>{0, 0, 1920, 1080}));
    QCOMPARE(child<MyCanvas>(dialog, "frame")->mainRect(), QRect(0, 0, 871, 489));
}

void TestDialogPip::saveSendsBothRectangles()
{
    Dialog_Pip dialog(true, Card, nullptr);
    connect(m_link, &Singleton_SerialPort::repalceInCardPIP, &dialog, &Dialog_Pip::InitPage);
    QSignalSpy announced(m_link, &Singleton_SerialPort::send_out_time);
    SignalRecorder worker(m_link, {"linkActivity"});
    const QList<int> main{100, 50, 800, 600};
    const QList<int> inset{960, 540, 480, 270};
    for (int field = 0; field < 4; ++field) {
        type(child<QSpinBox>(dialog, MainRow[field]), main[field]);
        type(child<QSpinBox>(dialog, PipRow[field]), inset[field]);
    }
    const int requests = m_sim.requests().size();

    QTest::mouseClick(child<QPushButton>(dialog, "saveButton"), Qt::LeftButton);
    const QByteArray mainBytes = QByteArray::fromHex("03 64 00 20 03 32 00 58 02");
    const QByteArray insetBytes = QByteArray::fromHex("03 C0 03 E0 01 1C 02 0E 01");
    QCOMPARE(m_link->dm_sendBuf.toHex(' '), mainBytes.toHex(' '));
    QCOMPARE(m_link->dm_sendBuf2.toHex(' '), insetBytes.toHex(' '));
    QCOMPARE(announced.takeFirst().at(0).toInt(), 8000);

    QVERIFY(m_sim.waitForRequests(requests + 2));
    const QByteArrayList frames = m_sim.requests().mid(requests);
    QCOMPARE(frames.size(), 2);
    QCOMPARE(frames[0].size(), 28);
    QCOMPARE(frames[0].mid(8, 10).toHex(' '), (QByteArray(1, '\x85') + mainBytes).toHex(' '));
    QCOMPARE(frames[1].mid(8, 10).toHex(' '), (QByteArray(1, '\x86') + insetBytes).toHex(' '));
    QVERIFY(m_sim.waitForIdle());
    QCOMPARE(m_sim.model().entries[Card].rectA, (std::array<quint16, 4>{100, 800, 50, 600}));
    QCOMPARE(m_sim.model().entries[Card].rectB, (std::array<quint16, 4>{960, 480, 540, 270}));

    // Only the inset rectangle's reply reports new data.
    QTRY_COMPARE(worker.count(QStringLiteral("repalceInCardPIP")), 1);
    const InCardEntry &e = m_link->dm_data.inCards[Card];
    QCOMPARE(e.rectA, (std::array<int, 4>{100, 800, 50, 600}));
    QCOMPARE(e.rectB, (std::array<int, 4>{960, 480, 540, 270}));
    QCOMPARE(row(dialog, MainRow), main);
    QCOMPARE(row(dialog, PipRow), inset);
}

// Nothing goes out; the operator is told why, and the numbers stay.
void TestDialogPip::saveRefusesWhatLeavesThePicture()
{
    Dialog_Pip dialog(false, Card, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    type(child<QSpinBox>(dialog, "spinBox_5"), 1500); // inset 1500 + 800 wide
    QCOMPARE(child<MyCanvas>(dialog, "frame")->pipRect().left(), 680);
    const int requests = m_sim.requests().size();
    QString said;
    QTimer::singleShot(0, &dialog, [&said] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        said = box ? box->text() : QString();
        if (box)
            box->accept();
    });
    QTest::mouseClick(child<QPushButton>(dialog, "saveButton"), Qt::LeftButton);
    QCOMPARE(said, QStringLiteral("数值错误，水平起始+水平宽度的最大值为1920，垂直起始+垂直高度的最大值为1080。"));
    QCOMPARE(m_link->queuedFrames(), 0);
    QCOMPARE(m_sim.requests().size(), requests);
    QCOMPARE(row(dialog, PipRow), (QList<int>{1500, 50, 800, 600}));
}

QTEST_MAIN(TestDialogPip)
#include "tst_dialog_pip.moc"
