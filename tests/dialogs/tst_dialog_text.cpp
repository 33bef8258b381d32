#include "dialog_text.h"

#include "linkedsimulator.h"
#include "signalrecorder.h"

#include <lightpoint.h>
#include <singleton_serialport.h>

#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

namespace {

constexpr int Card = 9;

template<typename T>
T *child(const QWidget &dialog, const char *name)
{
    T *widget = dialog.findChild<T *>(QLatin1String(name));
    Q_ASSERT(widget);
    return widget;
}

// Side (0 below, 1 above), red, green, blue as the dialog shows them.
QList<int> shown(const QWidget &dialog)
{
    return {child<QRadioButton>(dialog, "lab_down")->isChecked() ? 1 : 0,
            child<QSpinBox>(dialog, "spin_red")->value(),
            child<QSpinBox>(dialog, "spin_green")->value(),
            child<QSpinBox>(dialog, "spin_blue")->value()};
}

QList<bool> lampsShown(const QWidget &dialog)
{
    QList<bool> lamps;
    for (const char *name : {"lightpoint", "lightpoint_2", "lightpoint_3", "lightpoint_4"})
        lamps << child<LightPoint>(dialog, name)->isVisibleTo(&dialog);
    return lamps;
}

} // namespace

class TestDialogText : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void showsRecord();
    void localChangesAndResetting();
    void settingSendsCaptions();
    void captionSignalRefreshesDialog();

private:
    LinkedSimulator m_sim;
    Singleton_SerialPort *m_link = nullptr;
};

void TestDialogText::initTestCase()
{
    m_link = m_sim.link();
    QVERIFY(m_sim.connectLink());
}

void TestDialogText::init()
{
    InCardEntry &e = m_link->dm_data.inCards[Card];
    e = InCardEntry();
    e.present = 1;
    e.auxSignal = 2;
    e.captionValues = {1, 255, 0, 16};
}

void TestDialogText::showsRecord()
{
    Dialog_text dialog(true, Card, nullptr);
    QCOMPARE(shown(dialog), (QList<int>{1, 255, 0, 16}));
    QCOMPARE(child<QSlider>(dialog, "sid_red")->value(), 255);
    QCOMPARE(child<QSlider>(dialog, "sid_blue")->value(), 16);
    QCOMPARE(lampsShown(dialog), (QList<bool>{false, false, true, false}));

    m_link->dm_data.inCards[Card].captionValues = {0, 1, 2, 3};
    m_link->dm_data.inCards[Card].auxSignal = 7;
    dialog.InitPage();
    QVERIFY(child<QRadioButton>(dialog, "lab_up")->isChecked());
    QCOMPARE(shown(dialog), (QList<int>{0, 1, 2, 3}));
    QCOMPARE(lampsShown(dialog), (QList<bool>{false, false, false, false}));
}

// Local changes send nothing; "Resetting" shows the record again.
void TestDialogText::localChangesAndResetting()
{
    Dialog_text dialog(true, Card, nullptr);
    QSignalSpy announced(m_link, &Singleton_SerialPort::send_out_time);
    QSlider *slider = child<QSlider>(dialog, "sid_green");
    QSpinBox *spin = child<QSpinBox>(dialog, "spin_green");
    QTest::keyClick(slider, Qt::Key_PageUp);
    QCOMPARE(spin->value(), slider->pageStep());
    spin->setValue(300);
    QCOMPARE(slider->value(), 255);
    QTest::keyClick(spin, Qt::Key_Down);
    QCOMPARE(slider->value(), 254);
    child<QRadioButton>(dialog, "lab_up")->setChecked(true);
    child<QSlider>(dialog, "sid_red")->setValue(3);
    QCOMPARE(shown(dialog), (QList<int>{0, 3, 254, 16}));

    QTest::mouseClick(child<QPushButton>(dialog, "but_reset"), Qt::LeftButton);
    QCOMPARE(shown(dialog), (QList<int>{1, 255, 0, 16}));
    QVERIFY(announced.isEmpty());
    QCOMPARE(m_link->queuedFrames(), 0);
}

void TestDialogText::settingSendsCaptions()
{
    Dialog_text dialog(true, Card, nullptr);
    connect(m_link, &Singleton_SerialPort::repalceInCardText, &dialog, &Dialog_text::InitPage);
    SignalRecorder worker(m_link, {"linkActivity"});
    QSignalSpy announced(m_link, &Singleton_SerialPort::send_out_time);
    child<QRadioButton>(dialog, "lab_up")->setChecked(true);
    child<QSpinBox>(dialog, "spin_red")->setValue(10);
    child<QSpinBox>(dialog, "spin_green")->setValue(20);
    child<QSlider>(dialog, "sid_blue")->setValue(30);
    const int requests = m_sim.requests().size();

    QTest::mouseClick(child<QPushButton>(dialog, "but_set"), Qt::LeftButton);
    QCOMPARE(announced.takeFirst().at(0).toInt(), 5000);
    QCOMPARE(m_link->dm_sendBuf.toHex(' '), QByteArray("09 00 0a 14 1e"));

    // Five payload bytes under a length field of 23.
    QVERIFY(m_sim.waitForRequests(requests + 1));
    const QByteArray frame = m_sim.lastRequest();
    QCOMPARE(frame.size(), 24);
    QCOMPARE(frame.mid(2, 2).toHex(' '), QByteArray("00 17"));
    QCOMPARE(frame.mid(8, 6).toHex(' '), QByteArray("8a 09 00 0a 14 1e"));
    QVERIFY(m_sim.waitForIdle());
    QCOMPARE(m_sim.model().entries[Card].captions, (std::array<quint8, 4>{0, 10, 20, 30}));

    QTRY_COMPARE(worker.count(QStringLiteral("repalceInCardText")), 1);
    QCOMPARE(m_link->dm_data.inCards[Card].captionValues, (std::array<int, 4>{0, 10, 20, 30}));
    QCOMPARE(shown(dialog), (QList<int>{0, 10, 20, 30}));
}

void TestDialogText::captionSignalRefreshesDialog()
{
    Dialog_text dialog(true, Card, nullptr);
    connect(m_link, &Singleton_SerialPort::repalceInCardText, &dialog, &Dialog_text::InitPage);
    QSignalSpy announced(m_link, &Singleton_SerialPort::send_out_time);
    child<QSpinBox>(dialog, "spin_green")->setValue(99); // never set
    const int requests = m_sim.requests().size();

    QTest::mouseClick(child<QPushButton>(dialog, "pushButton_5"), Qt::LeftButton);
    QCOMPARE(announced.takeFirst().at(0).toInt(), 10000);
    QCOMPARE(m_link->dm_index, Card);
    QVERIFY(m_sim.waitForRequests(requests + 1));
    QCOMPARE(m_sim.lastRequest().mid(8, 3).toHex(' '), QByteArray("84 09 03"));
    QVERIFY(m_sim.waitForIdle());
    QCOMPARE(m_sim.model().entries[Card].mode, quint8(4));

    QTRY_COMPARE(lampsShown(dialog), (QList<bool>{false, false, false, true}));
    QCOMPARE(m_link->dm_data.inCards[Card].auxSignal, 3);
    QCOMPARE(m_link->dm_data.inCards[Card].mode, 4);
    QCOMPARE(shown(dialog), (QList<int>{1, 255, 0, 16}));
}

QTEST_MAIN(TestDialogText)
#include "tst_dialog_text.moc"
