// What each button of the dialogs sends to the device, the wait it
// announces for its page and what the dialog shows once the device has
// answered; edits that are not sent send nothing.

#include "dialogfields.h"

#include <dialog_comset.h>
#include <dialog_pip.h>
#include <dialog_singles.h>
#include <dialog_test.h>
#include <dialog_text.h>
#include <form_incardset.h>
#include <linkedsimulator.h>
#include <mycanvas.h>
#include <singleton_serialport.h>

#include <QComboBox>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

namespace {

using Act = std::function<void(QWidget *)>;

Singleton_SerialPort *link()
{
    return DialogFields::link();
}

Act typeAndClick(const QStringList &typed, const QString &button = {})
{
    return [=](QWidget *dialog) {
        DialogFields::fill(dialog, typed);
        if (!button.isEmpty())
            DialogFields::click(dialog, button);
    };
}

// Each frame from its command code on, as long as the head expected of it.
QStringList headsLike(const QByteArrayList &frames, const QStringList &expected)
{
    QStringList heads;
    for (int i = 0; i < frames.size(); ++i)
        heads << QString::fromLatin1(frames.at(i).mid(8, i < expected.size() ? expected.at(i).size() / 2 : 4).toHex());
    return heads;
}

QStringList rectFields(const char *const (&names)[4], const QList<int> &values)
{
    QStringList fields;
    for (int i = 0; i < 4; ++i)
        fields << QStringLiteral("%1=%2").arg(QLatin1String(names[i])).arg(values.at(i));
    return fields;
}

const char *const PipMain[] = {"spinBox", "spinBox_2", "spinBox_3", "spinBox_4"};
const char *const PipInset[] = {"spinBox_5", "spinBox_6", "spinBox_7", "spinBox_8"};

} // namespace

Q_DECLARE_METATYPE(Act)

class TestDialogCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void commands_data();
    void commands();
    void versionsOnEveryRead();

private:
    LinkedSimulator m_sim;
};

void TestDialogCommands::initTestCase()
{
    DialogFields::setLink(m_sim.link());
    QVERIFY(m_sim.connectLink());
}

void TestDialogCommands::init()
{
    for (InCardEntry &e : link()->dm_data.inCards)
        e = InCardEntry();
}

