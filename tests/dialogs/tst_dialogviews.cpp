// What the dialogs show of the record and the link's settings, and what
// they hand on without the device: trimming to the canvas, the wall to the
// record, the link's own settings.

#include "dialogfields.h"

#include <dialog_comset.h>
#include <dialog_pip.h>
#include <dialog_singles.h>
#include <dialog_text.h>
#include <dialog_trimdata.h>
#include <form_incardset.h>
#include <ledsplice.h>
#include <mygraphicsview.h>
#include <singleton_serialport.h>
#include <trimming.h>

#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

namespace {

Singleton_SerialPort *link()
{
    return DialogFields::link();
}

DeviceData &record()
{
    return link()->dm_data;
}

InCardEntry &entry(int e)
{
    return record().inCards[size_t(e)];
}

QString page(int card)
{
    return card == 0 ? QStringLiteral("widget") : QStringLiteral("widget_%1").arg(card + 1);
}

QStringList lamps(int lit)
{
    QStringList shown;
    const char *const names[] = {"lightpoint", "lightpoint_2", "lightpoint_3", "lightpoint_4"};
    for (int k = 0; k < 4; ++k)
        shown << QStringLiteral("%1.visible=%2").arg(QLatin1String(names[k])).arg(k == lit ? "true" : "false");
    return shown;
}

const QStringList StoredLink = {"1", "192.168.1.8", "7", "255.255.255.0", "192.168.1.1", "16-21-2C", "COM1"};

QStringList linkWith(int index, const QString &value)
{
    QStringList settings = StoredLink;
    settings[index] = value;
    return settings;
}

// Window 5 on screens 0 and 3, channel 97.
const QList<int> TwoSections = {0, 97, 10, 20, 960, 540, 30, 40, 960, 540, 3, 97, 1, 2, 3, 4, 5, 6, 7, 8};
// A window across screens 0 and 1 of the canvas's 2 x 2 wall of 1920 x 1080.
void addWindow(MyGraphicsView &canvas)
{
    const int layers[64] = {3};
    const int cells[32] = {};
    canvas.Add_Win_layer(layers, 1);
    canvas.Add_Rect(3, QRect(960, 0, 1920, 1080), QRect(0, 0, 1920, 1080), 97, cells, 0);
    canvas.Add_End();
}

} // namespace

class TestDialogViews : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void views_data();
    void views();
    void trimmingKeepsEachSection();
    void trimmingDataEditsTheCanvas();
    void wallGoesToTheRecord();
    void singlesRefreshOnlyTheirPage();
    void auxButtonOpensTheDialogOfTheMode_data();
    void auxButtonOpensTheDialogOfTheMode();
    void linkSettingsAreStored();

private:
    Singleton_SerialPort m_link;
};

void TestDialogViews::initTestCase()
{
    DialogFields::setLink(&m_link);
}

void TestDialogViews::init()
{
    for (InCardEntry &e : record().inCards)
        e = InCardEntry();
    record().setWallSize(2, 2, 1920, 1080);
    record().outResolution = 6;
    record().outMode2 = 4;
    link()->setLinkSettings(StoredLink);
}

