#include "form_incardset.h"

#include <linkedsimulator.h>
#include <singleton_serialport.h>

#include <QGroupBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

namespace {

template <typename T>
T *child(const QWidget &dialog, const char *name)
{
    T *widget = dialog.findChild<T *>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

void setEntry(int entry, int light, int contrast, int color)
{
    InCardEntry &e = Singleton_SerialPort::instance()->dm_data.inCards[entry];
    e.light = light;
    e.contrast = contrast;
    e.color = color;
}

QList<int> spinValues(const QWidget &dialog)
{
    return {child<QSpinBox>(dialog, "spinBox")->value(), child<QSpinBox>(dialog, "spinBox_2")->value(),
            child<QSpinBox>(dialog, "spinBox_3")->value()};
}

} // namespace

class TestFormInCardSet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void titleAndValuesOfInput_data();
    void titleAndValuesOfInput();
    void slidersFollowSpinBoxesWithoutSending();
    void buttonsSendTheirRow_data();
    void buttonsSendTheirRow();

private:
    LinkedSimulator *m_linked = nullptr;
};

void TestFormInCardSet::initTestCase()
{
    setEntry(0, 10, 20, 30);
    setEntry(5, 60, 70, 80);
    setEntry(31, 1, 2, 3);
    m_linked = new LinkedSimulator;
    QVERIFY(m_linked->connectLink());
}

void TestFormInCardSet::cleanupTestCase()
{
    delete m_linked;
}

void TestFormInCardSet::titleAndValuesOfInput_data()
{
    QTest::addColumn<int>("input");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QList<int>>("values");
    QTest::newRow("one channel") << 5 << "In6" << QList<int>{60, 70, 80};
    QTest::newRow("HDMI first") << 32 << "HDMI_In1" << QList<int>{10, 20, 30};
    QTest::newRow("HDMI second") << 33 << "HDMI_In1" << QList<int>{10, 20, 30};
    QTest::newRow("last HDMI") << 95 << "HDMI_In32" << QList<int>{1, 2, 3};
    // Past the table: nothing is read.
    QTest::newRow("DVI code") << 96 << "HDMI_In33" << QList<int>{0, 0, 0};
    QTest::newRow("SDI code") << 223 << "HDMI_In96" << QList<int>{0, 0, 0};
}

void TestFormInCardSet::titleAndValuesOfInput()
{
    QFETCH(int, input);
    Form_InCardSet dialog(input, true, nullptr);
    QFETCH(QString, title);
    QCOMPARE(child<QGroupBox>(dialog, "groupBox")->title(), title);
    QFETCH(QList<int>, values);
    QCOMPARE(spinValues(dialog), values);
    QCOMPARE(child<QSlider>(dialog, "horizontalSlider_3")->value(), values.at(2));
}

void TestFormInCardSet::slidersFollowSpinBoxesWithoutSending()
{
    Form_InCardSet dialog(5, true, nullptr);
    QSignalSpy announced(m_linked->link(), &Singleton_SerialPort::send_out_time);
    auto *slider = child<QSlider>(dialog, "horizontalSlider_2");
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_End);
    QCOMPARE(child<QSpinBox>(dialog, "spinBox_2")->value(), 100);
    auto *spin = child<QSpinBox>(dialog, "spinBox");
    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_Up);
    QCOMPARE(child<QSlider>(dialog, "horizontalSlider")->value(), 61);
    QTest::qWait(50);
    QCOMPARE(announced.count(), 0);
}

void TestFormInCardSet::buttonsSendTheirRow_data()
{
    QTest::addColumn<int>("input");
    QTest::addColumn<QString>("spinName");
    QTest::addColumn<int>("typed");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("code");
    QTest::newRow("light") << 5 << "spinBox" << 73 << "pushButton" << QByteArray("\x05\x49") << 0x87;
    QTest::newRow("light reset") << 5 << "spinBox" << 73 << "pushButton_2" << QByteArray("\x05\x32") << 0x87;
    QTest::newRow("contrast reset") << 5 << "spinBox_2" << 9 << "pushButton_4" << QByteArray("\x05\x32") << 0x88;
    QTest::newRow("HDMI colour") << 33 << "spinBox_3" << 100 << "pushButton_5" << QByteArray("\x21\x64") << 0x89;
    QTest::newRow("HDMI contrast") << 33 << "spinBox_2" << 0 << "pushButton_3" << QByteArray("\x21\x00", 2) << 0x88;
}

void TestFormInCardSet::buttonsSendTheirRow()
{
    QFETCH(int, input);
    QFETCH(QByteArray, payload);
    QFETCH(int, code);
    Form_InCardSet dialog(input, true, nullptr);
    Singleton_SerialPort *link = m_linked->link();
    QSignalSpy announced(link, &Singleton_SerialPort::send_out_time);
    m_linked->simulator().clearRequests();

    QFETCH(QString, spinName);
    auto *spin = child<QSpinBox>(dialog, qPrintable(spinName));
    QFETCH(int, typed);
    spin->setValue(typed);
    QFETCH(QString, button);
    QTest::mouseClick(child<QPushButton>(dialog, qPrintable(button)), Qt::LeftButton);

    QCOMPARE(link->dm_sendBuf, payload);
    QCOMPARE(spin->value(), int(quint8(payload.at(1))));
    QCOMPARE(announced.count(), 1);
    QCOMPARE(announced.at(0).at(0).toInt(), 5000);
    QVERIFY(m_linked->waitForRequests(1));
    QVERIFY(m_linked->waitForIdle());
    const QByteArray frame = m_linked->lastRequest();
    QCOMPARE(frame.size(), 21);
    QCOMPARE(int(quint8(frame.at(8))), code);
    QCOMPARE(frame.mid(9, 2), payload);
    const InputEntry &entry = m_linked->model().entries[DeviceModel::entryOfChannel(input)];
    const int stored[] = {entry.light, entry.contrast, entry.colour};
    QCOMPARE(stored[code - 0x87], int(quint8(payload.at(1))));
}

QTEST_MAIN(TestFormInCardSet)
#include "tst_form_incardset.moc"
