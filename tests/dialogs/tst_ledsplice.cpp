#include "ledsplice.h"

#include <navlabel.h>
#include <singleton_serialport.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString Green = QStringLiteral("background-color: rgb(85, 255, 0);");

DeviceData &record()
{
    return Singleton_SerialPort::instance()->dm_data;
}

template <typename T = QLineEdit>
T *child(const QWidget &dialog, const QString &name)
{
    T *widget = dialog.findChild<T *>(name);
    if (!widget)
        qFatal("no widget %s", qPrintable(name));
    return widget;
}

void type(const QWidget &dialog, const char *field, const QString &text)
{
    QLineEdit *edit = child(dialog, QString::fromLatin1(field));
    edit->clear();
    QTest::keyClicks(edit, text);
}

void click(const QWidget &dialog, const char *button)
{
    QTest::mouseClick(child<QPushButton>(dialog, QString::fromLatin1(button)), Qt::LeftButton);
}

// Texts of the enabled size fields of a kind ("R" rows, "C" columns).
QStringList enabledTexts(const QWidget &dialog, const QString &kind)
{
    QStringList texts;
    for (int i = 1; i <= 16; ++i) {
        QLineEdit *field = child(dialog, kind + QString::number(i) + QStringLiteral("Edit"));
        if (field->isEnabled())
            texts << field->text();
    }
    return texts;
}

// Green cells as (row, column) pairs in label order.
QList<QPoint> greenCells(const QWidget &dialog)
{
    QList<QPoint> green;
    for (int i = 0; i < 256; ++i) {
        if (child<QLabel>(dialog, QStringLiteral("label%1").arg(i + 1))->styleSheet() == Green)
            green << QPoint(i % 16, i / 16);
    }
    return green;
}

} // namespace

class TestLEDsplice : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void loadsTheRecordInBothLanguages();
    void clampsRecordCountsAtLoad();
    void checksCounts_data();
    void checksCounts();
    void okFillsLimitsOfResolution();
    void saveChecksSizesThenStores();
};

void TestLEDsplice::init()
{
    record().setWallSize(2, 2, 1920, 1080);
    record().outResolution = 6;
    record().outMode2 = 4;
}

void TestLEDsplice::loadsTheRecordInBothLanguages()
{
    LEDsplice english(true);
    QCOMPARE(child<QComboBox>(english, "formatBox")->currentText(), QStringLiteral("1920x1080@60Hz"));
    QCOMPARE(child<QComboBox>(english, "appmodelBox")->currentText(),
             QStringLiteral("Single DVI output 4 screen mode"));
    QCOMPARE(enabledTexts(english, "R"), QStringList({"1080", "1080"}));
    QCOMPARE(enabledTexts(english, "C"), QStringList({"1920", "1920"}));
    // Cells run down the columns: label2 is row 1, label17 column 1.
    QCOMPARE(greenCells(english), QList<QPoint>({{0, 0}, {1, 0}, {0, 1}, {1, 1}}));
    QCOMPARE(child<QLabel>(english, "label2")->geometry(), QRect(82, 114, 71, 28));
    QCOMPARE(child<QLabel>(english, "label17")->geometry(), QRect(154, 85, 71, 28));
    QVERIFY(child<NavLabel>(english, "navLabel")->isHidden());

    record().outMode2 = 2;
    LEDsplice chinese(false);
    QCOMPARE(child<QComboBox>(chinese, "appmodelBox")->currentText(),
             QStringLiteral("双DVI输出口分别2画面模式"));
}

void TestLEDsplice::clampsRecordCountsAtLoad()
{
    record().colWidths = QVector<int>(20, 100);
    record().rowHeights.clear();
    {
        LEDsplice dialog(true);
        QCOMPARE(child(dialog, "RowEdit")->text() + 'x' + child(dialog, "ColumnEdit")->text(),
                 QStringLiteral("1x16"));
        QCOMPARE(enabledTexts(dialog, "C").size(), 16);
        QCOMPARE(greenCells(dialog).size(), 16);
    }
    record().colWidths.clear();
    LEDsplice empty(true);
    QVERIFY(enabledTexts(empty, "C").isEmpty());
    QVERIFY(greenCells(empty).isEmpty());
}