void TestDialogViews::views_data()
{
    QTest::addColumn<MakeDialog>("make");
    QTest::addColumn<QString>("scope"); // the part of the dialog shown
    QTest::addColumn<QStringList>("shown");
    const auto row = [](const char *tag, const MakeDialog &make, const QString &scope, const QStringList &shown) {
        QTest::newRow(tag) << make << scope << shown;
    };

    // Input 4, a one-channel card: its mode, the buttons it allows, the lamp of its signal.
    const auto single = [&](const char *tag, int present, int mainSignal, int mode, int flag, const QStringList &shown) {
        row(tag, [=] {
            DialogFields::fitCard(3, mainSignal, 0, mode, flag);
            entry(3).present = present;
            return new Dialog_Singles(link(), true, nullptr);
        }, page(3), QStringList{"groupBox.visible=false", "groupBox_2.visible=true"} + shown);
    };
    single("VGA, PIP", 1, 2, 2, 1, QStringList{"com_model_1.currentIndex=1", "but_to_1.enabled=true",
                                               "but_auto_1.enabled=true"} + lamps(2));
    single("DVI, single", 1, 1, 0, 0, QStringList{"com_model_1.currentIndex=0", "but_to_1.enabled=false",
                                                  "but_auto_1.enabled=false"} + lamps(1));
    single("SDI, first group", 1, 0, 1, 1, QStringList{"com_model_1.currentIndex=1", "but_to_1.enabled=true",
                                                       "but_auto_1.enabled=false"} + lamps(0));
    single("CVBS, captions", 1, 3, 3, 0, QStringList{"com_model_1.currentIndex=2"} + lamps(3));
    single("signal without lamp", 1, 7, 4, 1, QStringList{"com_model_1.currentIndex=2"} + lamps(-1));
    single("absent", 0, 2, 2, 1, QStringList{page(3) + ".enabled=false", "com_model_1.currentIndex=0"} + lamps(-1));

    // A two-channel card names its channels by the kind of card and its slot.
    const auto pair = [&](const char *tag, int card, int present, int cardType, const char *first, const char *second) {
        row(tag, [=] {
            entry(card).present = present;
            entry(card).cardType = cardType;
            return new Dialog_Singles(link(), true, nullptr);
        }, page(card), {"groupBox.visible=true", "groupBox_2.visible=false", QStringLiteral("pushButton.text=") + first,
                        QStringLiteral("pushButton_6.text=") + second});
    };
    pair("HDMI odd", 1, 1, 1, "HDMI3", "HDMI4");
    pair("DVI even", 4, 1, 2, "DVI1", "DVI2");
    pair("DVI odd", 3, 1, 2, "DVI3", "DVI4");
    pair("SDI odd", 9, 1, 3, "SDI3", "SDI4");
    pair("unknown kind", 5, 1, 9, "HDMI1", "HDMI2");
    pair("absent pair", 7, 0, 2, "DVI3", "DVI4");

    // Light, contrast and colour of the entry a channel code belongs to.
    const auto picture = [&](const char *tag, int input, const char *title, const QList<int> &values) {
        row(tag, [=] {
            const int entries[][4] = {{0, 10, 20, 30}, {5, 60, 70, 80}, {31, 1, 2, 3}};
            for (const auto &set : entries) {
                entry(set[0]).light = set[1];
                entry(set[0]).contrast = set[2];
                entry(set[0]).color = set[3];
            }
            return new Form_InCardSet(link(), input, true, nullptr);
        }, {}, {QStringLiteral("groupBox.title=") + title, QStringLiteral("spinBox=%1").arg(values[0]),
                QStringLiteral("spinBox_2=%1").arg(values[1]), QStringLiteral("spinBox_3=%1").arg(values[2]),
                QStringLiteral("horizontalSlider_3.value=%1").arg(values[2])});
    };
    picture("one channel", 5, "In6", {60, 70, 80});
    picture("HDMI second", 33, "HDMI_In1", {10, 20, 30});
    picture("last HDMI", 95, "HDMI_In32", {1, 2, 3});
    picture("past the table", 96, "HDMI_In33", {0, 0, 0});

    const auto pip = [&](const char *tag, int flag, int auxSignal, int lamp) {
        row(tag, [=] {
            DialogFields::fitCard(3, 0, auxSignal, 2, flag);
            entry(3).rectA = {0, 1920, 0, 1080};
            entry(3).rectB = {100, 800, 50, 600};
            return new Dialog_Pip(link(), true, 3, nullptr);
        }, {}, QStringList{"spinBox=0", "spinBox_2=0", "spinBox_3=1920", "spinBox_4=1080", "spinBox_5=100",
                           "spinBox_6=50", "spinBox_7=800", "spinBox_8=600"} + lamps(lamp));
    };
    pip("PIP signal", 1, 1, 1);
    pip("PIP, no signal", 0, 9, -1);

    const auto captions = [&](const char *tag, const std::array<int, 4> &values, int auxSignal, const QStringList &shown) {
        row(tag, [=] {
            DialogFields::fitCard(9, 0, auxSignal, 4, 0);
            entry(9).captionValues = values;
            return new Dialog_text(link(), true, 9, nullptr);
        }, {}, shown);
    };
    captions("captions below", {1, 255, 0, 16}, 2, QStringList{"lab_down=true", "spin_red=255", "spin_green=0",
                                                               "spin_blue=16", "sid_red.value=255"} + lamps(2));
    captions("captions above", {0, 1, 2, 3}, 7, QStringList{"lab_up=true", "spin_red=1", "sid_blue.value=3"} + lamps(-1));

    const auto comSet = [&](const char *tag, const QStringList &settings, const QStringList &shown) {
        row(tag, [=] {
            link()->setLinkSettings(settings);
            return new Dialog_ComSet(link(), true);
        }, {}, shown);
    };
    comSet("link settings", StoredLink, {"radioButton_2=true", "ip_edit=192.168.1.8", "mask_edit=255.255.255.0",
                                         "gateway_edit=192.168.1.1", "lineEdit_mac1=16", "lineEdit_mac2=21",
                                         "lineEdit_mac3=2C", "spinBox_port=7", "comboBox_port=COM1"});
    comSet("COM3", linkWith(6, "COM3"), {"comboBox_port.count=20", "comboBox_port.currentIndex=2"});
    comSet("a device path is added", linkWith(6, "/dev/ttyUSB0"), {"comboBox_port.count=21", "comboBox_port=/dev/ttyUSB0"});
    comSet("no port name", linkWith(6, ""), {"comboBox_port.count=20", "comboBox_port.currentIndex=0"});
    comSet("port past 99", linkWith(2, "150"), {"spinBox_port=99"});

    const auto trimData = [&](const char *tag, const QList<int> &data, const QStringList &shown) {
        row(tag, [=] {
            auto *dialog = new Dialog_trimdata(true);
            if (data.size() < 11)
                QTest::ignoreMessage(QtWarningMsg, "trimming data of 10 ints ignored");
            dialog->setData(data);
            return dialog;
        }, {}, shown);
    };
    trimData("trimming data", {3, 100, 200, 1920, 1080, 3840, 2160, 10, 20, 960, 540},
             DialogFields::trimFields({10, 20, 960, 540}) + DialogFields::trimFields({100, 200, 1920, 1080}, 4));
    trimData("trimming data too short", {3, 100, 200, 1920, 1080, 3840, 2160, 10, 20, 960},
             {"in_xEdit=", "out_xEdit="});

    const auto trimming = [&](const char *tag, const QList<int> &table, int section, const QStringList &shown) {
        row(tag, [=] {
            auto *dialog = new Trimming(true);
            if (table.size() % 10)
                QTest::ignoreMessage(QtWarningMsg, "trimming table of 15 ints: last section incomplete");
            dialog->initTrim(5, table, 1920, 1080);
            dialog->findChild<QComboBox *>(QStringLiteral("ledBox"))->setCurrentIndex(section);
            return dialog;
        }, {}, shown);
    };
    trimming("sections", TwoSections, 0,
             QStringList{"winEdit=6", "ledBox.count=2", "ledBox=LED1", "chEdit=97"} + DialogFields::trimFields(TwoSections.mid(2, 8)));
    trimming("second section", TwoSections, 1, QStringList{"ledBox=LED4"} + DialogFields::trimFields(TwoSections.mid(12, 8)));
    trimming("no section", {}, 0, {"ledBox.count=0", "chEdit="});
    trimming("incomplete section", TwoSections.mid(0, 15), 0,
             QStringList{"ledBox.count=1"} + DialogFields::trimFields(TwoSections.mid(2, 8)));

    const auto wall = [&](const char *tag, const std::function<void()> &change, const QStringList &shown) {
        row(tag, [=] {
            change();
            return new LEDsplice(link(), true);
        }, {}, shown);
    };
    wall("wall", [] {}, {"formatBox=1920x1080@60Hz", "appmodelBox.currentIndex=0", "RowEdit=2", "ColumnEdit=2",
                         "R2Edit=1080", "R3Edit.enabled=false", "C2Edit=1920", "C3Edit.enabled=false",
                         "navLabel.visible=false"});
    wall("wall of two pictures", [] { record().outMode2 = 2; }, {"appmodelBox.currentIndex=1"});
    wall("wall too wide", [] {
        record().colWidths = QVector<int>(20, 100);
        record().rowHeights.clear();
    }, {"RowEdit=1", "ColumnEdit=16", "C16Edit.enabled=true"});
    wall("wall without columns", [] { record().colWidths.clear(); }, {"C1Edit.enabled=false"});
}

