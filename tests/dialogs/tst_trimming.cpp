#include <mygraphicsview.h>
#include <trimming.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const char *const ValueFields[] = {"in_xEdit",  "in_yEdit",  "in_wEdit",  "in_hEdit",
                                   "out_xEdit", "out_yEdit", "out_wEdit", "out_hEdit"};

// Screen 0 and screen 3 of window 5, channel 97.
const QList<int> TwoSections = {0, 97, 10, 20, 960, 540, 30, 40, 960, 540,
                                3, 97, 1,  2,  3,   4,   5,  6,  7,   8};

// endTrim's arguments: window, section, then the eight values.
QList<int> flat(const QList<QVariant> &args)
{
    return QList<int>({args.at(0).toInt(), args.at(1).toInt()}) + args.at(2).value<QList<int>>();
}

class Dialog : public Trimming
{
public:
    explicit Dialog(bool english = true)
        : Trimming(english)
        , ended(this, &Trimming::endTrim)
    {
        show();
    }

    QLineEdit *field(const char *name) const { return findChild<QLineEdit *>(QLatin1String(name)); }
    QComboBox *box() const { return findChild<QComboBox *>(QStringLiteral("ledBox")); }
    QWidget *banner() const { return findChild<QWidget *>(QStringLiteral("navLabel")); }
    QString bannerText() const { return banner()->property("text").toString(); }

    QList<int> values() const
    {
        QList<int> v;
        for (const char *name : ValueFields)
            v << field(name)->text().toInt();
        return v;
    }

    void setValues(const QList<int> &v)
    {
        for (int i = 0; i < v.size(); ++i)
            field(ValueFields[i])->setText(QString::number(v.at(i)));
    }

    void clickSet() { QTest::mouseClick(findChild<QPushButton *>(QStringLiteral("setButton")), Qt::LeftButton); }

    QSignalSpy ended;
};

} // namespace

class TestTrimming : public QObject
{
    Q_OBJECT

private slots:
    void showsTheSectionsOfTheTable();
    void emptyOrPartialTables();
    void fieldsAdmitIntegersOnly_data();
    void fieldsAdmitIntegersOnly();
    void rulesInOrderAtTheirBorders_data();
    void rulesInOrderAtTheirBorders();
    void bannerDisablesTheDialogForAWhile();
    void trimsAWindowOfTheCanvas();
};

void TestTrimming::showsTheSectionsOfTheTable()
{
    Dialog d;
    d.initTrim(5, TwoSections, 1920, 1080);
    QCOMPARE(d.field("winEdit")->text(), QStringLiteral("6"));
    QCOMPARE(d.box()->count(), 2);
    QCOMPARE(d.box()->itemText(0), QStringLiteral("LED1"));
    QCOMPARE(d.box()->itemText(1), QStringLiteral("LED4"));
    QCOMPARE(d.box()->currentIndex(), 0);
    QCOMPARE(d.field("chEdit")->text(), QStringLiteral("97"));
    QCOMPARE(d.values(), TwoSections.mid(2, 8));

    d.box()->setCurrentIndex(1);
    QCOMPARE(d.values(), TwoSections.mid(12, 8));
    const QList<int> edited = {-5, 6, 7, 8, 9, 10, 11, 12};
    d.setValues(edited);
    d.clickSet();
    QCOMPARE(d.ended.size(), 1);
    QCOMPARE(flat(d.ended.at(0)), QList<int>({5, 3}) + edited);
    // The table keeps what was set for each section.
    d.box()->setCurrentIndex(0);
    d.box()->setCurrentIndex(1);
    QCOMPARE(d.values(), edited);
}

void TestTrimming::emptyOrPartialTables()
{
    Dialog d;
    d.initTrim(1, TwoSections, 1920, 1080);
    d.initTrim(2, {}, 1920, 1080);
    QCOMPARE(d.box()->count(), 0);
    QCOMPARE(d.field("chEdit")->text(), QString());
    QCOMPARE(d.values(), QList<int>({0, 0, 0, 0, 0, 0, 0, 0}));
    d.clickSet();
    QCOMPARE(d.ended.size(), 0);
    QVERIFY(d.banner()->isHidden());
    QVERIFY(d.isEnabled());

    // An incomplete last section is left out.
    QTest::ignoreMessage(QtWarningMsg, "trimming table of 15 ints: last section incomplete");
    d.initTrim(2, TwoSections.mid(0, 15), 1920, 1080);
    QCOMPARE(d.box()->count(), 1);
    QCOMPARE(d.values(), TwoSections.mid(2, 8));
}

