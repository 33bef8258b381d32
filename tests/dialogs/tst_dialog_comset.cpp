#include <dialog_comset.h>
#include <linkedsimulator.h>
#include <qiplineedit.h>
#include <singleton_serialport.h>

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

namespace {

const QStringList StoredSettings = {"1", "192.168.1.8", "7", "255.255.255.0", "192.168.1.1", "16-21-2C", "COM1"};

class Dialog : public Dialog_ComSet
{
public:
    explicit Dialog(bool english = true)
        : Dialog_ComSet(english)
    {
    }

    template<typename T = QWidget>
    T *child(const char *name) const { return findChild<T *>(QLatin1String(name)); }
    QString ip(const char *name) const { return child<QIPLineEdit>(name)->text(); }
    QComboBox *ports() const { return child<QComboBox>("comboBox_port"); }
    QStringList mac() const
    {
        QStringList parts;
        for (const char *name : {"lineEdit_mac1", "lineEdit_mac2", "lineEdit_mac3"})
            parts << child<QLineEdit>(name)->text();
        return parts;
    }
    void click(const char *name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
};

Singleton_SerialPort *link()
{
    return Singleton_SerialPort::instance();
}

QStringList settingsWith(int index, const QString &value)
{
    QStringList settings = StoredSettings;
    settings[index] = value;
    return settings;
}

} // namespace

class TestDialogComSet : public QObject
{
    Q_OBJECT

private slots:
    void showsAndStoresSettings();
    void clampsThePort();
    void portList_data();
    void portList();
    void serialSetting();
    void getComPorts();
    void setToDevice();
    void getFromDevice();
};

void TestDialogComSet::showsAndStoresSettings()
{
    link()->setLinkSettings(StoredSettings);
    {
        Dialog dialog;
        QVERIFY(dialog.child<QRadioButton>("radioButton_2")->isChecked());
        QCOMPARE(dialog.ip("ip_edit"), QStringLiteral("192.168.1.8"));
        QCOMPARE(dialog.ip("mask_edit"), QStringLiteral("255.255.255.0"));
        QCOMPARE(dialog.ip("gateway_edit"), QStringLiteral("192.168.1.1"));
        QCOMPARE(dialog.mac(), QStringList({"16", "21", "2C"}));
        QCOMPARE(dialog.ports()->currentText(), QStringLiteral("COM1"));
        QCOMPARE(dialog.ports()->count(), 20);

        dialog.child<QLineEdit>("lineEdit_mac2")->setText(QStringLiteral("a"));
        dialog.child<QRadioButton>("radioButton")->setChecked(true);
        dialog.click("but_set_net");
    }
    const QStringList stored = {"0", "192.168.1.8", "7", "255.255.255.0", "192.168.1.1", "16-0A-2C", "COM1"};
    QCOMPARE(link()->linkSettings(), stored);

    const Dialog reopened;
    QCOMPARE(reopened.mac(), QStringList({"16", "0A", "2C"}));
    QVERIFY(reopened.child<QRadioButton>("radioButton")->isChecked());
}

void TestDialogComSet::clampsThePort()
{
    link()->setLinkSettings(settingsWith(2, "150"));
    Dialog dialog;
    QCOMPARE(dialog.child<QSpinBox>("spinBox_port")->value(), 99);
    dialog.click("but_set_net");
    QCOMPARE(link()->dm_port, 99);
}

void TestDialogComSet::portList_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("selected");
    QTest::newRow("COM3") << "COM3" << 20 << 2;
    QTest::newRow("COM25 is added") << "COM25" << 21 << 20;
    QTest::newRow("a device path is added") << "/dev/ttyUSB0" << 21 << 20;
    QTest::newRow("no name") << "" << 20 << 0;
}

void TestDialogComSet::portList()
{
    QFETCH(QString, stored);
    QFETCH(int, count);
    QFETCH(int, selected);
    link()->setLinkSettings(settingsWith(6, stored));
    const Dialog dialog;
    QCOMPARE(dialog.ports()->count(), count);
    QCOMPARE(dialog.ports()->currentIndex(), selected);
    QCOMPARE(dialog.ports()->itemText(0), QStringLiteral("COM1"));
    QCOMPARE(dialog.ports()->itemText(19), QStringLiteral("COM20"));
}