void TestDialogViews::views()
{
    QFETCH(MakeDialog, make);
    QFETCH(QString, scope);
    QFETCH(QStringList, shown);
    const std::unique_ptr<QDialog> dialog = DialogFields::opened(make);
    QVERIFY(dialog);
    const QObject *part = scope.isEmpty() ? dialog.get() : dialog->findChild<QObject *>(scope);
    QCOMPARE(DialogFields::shown(part, shown), shown);
}

// Each section keeps what was set for it; "Set" hands on the window, the
// section's screen and the values, and nothing without a section.
void TestDialogViews::trimmingKeepsEachSection()
{
    Trimming dialog(true);
    QSignalSpy ended(&dialog, &Trimming::endTrim);
    dialog.initTrim(5, {}, 1920, 1080);
    DialogFields::click(&dialog, QStringLiteral("setButton"));
    QVERIFY(ended.isEmpty());
    dialog.initTrim(5, TwoSections, 1920, 1080);
    auto *sections = dialog.findChild<QComboBox *>(QStringLiteral("ledBox"));
    sections->setCurrentIndex(1);
    const QStringList edited = DialogFields::trimFields({-5, 6, 7, 8, 9, 10, 11, 12});
    DialogFields::fill(&dialog, edited);
    DialogFields::click(&dialog, QStringLiteral("setButton"));
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.at(0).at(0).toInt(), 5);
    QCOMPARE(ended.at(0).at(1).toInt(), 3);
    QCOMPARE(ended.at(0).at(2).value<QList<int>>(), QList<int>({-5, 6, 7, 8, 9, 10, 11, 12}));
    sections->setCurrentIndex(0);
    sections->setCurrentIndex(1);
    QCOMPARE(DialogFields::shown(&dialog, edited), edited);
}