void TestDialogCommands::commands_data()
{
    QTest::addColumn<MakeDialog>("make");
    QTest::addColumn<QString>("scope"); // the part of the dialog acted on
    QTest::addColumn<Act>("act");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<int>("wait"); // announced for the page; 0 none
    QTest::addColumn<QStringList>("after");
    const auto row = [](const char *tag, const MakeDialog &make, const char *scope, const Act &act,
                        const QStringList &frames, int wait, const QStringList &after, const QString &said = {}) {
        QTest::newRow(tag) << make << QString::fromLatin1(scope) << act << said << frames << wait << after;
    };

    // Input 8's page of the single cards.
    const auto singles = [](int mainSignal, int mode) -> MakeDialog {
        return [=] {
            DialogFields::fitCard(7, mainSignal, 0, mode, 1);
            return new Dialog_Singles(link(), true, nullptr);
        };
    };
    const Act nextMode = [](QWidget *page) {
        auto *modes = page->findChild<QComboBox *>(QStringLiteral("com_model_1"));
        modes->setFocus();
        QTest::keyClick(modes, Qt::Key_Down);
    };
    row("CVBS signal", singles(1, 0), "widget_8", typeAndClick({}, "pushButton_5"), {"800703"}, 10000,
        {"lightpoint_2.visible=false", "lightpoint_4.visible=true"});
    row("SDI signal", singles(1, 0), "widget_8", typeAndClick({}, "pushButton_2"), {"800700"}, 10000,
        {"lightpoint.visible=true"});
    row("PIP to captions", singles(1, 1), "widget_8", nextMode, {"810700", "830701"}, 5000,
        {"com_model_1.currentIndex=2"});
    row("single to PIP", singles(1, 0), "widget_8", nextMode, {"810701"}, 5000, {"com_model_1.currentIndex=1"});
    row("same mode", singles(1, 3), "widget_8",
        [](QWidget *page) { emit page->findChild<QComboBox *>(QStringLiteral("com_model_1"))->activated(2); }, {},
        0, {"com_model_1.currentIndex=2"});
    row("auto adjust", singles(2, 0), "widget_8", typeAndClick({}, "but_auto_1"), {"8b07"}, 5000, {});

    const auto picture = [](int input) -> MakeDialog {
        return [=] { return new Form_InCardSet(link(), input, true, nullptr); };
    };
    row("light", picture(5), "", typeAndClick({"spinBox=73"}, "pushButton"), {"870549"}, 5000, {"spinBox=73"});
    row("light reset", picture(5), "", typeAndClick({"spinBox=73"}, "pushButton_2"), {"870532"}, 5000,
        {"spinBox=50"});
    row("contrast reset", picture(5), "", typeAndClick({"spinBox_2=9"}, "pushButton_4"), {"880532"}, 5000, {});
    row("HDMI colour", picture(33), "", typeAndClick({"spinBox_3=100"}, "pushButton_5"), {"892164"}, 5000, {});
    row("HDMI contrast", picture(33), "", typeAndClick({"spinBox_2=0"}, "pushButton_3"), {"882100"}, 5000, {});
    row("picture slider", picture(5), "", typeAndClick({"horizontalSlider_2.value=100"}), {}, 0,
        {"spinBox_2=100"});

    // Input 4 in picture in picture, its inset on the full picture.
    const auto pip = [](bool english) -> MakeDialog {
        return [=] {
            InCardEntry &e = DialogFields::fitCard(3, 2, 1, 0, 1);
            e.rectA = {0, 1920, 0, 1080};
            e.rectB = {100, 800, 50, 600};
            auto *dialog = new Dialog_Pip(link(), english, 3, nullptr);
            QObject::connect(link(), &Singleton_SerialPort::repalceInCardPIP, dialog, &Dialog_Pip::InitPage);
            return dialog;
        };
    };
    row("PIP signal", pip(true), "", typeAndClick({"spinBox=500"}, "pushButton_5"), {"820303"}, 10000,
        {"lightpoint_2.visible=false", "lightpoint_4.visible=true", "spinBox=0"});
    const QStringList rects = rectFields(PipMain, {100, 50, 800, 600}) + rectFields(PipInset, {960, 540, 480, 270});
    row("PIP rectangles", pip(true), "", typeAndClick(rects, "saveButton"),
        {"85036400200332005802", "8603c003e0011c020e01"}, 8000, rects);
    row("PIP inset off the picture", pip(false), "", typeAndClick({"spinBox_5=1500"}, "saveButton"), {}, 0,
        {"spinBox_5=1500"}, QString::fromUtf8("数值错误，水平起始+水平宽度的最大值为1920，垂直起始+垂直高度的最大值为1080。"));
    row("PIP typed", pip(true), "",
        [](QWidget *dialog) {
            DialogFields::fill(dialog, {"spinBox_2=540", "spinBox_7=1920"});
            const auto *canvas = dialog->findChild<MyCanvas *>(QStringLiteral("frame"));
            QCOMPARE(canvas->mainRect().top(), 244); // the canvas follows what is typed
            QCOMPARE(canvas->pipRect().width(), 871);
        },
        {}, 0, {"spinBox_2=540", "spinBox_7=1920"});
    row("PIP inset dragged", pip(true), "",
        [](QWidget *dialog) {
            // The inset lies on the full-size main picture and is grabbed first.
            auto *canvas = dialog->findChild<MyCanvas *>(QStringLiteral("frame"));
            const QPoint from = canvas->mapTo(dialog, QPoint(200, 150));
            const QPoint to = canvas->mapTo(dialog, QPoint(300, 200));
            QTest::mousePress(dialog->windowHandle(), Qt::LeftButton, {}, from);
            QTest::mouseMove(dialog->windowHandle(), to);
            QTest::mouseRelease(dialog->windowHandle(), Qt::LeftButton, {}, to);
        },
        {}, 0, rectFields(PipInset, {319, 159, 797, 598}) + rectFields(PipMain, {0, 0, 1920, 1080}));

    // Input 10 with captions.
    const MakeDialog captions = [] {
        DialogFields::fitCard(9, 0, 2, 0, 0).captionValues = {1, 255, 0, 16};
        auto *dialog = new Dialog_text(link(), true, 9, nullptr);
        QObject::connect(link(), &Singleton_SerialPort::repalceInCardText, dialog, &Dialog_text::InitPage);
        return dialog;
    };
    row("caption signal", captions, "", typeAndClick({"spin_green=99"}, "pushButton_5"), {"840903"}, 10000,
        {"lightpoint_3.visible=false", "lightpoint_4.visible=true", "spin_green=0"});
    const QStringList colours = {"lab_up=true", "spin_red=10", "spin_green=20", "spin_blue=30"};
    row("captions", captions, "",
        [=](QWidget *dialog) {
            typeAndClick(colours, "but_set")(dialog);
            // Resetting shows the record, which holds what the device took.
            QTRY_COMPARE(link()->queuedFrames(), 0);
            DialogFields::click(dialog, QStringLiteral("but_reset"));
        },
        {"8a09000a141e"}, 5000, colours);
    row("captions reset", captions, "", typeAndClick({"lab_up=true", "spin_red=3", "sid_green.value=40"}, "but_reset"),
        {}, 0, {"lab_down=true", "spin_red=255", "spin_green=0"});
    row("caption colours", captions, "", typeAndClick({"sid_green.value=40", "spin_blue=30"}), {}, 0,
        {"spin_green=40", "sid_blue.value=30"});

    // The link stays on TCP whatever the dialog holds.
    const auto network = [this](const NetworkSettings &device) -> MakeDialog {
        return [=] {
            m_sim.model().network = device;
            link()->setNetSettings({"0", "192.168.1.8", "7", "255.255.255.0", "192.168.1.1", "16-21-2C", "COM1"});
            auto *dialog = new Dialog_ComSet(link(), true);
            QObject::connect(link(), &Singleton_SerialPort::repalceConnect, dialog, &Dialog_ComSet::initPage);
            return dialog;
        };
    };
    NetworkSettings device = m_sim.model().network;
    row("network to the device", network(device), "", typeAndClick({}, "but_set_device"),
        {"4b01c0a8010801ffffff0001c0a801010116212c"}, 5000, {});
    device.address = 0x0A000005;
    device.mask = 0xFFFF0000;
    device.gateway = 0x0A000001;
    device.mac = {0x76, 0x64, 0x77, 0xAB, 0x0C, 0xEF};
    device.port = 60;
    row("network from the device", network(device), "", typeAndClick({}, "but_get"), {"1400"}, 5000,
        {"ip_edit=10.0.0.5", "mask_edit=255.255.0.0", "gateway_edit=10.0.0.1", "lineEdit_mac1=AB", "lineEdit_mac2=0C",
         "lineEdit_mac3=EF", "spinBox_port=60", "radioButton=true"});
}

