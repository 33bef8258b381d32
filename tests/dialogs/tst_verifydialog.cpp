// The verify dialog: the operator's choices of what differs between the
// host and the device, and what Apply hands on.

#include "dialogfields.h"

#include <dialog_verify.h>

#include <QSignalSpy>
#include <QtTest>

class TestVerifyDialog : public QObject
{
    Q_OBJECT

private slots:
    void verifyChoicesAreTheOperators();
};

// Each part that differs offers its choice with a default: a preset changed
// here is sent, another taken, the device's current preset kept (nothing
// recalled unasked), an input taken. Apply asks before anything is taken,
// and hands on nothing when the answer is no.
void TestVerifyDialog::verifyChoicesAreTheOperators()
{
    DeviceData host;
    host.curModel = 0;
    DeviceData device = host;
    device.curModel = 4;
    for (int m : {1, 3, 6}) {
        device.addWindow(m, QByteArray(1, char(2)) + QByteArray(35, '\x01'));
        device.modelLayer[size_t(m)][0] = 2;
    }
    device.inCards[2].present = host.inCards[2].present = 1;
    device.inCards[2].mainSignal = 3;
    Dialog_Verify dialog(true, PresetCheck(host, device), host, device, {1, 5}, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.lines().at(0), QStringLiteral("13 of 16 presets the same; different: the current preset, 1 input"));
    QCOMPARE(dialog.lines().at(2), QStringLiteral("M2: 1 window differs: Win3 only on the device"));
    QCOMPARE(dialog.choices(), QStringList({"M2=mine", "M4=device", "M7=device", "Current=device", "In3=device"}));

    for (const char *button : {"M4_leave", "M2_device", "Current_leave"})
        DialogFields::click(&dialog, QLatin1String(button));
    QCOMPARE(dialog.choices(), QStringList({"M2=device", "M4=leave", "M7=device", "Current=leave", "In3=device"}));

    QSignalSpy applied(&dialog, &Dialog_Verify::applied);
    QStringList asked;
    QTimer answerer;
    connect(&answerer, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        asked << box->text();
        if (asked.size() == 1)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
    });
    answerer.start(10);
    DialogFields::click(&dialog, QStringLiteral("applyButton"));
    QVERIFY(applied.isEmpty() && dialog.isVisible());
    DialogFields::click(&dialog, QStringLiteral("applyButton"));
    QCOMPARE(applied.size(), 1);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(asked.size(), 2);
    QVERIFY2(asked.at(1).startsWith(QStringLiteral("Replace M2, M7 here with the device's?")), qPrintable(asked.at(1)));
    QCOMPARE(dialog.presets(Dialog_Verify::TakeDevices), QList<int>({1, 6}));
    QVERIFY(dialog.presets(Dialog_Verify::SendMine).isEmpty());
    QCOMPARE(dialog.current(), Dialog_Verify::Leave);
    QCOMPARE(dialog.entries(Dialog_Verify::TakeDevices), QList<int>({2}));

    // Sending a preset the operator did not change here asks too.
    Dialog_Verify writes(true, PresetCheck(host, device), host, device, {1, 5}, nullptr);
    writes.show();
    QVERIFY(QTest::qWaitForWindowExposed(&writes));
    for (const char *button : {"M4_mine", "M7_leave"})
        DialogFields::click(&writes, QLatin1String(button));
    QSignalSpy written(&writes, &Dialog_Verify::applied);
    asked.clear();
    DialogFields::click(&writes, QStringLiteral("applyButton"));
    QVERIFY(written.isEmpty() && writes.isVisible());
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked.at(0).startsWith(QStringLiteral("Write M4 to the device? They were not changed here.")),
             qPrintable(asked.at(0)));
}

QTEST_MAIN(TestVerifyDialog)
#include "tst_verifydialog.moc"