void TestLEDsplice::checksCounts_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("cols");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("fieldsAfter");
    QTest::newRow("4 x 8") << "4" << "8" << true << "4x8";
    QTest::newRow("16 x 2") << "16" << "2" << true << "16x2";
    QTest::newRow("5 x 7") << "5" << "7" << false << "5x7";
    QTest::newRow("0 rows") << "0" << "3" << false << "2x3";
    QTest::newRow("17 rows") << "17" << "1" << false << "2x1";
    QTest::newRow("text and huge") << "x" << "99999" << false << "2x2";
    QTest::newRow("both huge") << "99999" << "99999" << false << "2x2";
}

void TestLEDsplice::checksCounts()
{
    QFETCH(QString, rows);
    QFETCH(QString, cols);
    QFETCH(bool, accepted);
    QFETCH(QString, fieldsAfter);
    LEDsplice dialog(true);
    type(dialog, "RowEdit", rows);
    type(dialog, "ColumnEdit", cols);
    click(dialog, "saveButton");

    QCOMPARE(child(dialog, "RowEdit")->text() + 'x' + child(dialog, "ColumnEdit")->text(), fieldsAfter);
    auto *banner = child<NavLabel>(dialog, "navLabel");
    QCOMPARE(banner->isHidden(), accepted);
    if (!accepted)
        QCOMPARE(banner->text(), QStringLiteral("Numerical error, the maximum value of row and "
                                                "column is 16 and the maximum value of LED is 32."));
    // A refused count keeps the working counts, which "Save" stores.
    const int r = accepted ? rows.toInt() : 2;
    const int c = accepted ? cols.toInt() : 2;
    QCOMPARE(enabledTexts(dialog, "R").size(), r);
    QCOMPARE(greenCells(dialog).size(), r * c);
    click(dialog, "saveBtn");
    QCOMPARE(QSize(record().cols(), record().rows()), QSize(c, r));
}

void TestLEDsplice::okFillsLimitsOfResolution()
{
    LEDsplice dialog(true);
    auto *format = child<QComboBox>(dialog, "formatBox");
    format->setCurrentIndex(4);
    format->setFocus();
    QTest::keyClick(format, Qt::Key_Down);
    // A new resolution leaves the fields until "Ok".
    QCOMPARE(enabledTexts(dialog, "C"), QStringList({"1920", "1920"}));
    type(dialog, "RowEdit", QStringLiteral("3"));
    click(dialog, "saveButton");
    QCOMPARE(enabledTexts(dialog, "R"), QStringList({"600", "600", "600"}));
    QCOMPARE(enabledTexts(dialog, "C"), QStringList({"3660", "3660"}));
    click(dialog, "saveBtn");
    QCOMPARE(QList<int>({record().outResolution, record().outWidth, record().outHeight}),
             QList<int>({10, 3660, 600}));
    QCOMPARE(record().rowHeights, QVector<int>({600, 600, 600}));
}

void TestLEDsplice::saveChecksSizesThenStores()
{
    LEDsplice dialog(true);
    dialog.show();
    QSignalSpy sent(&dialog, &LEDsplice::sendSignal);
    child<QComboBox>(dialog, "appmodelBox")->setCurrentIndex(1);
    type(dialog, "C1Edit", QStringLiteral("0"));
    type(dialog, "C2Edit", QStringLiteral("1921"));
    type(dialog, "R2Edit", QStringLiteral("540"));
    click(dialog, "saveBtn");

    auto *banner = child<NavLabel>(dialog, "navLabel");
    QVERIFY(banner->isVisible());
    QCOMPARE(banner->text(), QStringLiteral("Numerical error, automatically adjusted to available value."));
    QCOMPARE(enabledTexts(dialog, "C"), QStringList({"1920", "1920"}));
    QVERIFY(sent.isEmpty() && dialog.isVisible());
    QCOMPARE(record().outMode2, 4);
    QTRY_VERIFY_WITH_TIMEOUT(banner->isHidden(), 5000);

    click(dialog, "saveBtn");
    QCOMPARE(sent.count(), 1);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(record().outMode2, 2);
    QCOMPARE(record().rowHeights, QVector<int>({1080, 540}));

    // "Close" leaves the record.
    LEDsplice closed(true);
    type(closed, "RowEdit", QStringLiteral("1"));
    click(closed, "saveButton");
    click(closed, "closeBtn");
    QCOMPARE(record().rows(), 2);
}

QTEST_MAIN(TestLEDsplice)
#include "tst_ledsplice.moc"