// The trimming data of a window, as the canvas's menu gives them, and back
// to the canvas.
void TestDialogViews::trimmingDataEditsTheCanvas()
{
    MyGraphicsView canvas;
    canvas.resize(800, 460);
    canvas.show();
    addWindow(canvas);
    QSignalSpy asked(&canvas, &MyGraphicsView::fine_tuning_data);
    QTimer::singleShot(0, [] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        for (QAction *action : menu->actions()) {
            if (action->text() == QStringLiteral("Trimming data"))
                action->trigger();
        }
        menu->close();
    });
    const QPoint at = canvas.mapFromScene(QPointF(1920, 540));
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, canvas.viewport()->mapToGlobal(at));
    QApplication::sendEvent(canvas.viewport(), &event);
    QCOMPARE(asked.size(), 1);
    Dialog_trimdata data(true);
    connect(&data, &Dialog_trimdata::setInRect, &canvas, &MyGraphicsView::setTrimInRect);
    connect(&data, &Dialog_trimdata::setOutRect, &canvas, &MyGraphicsView::setTrimOutRect);
    data.setData(asked.at(0).at(0).value<QList<int>>());
    const QStringList shown = DialogFields::trimFields({960, 0, 1920, 1080}, 4);
    QCOMPARE(DialogFields::shown(&data, shown), shown);
    DialogFields::fill(&data, DialogFields::trimFields({1920, 1080, 1920, 1080}, 4));
    DialogFields::click(&data, QStringLiteral("out_but"));
    QCOMPARE(canvas.model().window(3).rect, QRect(1920, 1080, 1920, 1080));
    DialogFields::fill(&data, DialogFields::trimFields({100, 50, 800, 600}));
    DialogFields::click(&data, QStringLiteral("in_but"));
    QCOMPARE(canvas.model().window(3).source, QRect(100, 50, 800, 600));
}

// "Ok" fills the sizes of a new resolution, "Save" stores the wall in the
// record, "Close" leaves it.
void TestDialogViews::wallGoesToTheRecord()
{
    {
        LEDsplice dialog(link(), true);
        auto *format = dialog.findChild<QComboBox *>(QStringLiteral("formatBox"));
        format->setCurrentIndex(4);
        format->setFocus();
        QTest::keyClick(format, Qt::Key_Down);
        QCOMPARE(DialogFields::shown(&dialog, {"C1Edit=1920"}), QStringList({"C1Edit=1920"})); // until "Ok"
        DialogFields::fill(&dialog, {"RowEdit=3", "appmodelBox.currentIndex=1"});
        DialogFields::click(&dialog, QStringLiteral("saveButton"));
        const QStringList filled = {"R3Edit=600", "C2Edit=3660"};
        QCOMPARE(DialogFields::shown(&dialog, filled), filled);
        DialogFields::click(&dialog, QStringLiteral("saveBtn"));
    }
    QCOMPARE(QList<int>({record().outResolution, record().outWidth, record().outHeight, record().outMode2}),
             QList<int>({10, 3660, 600, 2}));
    QCOMPARE(record().rowHeights, QVector<int>({600, 600, 600}));

    LEDsplice closed(link(), true);
    DialogFields::fill(&closed, {"RowEdit=1"});
    DialogFields::click(&closed, QStringLiteral("saveButton"));
    DialogFields::click(&closed, QStringLiteral("closeBtn"));
    QCOMPARE(record().rows(), 3);
}