void TestDialogComSet::serialSetting()
{
    link()->setLinkSettings(settingsWith(0, "0"));
    Dialog dialog;
    QSignalSpy announced(link(), &Singleton_SerialPort::send_out_time);
    dialog.child<QRadioButton>("radioButton_2")->setChecked(true);
    dialog.ports()->setCurrentIndex(4);
    dialog.click("but_set_port");
    QCOMPARE(link()->dm_linkType, 1);
    QCOMPARE(link()->dm_portName, QStringLiteral("COM5"));
    QCOMPARE(link()->dm_ip, QStringLiteral("192.168.1.8"));
    QVERIFY(announced.isEmpty());
}

// The ports found depend on the machine: whatever opens is listed and
// selectable, the first one selected.
void TestDialogComSet::getComPorts()
{
    link()->setLinkSettings(settingsWith(6, "COM2"));
    Dialog dialog;
    auto *found = dialog.child<QPlainTextEdit>("com_edit");
    found->setPlainText(QStringLiteral("stale"));
    dialog.click("but_getPort");
    const QStringList names = Singleton_SerialPort::openablePortNames();
    QCOMPARE(found->toPlainText(), names.join(QLatin1Char('\n')));
    for (const QString &name : names)
        QVERIFY(dialog.ports()->findText(name) >= 0);
    QCOMPARE(dialog.ports()->currentText(), names.value(0, QStringLiteral("COM2")));
}

void TestDialogComSet::setToDevice()
{
    LinkedSimulator sim;
    QVERIFY(sim.connectLink());
    link()->setNetSettings(settingsWith(0, "0")); // the link stays on TCP
    Dialog dialog;
    QSignalSpy announced(link(), &Singleton_SerialPort::send_out_time);
    QSignalSpy explained(link(), &Singleton_SerialPort::send_explain_end);
    dialog.click("but_set_device");

    const QByteArray payload = QByteArray::fromHex("01c0a8010801ffffff0001c0a801010116212c");
    QCOMPARE(link()->dm_sendBuf, payload);
    QCOMPARE(announced.size(), 1);
    QCOMPARE(announced.at(0).at(0).toInt(), 5000);
    QVERIFY(sim.waitForRequests(1));
    QVERIFY(sim.waitForIdle());
    const QByteArray request = sim.lastRequest();
    QCOMPARE(quint8(request.at(8)), quint8(0x4B));
    QCOMPARE(request.mid(9, payload.size()), payload);
    QCOMPARE(sim.model().network.address, quint32(0xC0A80108));
    QCOMPARE(sim.model().network.mac[5], quint8(0x2C));
    QTRY_VERIFY(!explained.isEmpty());
    QCOMPARE(explained.last().at(0).toInt(), 10); // "Please restart the startup"
}

void TestDialogComSet::getFromDevice()
{
    LinkedSimulator sim;
    NetworkSettings &device = sim.model().network;
    device.address = 0x0A000005;
    device.mask = 0xFFFF0000;
    device.gateway = 0x0A000001;
    device.mac = {0x76, 0x64, 0x77, 0xAB, 0x0C, 0xEF};
    device.port = 60;
    QVERIFY(sim.connectLink());

    Dialog dialog;
    connect(link(), &Singleton_SerialPort::repalceConnect, &dialog, &Dialog_ComSet::initPage);
    const QString portShown = dialog.ports()->currentText();
    QSignalSpy announced(link(), &Singleton_SerialPort::send_out_time);
    QSignalSpy replaced(link(), &Singleton_SerialPort::repalceConnect);
    dialog.click("but_get");
    QCOMPARE(announced.size(), 1);
    QCOMPARE(announced.at(0).at(0).toInt(), 5000);
    QVERIFY(QTest::qWaitFor([&] { return !replaced.isEmpty(); }, 10000));
    QCoreApplication::processEvents(); // the dialog's queued initPage() was posted before
    QCOMPARE(quint8(sim.lastRequest().at(8)), quint8(0x14));

    QCOMPARE(dialog.ip("ip_edit"), QStringLiteral("10.0.0.5"));
    QCOMPARE(dialog.ip("mask_edit"), QStringLiteral("255.255.0.0"));
    QCOMPARE(dialog.ip("gateway_edit"), QStringLiteral("10.0.0.1"));
    QCOMPARE(dialog.mac(), QStringList({"AB", "0C", "EF"}));
    QCOMPARE(dialog.child<QSpinBox>("spinBox_port")->value(), 60);
    QVERIFY(dialog.child<QRadioButton>("radioButton")->isChecked());
    QCOMPARE(dialog.ports()->currentText(), portShown);
}

QTEST_MAIN(TestDialogComSet)
#include "tst_dialog_comset.moc"