void TestDialogCommands::commands()
{
    QFETCH(MakeDialog, make);
    QFETCH(QString, scope);
    QFETCH(Act, act);
    QFETCH(QStringList, frames);
    QFETCH(QStringList, after);
    const std::unique_ptr<QDialog> dialog = DialogFields::opened(make);
    QVERIFY(dialog);
    QWidget *part = scope.isEmpty() ? dialog.get() : dialog->findChild<QWidget *>(scope);
    QSignalSpy announced(link(), &Singleton_SerialPort::send_out_time);
    m_sim.simulator().clearRequests();
    QTEST(DialogFields::saidDuring(dialog.get(), [&] { act(part); }), "said");
    const int wait = announced.isEmpty() ? 0 : announced.first().first().toInt();

    // Whatever the dialog posted reaches the device before this read does.
    link()->send(LinkRequest::readSignalFlags());
    QVERIFY(QTest::qWaitFor([this] { return m_sim.lastRequest().mid(8, 1) == "\x1C"; }, 10000));
    QVERIFY(m_sim.waitForIdle());
    QCOMPARE(headsLike(m_sim.requests().mid(0, m_sim.requests().size() - 1), frames), frames);
    QTEST(wait, "wait");
    QTRY_COMPARE(DialogFields::shown(part, after), after);
}

// The communication test is filled again on every version read; card types
// and presence come with the connection read.
void TestDialogCommands::versionsOnEveryRead()
{
    Dialog_Test dialog(link(), true);
    connect(link(), &Singleton_SerialPort::repalceVersion, &dialog, &Dialog_Test::InitPage);
    const QList<QStringList> rounds = {
        {"In1Edit=V1.0.7", "In4Edit=V1.3.7", "In5Edit=HDMI", "In7Edit=DVI", "In9Edit=SDI", "In11Edit=No card",
         "In13Edit=V1.2.0", "In24Edit=V1.3.9", "Out1Edit=V2.0", "Out12Edit=V2.11", "sys1Edit=V3.1.4"},
        {"In1Edit=No card", "In5Edit=No card", "In4Edit=V1.3.7", "sys1Edit=V5.6.7"}};
    for (const QStringList &shown : rounds) {
        link()->send(LinkRequest::connectionRead());
        link()->send(LinkRequest::readVersions());
        QVERIFY(m_sim.waitForIdle(20000));
        QTRY_COMPARE(DialogFields::shown(&dialog, shown), shown);
        DeviceModel &device = m_sim.model();
        device.entries[0].present = false;
        device.entries[0].version = NoCardVersion;
        device.entries[4].present = false;
        device.systemVersion = {5, 6, 7};
    }
}

QTEST_MAIN(TestDialogCommands)
#include "tst_dialogcommands.moc"
