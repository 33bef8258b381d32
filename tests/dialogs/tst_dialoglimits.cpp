// What the dialogs refuse at the borders of their rules, in which order,
// and what they say; what they accept goes on. The fields keep what was
// typed, or what the dialog put back.

#include "dialogfields.h"

#include <dialog_trimdata.h>
#include <ledsplice.h>
#include <singleton_serialport.h>
#include <trimming.h>

#include <QSignalSpy>
#include <QtTest>

#include <optional>

class TestDialogLimits : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void limits_data();
    void limits();

private:
    Singleton_SerialPort m_link;
};

void TestDialogLimits::init()
{
    DeviceData &record = m_link.dm_data;
    record.setWallSize(2, 2, 1920, 1080);
    record.outResolution = 6;
    record.outMode2 = 4;
}

void TestDialogLimits::limits_data()
{
    QTest::addColumn<MakeDialog>("make");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("button"); // none: typing only
    QTest::addColumn<QByteArray>("signal"); // emitted once when accepted
    QTest::addColumn<QString>("said");
    QTest::addColumn<QStringList>("after");
    const auto row = [](const char *tag, const MakeDialog &make, const QStringList &typed, const char *button,
                        const char *signal, const QString &said, const QStringList &after) {
        QTest::newRow(tag) << make << typed << QString::fromLatin1(button) << QByteArray(signal) << said << after;
    };

    // Trimming of a window's section on screen 4: its rules in order.
    const auto trimming = [](int outWidth = 1920, bool english = true) -> MakeDialog {
        return [=] {
            auto *dialog = new Trimming(english);
            dialog->initTrim(2, {4, 7, 0, 0, 0, 0, 0, 0, 0, 0}, outWidth, 1080);
            return dialog;
        };
    };
    const auto trim = [&](const char *tag, const QList<int> &values, const QString &said, int outWidth = 1920,
                          bool english = true) {
        const QStringList typed = DialogFields::trimFields(values);
        row(tag, trimming(outWidth, english), typed, "setButton", SIGNAL(endTrim(int, int, QList<int>)), said, typed);
    };
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
    trim("every border", {-32, -8, 1984, 1096, -32, -8, 1984, 1096}, {});
    trim("1: in x, before all others", {-33, -9, 0, 9999, -33, -9, 0, 9999}, m1);
    trim("1: in y", {0, -9, 1, 1, 0, 0, 1, 1}, m1);
    trim("2: out x, before 3 to 8", {0, 0, 0, 9999, -33, 0, 0, 9999}, m2);
    trim("2: out y", {0, 0, 1, 1, 0, -9, 1, 1}, m2);
    trim("3: in width 0, before 4 to 8", {0, 0, 0, 9999, 0, 0, 0, 9999}, m3);
    trim("3: in height below 0", {0, 0, 1, -5, 0, 0, 1, 1}, m3);
    trim("4: out width 0, before 5 to 8", {0, 0, 1, 1, 0, 0, 0, 9999}, m4);
    trim("4: out height", {0, 0, 1, 1, 0, 0, 1, -1}, m4);
    trim("5: in width, before 6 to 8", {0, 0, 1985, 1, 0, 0, 9999, 9999}, m5);
    trim("5: in height", {0, 0, 1, 1097, 0, 0, 1, 1}, m5);
    trim("6: out width, before 7 and 8", {100, 0, 1900, 1, 100, 0, 1985, 1}, m6);
    trim("6: out height", {0, 0, 1, 1, 0, 0, 1, 1097}, m6);
    trim("6: limit follows the output width", {0, 0, 1, 1, 0, 0, 3904, 1}, {}, 3840);
    trim("7: in x + width, before 8", {100, 0, 1900, 1, 100, 0, 1900, 1}, m7);
    trim("7: in x + width at 1952", {0, 0, 1952, 1088, 0, 0, 1, 1}, {});
    trim("7: in x + width at 1953", {1, 0, 1952, 1, 0, 0, 1, 1}, m7);
    trim("7: in y + height at 1089", {0, 1, 1, 1088, 0, 0, 1, 1}, m7);
    trim("8: out x + width", {0, 0, 1, 1, 100, 0, 1900, 1}, m8);
    trim("8: out x + width at 1984", {0, 0, 1, 1, 0, 0, 1984, 1096}, {});
    trim("8: out y + height at 1097", {0, 0, 1, 1, 0, 1, 1, 1096}, m8);
    trim("7: Chinese", {100, 0, 1900, 1, 0, 0, 1, 1},
         QString::fromUtf8("输入数值错误：水平起始+水平宽度的最大值为1952，垂直起始+垂直高度的最大值为1088。"), 1920, false);
    const auto typedWidth = [&](const char *tag, const char *typed, const char *shown) {
        row(tag, trimming(), {QStringLiteral("in_wEdit=") + typed}, "", "", {}, {QStringLiteral("in_wEdit=") + shown});
    };
    typedWidth("negative", "-1984", "-1984");
    typedWidth("leading zero", "0123", "0");
    typedWidth("minus zero", "-0", "-");
    typedWidth("letters and points", "1a2.5", "125");
    typedWidth("seven characters", "-12345678", "-123456");

    // The trimming data of window 3 at (100, 200, 1920, 1080) on a 3840 x
    // 2160 wall, showing (10, 20, 960, 540) of its input.
    const auto trimData = [&](const char *tag, bool input, const QStringList &values, const QString &said,
                              bool english = true) {
        const MakeDialog make = [=] {
            auto *dialog = new Dialog_trimdata(english);
            dialog->setData({3, 100, 200, 1920, 1080, 3840, 2160, 10, 20, 960, 540});
            return dialog;
        };
        const QStringList typed = DialogFields::trimFields(values, input ? 0 : 4);
        row(tag, make, typed, input ? "in_but" : "out_but",
            input ? SIGNAL(setInRect(int, QRect)) : SIGNAL(setOutRect(int, QRectF)), said, typed);
    };
    const QString inLimits = QStringLiteral("Numerical error, the maximum value 1920 X 1080");
    const QString outLimits = QStringLiteral("Numerical error, the maximum value 3840 X 2160");
    trimData("in 100 + 1820", true, {"100", "0", "1820", "1080"}, {});
    trimData("in 100 + 1821", true, {"100", "0", "1821", "1080"}, inLimits);
    trimData("in 1 + 1080 high", true, {"0", "1", "1920", "1080"}, inLimits);
    trimData("in 12.5 reads as 0", true, {"12.5", "", "1920", "1."},
             QStringLiteral("Numerical error, the minimum value 1 X 1"));
    trimData("out empty", false, {"0", "0", "0", "2160"}, QString::fromUtf8("数值错误，最小值为 1 X 1"), false);
    trimData("out 0 + 3840", false, {"0", "0", "3840", "2160"}, {});
    trimData("out 1 + 3840", false, {"1", "0", "3840", "2160"}, outLimits);
    trimData("out 1 + 2160 high", false, {"0", "1", "3840", "2160"}, outLimits);
    const MakeDialog trimDataDialog = [] { return new Dialog_trimdata(true); };
    row("digits and points", trimDataDialog, {"in_xEdit=-1x2.5", "out_wEdit=1234567"}, "", "", {},
        {"in_xEdit=12.5", "out_wEdit=123456"});

    // The wall of 2 x 2 screens of 1920 x 1080: its counts with "Ok", its
    // sizes with "Save"; a refused count keeps the working counts.
    const MakeDialog wall = [this] { return new LEDsplice(&m_link, true); };
    const QString counts = QStringLiteral("Numerical error, the maximum value of row and column is 16 and the "
                                          "maximum value of LED is 32.");
    const auto count = [&](const char *tag, const char *rows, const char *cols, const QString &said,
                           const QStringList &after) {
        row(tag, wall, {QStringLiteral("RowEdit=") + rows, QStringLiteral("ColumnEdit=") + cols}, "saveButton", "",
            said, after);
    };
    count("4 x 8", "4", "8", {}, {"RowEdit=4", "ColumnEdit=8", "R4Edit.enabled=true", "R5Edit.enabled=false",
                                  "C8Edit.enabled=true", "C9Edit.enabled=false"});
    count("16 x 2", "16", "2", {}, {"R16Edit.enabled=true", "C3Edit.enabled=false"});
    count("5 x 7", "5", "7", counts, {"RowEdit=5", "ColumnEdit=7", "R3Edit.enabled=false", "C3Edit.enabled=false"});
    count("0 rows", "0", "3", counts, {"RowEdit=2", "ColumnEdit=3"});
    count("17 rows", "17", "1", counts, {"RowEdit=2", "ColumnEdit=1"});
    count("text and huge", "x", "99999", counts, {"RowEdit=2", "ColumnEdit=2"});
    row("sizes within the screen", wall, {"appmodelBox.currentIndex=1", "R2Edit=540"}, "saveBtn",
        SIGNAL(sendSignal()), {}, {"R2Edit=540", "C2Edit=1920"});
    row("sizes past the screen", wall, {"appmodelBox.currentIndex=1", "C1Edit=0", "C2Edit=1921", "R2Edit=540"},
        "saveBtn", SIGNAL(sendSignal()), QStringLiteral("Numerical error, automatically adjusted to available value."),
        {"C1Edit=1920", "C2Edit=1920", "R2Edit=540"});
}

void TestDialogLimits::limits()
{
    QFETCH(MakeDialog, make);
    QFETCH(QStringList, typed);
    QFETCH(QString, button);
    QFETCH(QByteArray, signal);
    QFETCH(QStringList, after);
    const std::unique_ptr<QDialog> dialog = DialogFields::opened(make);
    QVERIFY(dialog);
    std::optional<QSignalSpy> accepted;
    if (!signal.isEmpty())
        accepted.emplace(dialog.get(), signal.constData());
    DialogFields::fill(dialog.get(), typed);
    const QString said = button.isEmpty() ? QString()
                                          : DialogFields::saidDuring(dialog.get(), [&] {
                                                DialogFields::click(dialog.get(), button);
                                            });
    QTEST(said, "said");
    QCOMPARE(DialogFields::shown(dialog.get(), after), after);
    if (accepted)
        QCOMPARE(accepted->count(), said.isEmpty() ? 1 : 0);
}

QTEST_MAIN(TestDialogLimits)
#include "tst_dialoglimits.moc"
