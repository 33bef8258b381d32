#include <dialog_trimdata.h>
#include <mygraphicsview.h>

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

namespace {

const char *const InFields[] = {"in_xEdit", "in_yEdit", "in_wEdit", "in_hEdit"};
const char *const OutFields[] = {"out_xEdit", "out_yEdit", "out_wEdit", "out_hEdit"};

// Window 3 at (100, 200, 1920, 1080) of a 3840 x 2160 wall, showing (10, 20, 960, 540).
const QList<int> Data = {3, 100, 200, 1920, 1080, 3840, 2160, 10, 20, 960, 540};

class Dialog : public Dialog_trimdata
{
public:
    explicit Dialog(bool english = true)
        : Dialog_trimdata(english)
        , inRects(this, &Dialog_trimdata::setInRect)
        , outRects(this, &Dialog_trimdata::setOutRect)
    {
        show();
    }

    QLineEdit *field(const char *name) const { return findChild<QLineEdit *>(QLatin1String(name)); }
    QWidget *banner() const { return findChild<QWidget *>(QStringLiteral("navLabel")); }

    QStringList texts(const char *const (&names)[4]) const
    {
        QStringList list;
        for (const char *name : names)
            list << field(name)->text();
        return list;
    }

    void type(const char *const (&names)[4], const QStringList &texts)
    {
        for (int i = 0; i < 4; ++i)
            field(names[i])->setText(texts.at(i));
    }

    void click(const char *button) { QTest::mouseClick(findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton); }

    QSignalSpy inRects;
    QSignalSpy outRects;
};

} // namespace

class TestDialogTrimdata : public QObject
{
    Q_OBJECT

private slots:
    void showsTheData();
    void fieldsAdmitDigitsAndPoints();
    void rectanglesWithinTheirLimits_data();
    void rectanglesWithinTheirLimits();
    void bannerDisablesTheDialogForAWhile();
    void editsAWindowOfTheCanvas();
};

void TestDialogTrimdata::showsTheData()
{
    Dialog d;
    QTest::ignoreMessage(QtWarningMsg, "trimming data of 10 ints ignored");
    d.setData(Data.mid(0, 10)); // too short: ignored
    QCOMPARE(d.texts(InFields), QStringList({"", "", "", ""}));
    d.setData(Data);
    QCOMPARE(d.texts(OutFields), QStringList({"100", "200", "1920", "1080"}));
    QCOMPARE(d.texts(InFields), QStringList({"10", "20", "960", "540"}));
}

void TestDialogTrimdata::fieldsAdmitDigitsAndPoints()
{
    Dialog d;
    QTest::keyClicks(d.field("in_xEdit"), QStringLiteral("-1x2.5"));
    QCOMPARE(d.field("in_xEdit")->text(), QStringLiteral("12.5"));
    QTest::keyClicks(d.field("out_wEdit"), QStringLiteral("1234567"));
    QCOMPARE(d.field("out_wEdit")->text(), QStringLiteral("123456"));
}

void TestDialogTrimdata::rectanglesWithinTheirLimits_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<bool>("input");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QRect>("rect");     // emitted when accepted
    QTest::addColumn<QString>("message"); // shown when refused
    const QString inLimits = QStringLiteral("Numerical error, the maximum value 1920 X 1080");
    const QString outLimits = QStringLiteral("Numerical error, the maximum value 3840 X 2160");
    const auto row = [](const char *tag, bool input, const QStringList &typed, const QRect &rect,
                        const QString &message, bool english = true) {
        QTest::newRow(tag) << english << input << typed << rect << message;
    };
    row("in 100 + 1820", true, {"100", "0", "1820", "1080"}, QRect(100, 0, 1820, 1080), QString());
    row("in 100 + 1821", true, {"100", "0", "1821", "1080"}, QRect(), inLimits);
    row("in 1 + 1080 high", true, {"0", "1", "1920", "1080"}, QRect(), inLimits);
    row("in 12.5 reads as 0", true, {"12.5", "", "1920", "1."}, QRect(),
        QStringLiteral("Numerical error, the minimum value 1 X 1"));
    row("out empty", false, {"0", "0", "0", "2160"}, QRect(), QStringLiteral("数值错误，最小值为 1 X 1"), false);
    row("in Chinese", true, {"100", "0", "1821", "1080"}, QRect(),
        QStringLiteral("数值错误，最大值为 1920 X 1080"), false);
    row("out 0 + 3840", false, {"0", "0", "3840", "2160"}, QRect(0, 0, 3840, 2160), QString());
    row("out 1 + 3840", false, {"1", "0", "3840", "2160"}, QRect(), outLimits);
    row("out 1 + 2160 high", false, {"0", "1", "3840", "2160"}, QRect(), outLimits);
}