void TestTrimming::fieldsAdmitIntegersOnly_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("read");
    QTest::newRow("negative") << "-1984" << "-1984" << -1984;
    QTest::newRow("leading zero") << "0123" << "0" << 0;
    QTest::newRow("minus zero") << "-0" << "-" << 0;
    QTest::newRow("letters and points") << "1a2.5" << "125" << 125;
    QTest::newRow("seven characters") << "-12345678" << "-123456" << -123456;
}

// Typed into the input width, read as the dialog reads it.
void TestTrimming::fieldsAdmitIntegersOnly()
{
    QFETCH(QString, typed);
    Dialog d;
    d.initTrim(0, TwoSections, 1920, 1080);
    d.field("in_wEdit")->clear();
    QTest::keyClicks(d.field("in_wEdit"), typed);
    QTEST(d.field("in_wEdit")->text(), "shown");
    QTEST(d.values().at(2), "read");
}

void TestTrimming::rulesInOrderAtTheirBorders_data()
{
    const QString in = QStringLiteral("In Numerical error:");
    const QString out = QStringLiteral("Out Numerical error:");
    const QString min = QStringLiteral("The min value of x is -32,min value of y is -8.");
    const QString least = QStringLiteral("The min value of width is 1,min value of height is 1.");
    const QString size = QStringLiteral("The max value of width is %1,max value of height is %2.");
    const QString ends = QStringLiteral("max value of x + widthis %1,max value of y + height is %2.");
    const QString m1 = in + min, m2 = out + min, m3 = in + least, m4 = out + least;
    const QString m5 = in + size.arg(1984).arg(1096), m6 = out + size.arg(1984).arg(1096);
    const QString m7 = in + QStringLiteral("The ") + ends.arg(1952).arg(1088);
    const QString m8 = out + QStringLiteral("The  ") + ends.arg(1984).arg(1096);
    const QString passes;

    QTest::addColumn<bool>("english");
    QTest::addColumn<int>("outWidth");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QString>("message");
    const auto row = [](const char *tag, const QList<int> &v, const QString &m, int outWidth = 1920,
                        bool english = true) { QTest::newRow(tag) << english << outWidth << v << m; };
    row("every border", {-32, -8, 1984, 1096, -32, -8, 1984, 1096}, passes);
    row("1: in x, before all others", {-33, -9, 0, 9999, -33, -9, 0, 9999}, m1);
    row("1: in y", {0, -9, 1, 1, 0, 0, 1, 1}, m1);
    row("2: out x, before 3 to 8", {0, 0, 0, 9999, -33, 0, 0, 9999}, m2);
    row("2: out y", {0, 0, 1, 1, 0, -9, 1, 1}, m2);
    row("3: in width 0, before 4 to 8", {0, 0, 0, 9999, 0, 0, 0, 9999}, m3);
    row("3: in height below 0", {0, 0, 1, -5, 0, 0, 1, 1}, m3);
    row("4: out width 0, before 5 to 8", {0, 0, 1, 1, 0, 0, 0, 9999}, m4);
    row("4: out height", {0, 0, 1, 1, 0, 0, 1, -1}, m4);
    row("5: in width, before 6 to 8", {0, 0, 1985, 1, 0, 0, 9999, 9999}, m5);
    row("5: in height", {0, 0, 1, 1097, 0, 0, 1, 1}, m5);
    row("6: out width, before 7 and 8", {100, 0, 1900, 1, 100, 0, 1985, 1}, m6);
    row("6: out height", {0, 0, 1, 1, 0, 0, 1, 1097}, m6);
    row("6: limit follows the output width", {0, 0, 1, 1, 0, 0, 3904, 1}, passes, 3840);
    row("7: in x + width, before 8", {100, 0, 1900, 1, 100, 0, 1900, 1}, m7);
    row("7: in x + width at 1952", {0, 0, 1952, 1088, 0, 0, 1, 1}, passes);
    row("7: in x + width at 1953", {1, 0, 1952, 1, 0, 0, 1, 1}, m7);
    row("7: in y + height at 1089", {0, 1, 1, 1088, 0, 0, 1, 1}, m7);
    row("8: out x + width", {0, 0, 1, 1, 100, 0, 1900, 1}, m8);
    row("8: out x + width at 1984", {0, 0, 1, 1, 0, 0, 1984, 1096}, passes);
    row("8: out y + height at 1097", {0, 0, 1, 1, 0, 1, 1, 1096}, m8);
    row("1: Chinese", {0, -9, 1, 1, 0, 0, 1, 1},
        QStringLiteral("输入数值错误：水平起始的最小值为-32，垂直起始的最小值为-8。"), 1920, false);
    row("4: Chinese", {0, 0, 1, 1, 0, 0, 1, 0},
        QStringLiteral("输出数值错误：水平宽度的最小值为1，垂直高度的最小值为1。"), 1920, false);
    row("7: Chinese", {100, 0, 1900, 1, 0, 0, 1, 1},
        QStringLiteral("输入数值错误：水平起始+水平宽度的最大值为1952，垂直起始+垂直高度的最大值为1088。"),
        1920, false);
    row("8: Chinese", {0, 0, 1, 1, 100, 0, 1900, 1},
        QStringLiteral("输出数值错误：水平起始+水平宽度的最大值为1984，垂直起始+垂直高度的最大值为1096。"),
        1920, false);
}

