#include <dialog_test.h>
#include <linkedsimulator.h>
#include <singleton_serialport.h>

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString Red = QStringLiteral("background-color: rgb(255, 0, 0);");
const QString Green = QStringLiteral("background-color: rgb(0, 255, 0);");

struct Slot
{
    const char *row; // In5, Out1, sys1
    const char *text;
    bool green;
};

// defaultChassis(): one-channel cards in slots 0-3, 12 and 23, two-channel
// HDMI, DVI and SDI cards in slots 4-9, empty slots 10 and 11.
const Slot FirstRead[] = {
    {"In1", "V1.0.7", true},   {"In4", "V1.3.7", true},   {"In5", "HDMI", true},
    {"In7", "DVI", true},      {"In9", "SDI", true},      {"In11", "No card", false},
    {"In13", "V1.2.0", true},  {"In24", "V1.3.9", true},  {"Out1", "V2.0", true},
    {"Out12", "V2.11", true},  {"sys1", "V3.1.4", true},
};

// After slot 0 and slot 4 lost their cards and the system board changed.
const Slot SecondRead[] = {
    {"In1", "No card", false}, {"In5", "No card", false}, {"In4", "V1.3.7", true},
    {"sys1", "V5.6.7", true},
};

// The card types and presence come with the connection read.
bool readCards(LinkedSimulator &sim)
{
    sim.link()->postCommand(190);
    return sim.waitForIdle(20000);
}

// What the main window does for "Communication Test".
bool runTest(LinkedSimulator &sim)
{
    Singleton_SerialPort *link = sim.link();
    QSignalSpy versions(link, &Singleton_SerialPort::repalceVersion);
    emit link->send_out_time(70000);
    link->postCommand(10);
    if (!QTest::qWaitFor([&] { return !versions.isEmpty(); }, 10000))
        return false;
    QCoreApplication::processEvents(); // the dialog's queued InitPage() was posted before
    return true;
}

void checkSlots(const Dialog_Test &dialog, const Slot *first, const Slot *last)
{
    for (const Slot *slot = first; slot != last; ++slot) {
        const QString row = QLatin1String(slot->row);
        QCOMPARE(dialog.findChild<QLineEdit *>(row + QLatin1String("Edit"))->text(), QLatin1String(slot->text));
        QCOMPARE(dialog.findChild<QPushButton *>(row + QLatin1String("Bt"))->styleSheet(),
                 slot->green ? Green : Red);
    }
}

} // namespace

class TestDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void refilledOnEveryVersionRead();
};

void TestDialogTest::refilledOnEveryVersionRead()
{
    LinkedSimulator sim;
    sim.model() = DeviceModel::defaultChassis();
    QVERIFY(sim.connectLink());
    QVERIFY(readCards(sim));

    Dialog_Test dialog(true);
    QVERIFY(!dialog.isEnabled());
    QCOMPARE(dialog.findChildren<QLineEdit *>().size(), 24 + 12 + 1);
    connect(sim.link(), &Singleton_SerialPort::repalceVersion, &dialog, &Dialog_Test::InitPage);
    QVERIFY(runTest(sim));
    checkSlots(dialog, std::begin(FirstRead), std::end(FirstRead));

    sim.model().entries[0].present = false;
    sim.model().entries[0].version = NoCardVersion;
    sim.model().entries[4].present = false;
    sim.model().systemVersion = {5, 6, 7};
    QVERIFY(readCards(sim));
    QVERIFY(runTest(sim));
    checkSlots(dialog, std::begin(SecondRead), std::end(SecondRead));
}

QTEST_MAIN(TestDialogTest)
#include "tst_dialog_test.moc"