void TestDialogTrimdata::rectanglesWithinTheirLimits()
{
    QFETCH(bool, english);
    QFETCH(bool, input);
    QFETCH(QStringList, typed);
    QFETCH(QRect, rect);
    QFETCH(QString, message);
    Dialog d(english);
    d.setData(Data);
    d.type(input ? InFields : OutFields, typed);
    d.click(input ? "in_but" : "out_but");

    QSignalSpy &emitted = input ? d.inRects : d.outRects;
    QCOMPARE(input ? d.outRects.size() : d.inRects.size(), 0);
    QCOMPARE(d.texts(input ? InFields : OutFields), typed);
    if (message.isEmpty()) {
        QCOMPARE(emitted.size(), 1);
        QCOMPARE(emitted.at(0).at(0).toInt(), 3);
        QCOMPARE(emitted.at(0).at(1), input ? QVariant(rect) : QVariant(QRectF(rect)));
        QVERIFY(d.banner()->isHidden());
    } else {
        QCOMPARE(emitted.size(), 0);
        QCOMPARE(d.banner()->property("text").toString(), message);
        QVERIFY(d.banner()->isVisible());
        QVERIFY(!d.isEnabled());
    }
}

void TestDialogTrimdata::bannerDisablesTheDialogForAWhile()
{
    Dialog d;
    d.setData(Data);
    d.field("out_xEdit")->setText(QStringLiteral("3000"));
    d.click("out_but");
    QVERIFY(d.banner()->isVisible());
    QVERIFY(!d.isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(d.isEnabled(), 20000);
    QVERIFY(d.banner()->isHidden());
    d.click("in_but");
    QCOMPARE(d.inRects.size(), 1);
}

// The canvas's own data for a window, through its context menu, and back.
void TestDialogTrimdata::editsAWindowOfTheCanvas()
{
    MyGraphicsView canvas;
    canvas.resize(800, 460);
    canvas.show();
    const int layers[64] = {3};
    const int cells[32] = {};
    canvas.Add_Win_layer(layers, 1);
    canvas.Add_Rect(3, QRect(960, 0, 1920, 1080), QRect(0, 0, 1920, 1080), 97, cells, 0);
    canvas.Add_End();
    QSignalSpy asked(&canvas, &MyGraphicsView::fine_tuning_data);
    QTimer::singleShot(0, [] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
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

    Dialog d;
    connect(&d, &Dialog_trimdata::setInRect, &canvas, &MyGraphicsView::setTrimInRect);
    connect(&d, &Dialog_trimdata::setOutRect, &canvas, &MyGraphicsView::setTrimOutRect);
    d.setData(asked.at(0).at(0).value<QList<int>>());
    QCOMPARE(d.texts(OutFields), QStringList({"960", "0", "1920", "1080"}));
    QCOMPARE(d.texts(InFields), QStringList({"0", "0", "1920", "1080"}));
    d.type(OutFields, {"1920", "1080", "1920", "1080"});
    d.click("out_but");
    QCOMPARE(canvas.model().window(3).rect, QRect(1920, 1080, 1920, 1080));
    d.type(InFields, {"100", "50", "800", "600"});
    d.click("in_but");
    QCOMPARE(canvas.model().window(3).source, QRect(100, 50, 800, 600));
}

QTEST_MAIN(TestDialogTrimdata)
#include "tst_dialog_trimdata.moc"