void TestDialogViews::singlesRefreshOnlyTheirPage()
{
    DialogFields::fitCard(5, 1, 0, 0, 0);
    DialogFields::fitCard(6, 1, 0, 0, 0);
    Dialog_Singles dialog(link(), true, nullptr);
    dialog.show();
    entry(5).mainSignal = 3;
    entry(6).mainSignal = 3;
    emit link()->repalceInCardMainSingle(5);
    for (int id : {-1, 24, 31, 1000})
        dialog.resetSingle(id);
    QCOMPARE(DialogFields::shown(dialog.findChild<QWidget *>(page(5)), lamps(3)), lamps(3));
    QCOMPARE(DialogFields::shown(dialog.findChild<QWidget *>(page(6)), lamps(1)), lamps(1));
}

void TestDialogViews::auxButtonOpensTheDialogOfTheMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("opened");
    QTest::newRow("PIP") << 2 << "Dialog_Pip";
    QTest::newRow("first group") << 1 << "Dialog_Pip";
    QTest::newRow("captions") << 4 << "Dialog_text";
}

// ">>" runs the dialog of the mode group modally over the page; it is
// deleted on closing.
void TestDialogViews::auxButtonOpensTheDialogOfTheMode()
{
    QFETCH(int, mode);
    DialogFields::fitCard(7, 1, 0, mode, 0);
    Dialog_Singles dialog(link(), true, nullptr);
    dialog.show();
    QWidget *card = dialog.findChild<QWidget *>(page(7));
    QPointer<QWidget> opened;
    QString shown;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && shown.isEmpty() && modal->parentWidget() == card) {
            opened = modal;
            shown = QString::fromLatin1(modal->metaObject()->className());
            modal->close();
        }
    });
    closer.start(50);
    DialogFields::click(card, QStringLiteral("but_to_1"));
    closer.stop();
    QTEST(shown, "opened");
    QTRY_VERIFY(opened.isNull());
}

// The dialog's link settings go to the link, not to the device; a serial
// port chosen announces no wait; reconnection is switched off and on.
void TestDialogViews::linkSettingsAreStored()
{
    QSignalSpy announced(link(), &Singleton_SerialPort::send_out_time);
    {
        Dialog_ComSet dialog(link(), true);
        DialogFields::fill(&dialog, {"lineEdit_mac2=a", "radioButton=true"});
        DialogFields::click(&dialog, QStringLiteral("but_set_net"));
    }
    QCOMPARE(link()->linkSettings(), QStringList({"0", "192.168.1.8", "7", "255.255.255.0", "192.168.1.1", "16-0A-2C",
                                                  "COM1"}));
    Dialog_ComSet dialog(link(), true);
    DialogFields::fill(&dialog, {"radioButton_2=true", "comboBox_port.currentIndex=4"});
    DialogFields::click(&dialog, QStringLiteral("but_set_port"));
    QCOMPARE(link()->dm_linkType, 1);
    QCOMPARE(link()->dm_portName, QStringLiteral("COM5"));
    QCOMPARE(link()->dm_ip, QStringLiteral("192.168.1.8"));
    QVERIFY(announced.isEmpty());
    auto *reconnect = dialog.findChild<QCheckBox *>(QStringLiteral("check_reconnect"));
    QVERIFY(reconnect->isChecked() && link()->reconnects());
    QTest::mouseClick(reconnect, Qt::LeftButton);
    QVERIFY(!link()->reconnects());
    QTest::mouseClick(reconnect, Qt::LeftButton);
    QVERIFY(link()->reconnects());
}

QTEST_MAIN(TestDialogViews)
#include "tst_dialogviews.moc"