void TestTrimming::rulesInOrderAtTheirBorders()
{
    QFETCH(bool, english);
    QFETCH(int, outWidth);
    QFETCH(QList<int>, values);
    QFETCH(QString, message);
    Dialog d(english);
    d.initTrim(2, {4, 7, 0, 0, 0, 0, 0, 0, 0, 0}, outWidth, 1080);
    d.setValues(values);
    d.clickSet();
    if (message.isEmpty()) {
        QCOMPARE(d.ended.size(), 1);
        QCOMPARE(flat(d.ended.at(0)), QList<int>({2, 4}) + values);
        QVERIFY(d.banner()->isHidden());
        QVERIFY(d.isEnabled());
    } else {
        QCOMPARE(d.ended.size(), 0);
        QCOMPARE(d.bannerText(), message);
        QVERIFY(d.banner()->isVisible());
        QVERIFY(!d.isEnabled());
        QCOMPARE(d.values(), values); // the operator's numbers stay
    }
}

void TestTrimming::bannerDisablesTheDialogForAWhile()
{
    Dialog d;
    d.initTrim(0, TwoSections, 1920, 1080);
    d.field("in_xEdit")->setText(QStringLiteral("-33"));
    d.clickSet();
    QVERIFY(d.banner()->isVisible());
    QVERIFY(!d.isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(d.isEnabled(), 20000);
    QVERIFY(d.banner()->isHidden());
    d.field("in_xEdit")->setText(QStringLiteral("-32"));
    d.clickSet();
    QCOMPARE(d.ended.size(), 1);
}

// A window across screens 0 and 1 of the canvas's 2 x 2 wall of 1920 x 1080.
void TestTrimming::trimsAWindowOfTheCanvas()
{
    MyGraphicsView canvas;
    const int layers[64] = {3};
    const int cells[32] = {};
    canvas.Add_Win_layer(layers, 1);
    canvas.Add_Rect(3, QRect(960, 0, 1920, 1080), QRect(0, 0, 1920, 1080), 97, cells, 0);
    canvas.Add_End();
    QSignalSpy sent(&canvas, &MyGraphicsView::s_allMessage);

    Dialog d;
    connect(&d, &Trimming::endTrim, &canvas, &MyGraphicsView::setTrim);
    d.initTrim(3, canvas.getItemRect(3), 1920, 1080);
    QCOMPARE(d.box()->count(), 2);
    QCOMPARE(d.box()->itemText(1), QStringLiteral("LED2"));
    d.box()->setCurrentIndex(1);
    QCOMPARE(d.field("chEdit")->text(), QStringLiteral("97"));
    QCOMPARE(d.values(), QList<int>({960, 0, 960, 1080, 0, 0, 960, 1080}));

    const QList<int> trim = {900, 10, 1000, 1060, -32, 0, 1000, 1080};
    d.setValues(trim);
    d.clickSet();
    QCOMPARE(sent.size(), 1);
    QCOMPARE(canvas.getItemRect(3).mid(10), QList<int>({1, 97}) + trim);
    QCOMPARE(canvas.getItemRect(3).mid(2, 8), QList<int>({0, 0, 960, 1080, 960, 0, 960, 1080}));
}

QTEST_MAIN(TestTrimming)
#include "tst_trimming.moc"
