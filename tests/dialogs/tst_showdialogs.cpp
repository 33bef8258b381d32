// The show's dialogs driven as an operator drives them: what they hand back
// after OK, what they refuse (the dialog stays, with the reason), and their
// texts in either language.

#include "dialogfields.h"

#include <dialog_backups.h>
#include <dialog_schedules.h>
#include <dialog_sequences.h>
#include <schedulejson.h>
#include <scheduletimes.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimeZone>
#include <QtTest>

#include <memory>

namespace {

ShowNames stationNames()
{
    ShowNames names;
    names.processors = QStringList{QStringLiteral("Left"), QStringLiteral("Right")};
    names.presets = {QStringList(), QStringList{QStringLiteral("Doors"), QString(), QString(), QStringLiteral("Show")}};
    names.looks = QStringList{QStringLiteral("Opening"), QStringLiteral("Finale")};
    names.sequences = QStringList{QStringLiteral("Walk-in")};
    return names;
}

template<typename Widget>
Widget *field(const QObject *dialog, const char *name)
{
    auto *found = dialog->findChild<Widget *>(QLatin1String(name));
    if (!found)
        qFatal("no field %s", name);
    return found;
}

template<typename Widget>
Widget *cellOf(const QObject *dialog, const char *table, int row, int column)
{
    return qobject_cast<Widget *>(field<QTableWidget>(dialog, table)->cellWidget(row, column));
}

void typeInto(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

void typeInto(QAbstractSpinBox *spin, const QString &text)
{
    spin->setFocus();
    // A date or time is typed over from its first section on, each one
    // full moving on to the next.
    if (auto *edit = qobject_cast<QDateTimeEdit *>(spin))
        edit->setSelectedSection(edit->sectionAt(0));
    else
        QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(spin, text);
}

// Moves a combo box down by so many items, with the arrow key.
void stepDown(QComboBox *box, int times)
{
    for (int i = 0; i < times; ++i)
        QTest::keyClick(box, Qt::Key_Down);
}

void clickOk(QDialog *dialog)
{
    QTest::mouseClick(field<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

// What the dialog said when OK was refused; empty when it closed.
QString refusal(QDialog *dialog)
{
    clickOk(dialog);
    if (!dialog->isVisible())
        return {};
    return field<QLabel>(dialog, "navLabel")->isVisible() ? field<QLabel>(dialog, "navLabel")->text()
                                                           : QStringLiteral("(refused without a reason)");
}

template<typename Dialog>
void show(Dialog *dialog)
{
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
}

// The sequences as their file has them, readable where they differ.
QByteArray shownAsFile(const QList<Sequence> &sequences)
{
    return QJsonDocument(Sequence::listToJson(sequences)).toJson(QJsonDocument::Compact);
}

QList<QList<Dialog_Backups::Input>> stationInputs()
{
    return {{{0, QStringLiteral("DVI 1")}, {1, QStringLiteral("DVI 2")}, {5, QStringLiteral("HDMI")}},
            {{0, QStringLiteral("SDI")}, {2, QString()}}};
}

BackupTable::Entry backupOf(int processor, int input, const QList<int> &backups, BackupTable::Return mode,
                            int stableSeconds)
{
    return {processor, input, backups, mode, stableSeconds};
}

Sequence walkIn()
{
    Sequence sequence;
    sequence.name = QStringLiteral("Walk-in");
    sequence.steps = {SequenceStep::recall(0, 0, 5000)};
    return sequence;
}

} // namespace

class TestShowDialogs : public QObject
{
    Q_OBJECT

private slots:
    void sequenceBuiltComesBack();
    void sequenceKeptWhenUntouched();
    void sequenceRefused_data();
    void sequenceRefused();
    void enterChecksEscapeDrops();
    void sequencesRelabel();
    void schedulesOnWeekdaysOrADate();
    void scheduleWithoutDaysRefused();
    void schedulesRelabel();
    void backupsChosenComeBack();
    void backupNamedTwiceRefused();
    void backupsRelabel();
};

void TestShowDialogs::sequenceBuiltComesBack()
{
    Dialog_Sequences dialog({}, stationNames(), true);
    show(&dialog);
    QList<Sequence> handed;
    connect(&dialog, &Dialog_Sequences::sequencesAccepted, this, [&handed](const QList<Sequence> &list) { handed = list; });

    DialogFields::click(&dialog, QStringLiteral("addButton"));
    typeInto(field<QLineEdit>(&dialog, "nameEdit"), QStringLiteral("Doors open"));
    QTest::keyClick(field<QCheckBox>(&dialog, "loopBox"), Qt::Key_Space);
    stepDown(field<QComboBox>(&dialog, "failureBox"), 1);
    // The second processor's fourth preset, then a look after it.
    stepDown(cellOf<QComboBox>(&dialog, "stepTable", 0, 1), 1);
    stepDown(cellOf<QComboBox>(&dialog, "stepTable", 0, 2), 3);
    QCOMPARE(cellOf<QComboBox>(&dialog, "stepTable", 0, 2)->currentText(), QStringLiteral("M4 Show"));
    typeInto(cellOf<QDoubleSpinBox>(&dialog, "stepTable", 0, 4), QStringLiteral("2.5"));
    DialogFields::click(&dialog, QStringLiteral("addStepButton"));
    stepDown(cellOf<QComboBox>(&dialog, "stepTable", 1, 0), 1);
    stepDown(cellOf<QComboBox>(&dialog, "stepTable", 1, 3), 1);
    typeInto(cellOf<QDoubleSpinBox>(&dialog, "stepTable", 1, 4), QStringLiteral("60"));
    // Moved to the front: the look plays first.
    DialogFields::click(&dialog, QStringLiteral("upButton"));

    Sequence expected;
    expected.name = QStringLiteral("Doors open");
    expected.loop = true;
    expected.onFailure = Sequence::OnFailure::Skip;
    expected.steps = {SequenceStep::recallLook(QStringLiteral("Finale"), 60000), SequenceStep::recall(1, 3, 2500)};
    QCOMPARE(refusal(&dialog), QString());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(shownAsFile(dialog.sequences()), shownAsFile({expected}));
    QCOMPARE(handed, QList<Sequence>{expected});
}

// A processor or look the caller no longer names is shown as it is, not
// replaced by the first one offered.
void TestShowDialogs::sequenceKeptWhenUntouched()
{
    Sequence old = walkIn();
    old.steps = {SequenceStep::recall(2, 15, 1500), SequenceStep::recallLook(QStringLiteral("Gone"), 2000)};
    Dialog_Sequences dialog({old}, stationNames(), true);
    show(&dialog);
    QCOMPARE(refusal(&dialog), QString());
    QCOMPARE(shownAsFile(dialog.sequences()), shownAsFile({old}));
}

void TestShowDialogs::sequenceRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("removeStep");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a name taken, whatever its case") << "WALK-IN" << false << "sequences[1].name: \"WALK-IN\" is taken";
    QTest::newRow("a blank name") << "   " << false << "sequences[1].name: 1 to 64 characters";
    QTest::newRow("no step left") << "Other" << true << "sequences[1].steps: a list of 1 to 100 steps";
}

// The copy of a good sequence made bad; OK keeps the dialog open and says
// why, and nothing is handed on.
void TestShowDialogs::sequenceRefused()
{
    QFETCH(QString, name);
    QFETCH(bool, removeStep);
    QFETCH(QString, reason);
    Dialog_Sequences dialog({walkIn()}, stationNames(), true);
    show(&dialog);
    QSignalSpy handed(&dialog, &Dialog_Sequences::sequencesAccepted);
    DialogFields::click(&dialog, QStringLiteral("duplicateButton"));
    typeInto(field<QLineEdit>(&dialog, "nameEdit"), name);
    if (removeStep)
        DialogFields::click(&dialog, QStringLiteral("removeStepButton"));
    QVERIFY2(refusal(&dialog).startsWith(reason), qPrintable(refusal(&dialog)));
    QCOMPARE(handed.count(), 0);
    QCOMPARE(dialog.sequences().size(), 2);
    // Put right, it closes.
    typeInto(field<QLineEdit>(&dialog, "nameEdit"), QStringLiteral("Other"));
    if (removeStep)
        DialogFields::click(&dialog, QStringLiteral("addStepButton"));
    QCOMPARE(refusal(&dialog), QString());
    QCOMPARE(handed.count(), 1);
}

// Enter in a field is OK, checks and all; Escape drops the edits.
void TestShowDialogs::enterChecksEscapeDrops()
{
    Dialog_Sequences dialog({walkIn()}, stationNames(), true);
    show(&dialog);
    QSignalSpy handed(&dialog, &Dialog_Sequences::sequencesAccepted);
    DialogFields::click(&dialog, QStringLiteral("duplicateButton"));
    typeInto(field<QLineEdit>(&dialog, "nameEdit"), QStringLiteral("walk-in"));
    QTest::keyClick(field<QLineEdit>(&dialog, "nameEdit"), Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QVERIFY(field<QLabel>(&dialog, "navLabel")->isVisible());
    QTest::keyClick(field<QLineEdit>(&dialog, "nameEdit"), Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(handed.count(), 0);
}

void TestShowDialogs::sequencesRelabel()
{
    Dialog_Sequences dialog({walkIn()}, stationNames(), true);
    QCOMPARE(field<QComboBox>(&dialog, "failureBox")->itemText(1), QStringLiteral("Skip"));
    dialog.setEnglish(false);
    QCOMPARE(dialog.windowTitle(), QString::fromUtf8("序列"));
    QCOMPARE(field<QComboBox>(&dialog, "failureBox")->itemText(1), QString::fromUtf8("跳过"));
    QCOMPARE(cellOf<QComboBox>(&dialog, "stepTable", 0, 0)->currentText(), QString::fromUtf8("场景"));
    const auto *buttons = field<QDialogButtonBox>(&dialog, "buttonBox");
    QCOMPARE(buttons->button(QDialogButtonBox::Ok)->text(), QString::fromUtf8("确定"));
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8("取消"));
}

void TestShowDialogs::schedulesOnWeekdaysOrADate()
{
    const QByteArray berlin("Europe/Berlin");
    if (!QTimeZone::isTimeZoneIdAvailable(berlin))
        QSKIP("no time zone data here");
    Dialog_Schedules dialog({}, {berlin, 0, true}, stationNames(), true);
    // As the station works it out, from a fixed instant.
    dialog.setNextOccurrence([](const Schedule &schedule, const QByteArray &zone) {
        return ScheduleTimes(QTimeZone(zone)).nextAfter(schedule, QDateTime(QDate(2026, 12, 1), QTime(0, 0), Qt::UTC));
    });
    show(&dialog);

    DialogFields::click(&dialog, QStringLiteral("addButton"));
    typeInto(field<QLineEdit>(&dialog, "nameEdit"), QStringLiteral("Doors"));
    typeInto(field<QAbstractSpinBox>(&dialog, "timeEdit"), QStringLiteral("183015"));
    QTest::keyClick(field<QCheckBox>(&dialog, "dayBox6"), Qt::Key_Space);
    QTest::keyClick(field<QCheckBox>(&dialog, "dayBox7"), Qt::Key_Space);
    stepDown(field<QComboBox>(&dialog, "actionBox"), 2);

    DialogFields::click(&dialog, QStringLiteral("addButton"));
    typeInto(field<QLineEdit>(&dialog, "nameEdit"), QStringLiteral("Eve"));
    QTest::keyClick(field<QAbstractButton>(&dialog, "dateRadio"), Qt::Key_Space);
    typeInto(field<QAbstractSpinBox>(&dialog, "dateEdit"), QStringLiteral("20261224"));
    stepDown(field<QComboBox>(&dialog, "actionBox"), 1);
    stepDown(field<QComboBox>(&dialog, "lookBox"), 1);

    typeInto(field<QAbstractSpinBox>(&dialog, "lateSpin"), QStringLiteral("30"));
    QTest::keyClick(field<QCheckBox>(&dialog, "pauseBox"), Qt::Key_Space);
    QCOMPARE(refusal(&dialog), QString());

    Schedule doors;
    doors.name = QStringLiteral("Doors");
    doors.time = QTime(18, 30, 15);
    doors.days = 0x1f;
    doors.action = Schedule::Action::StartSequence;
    doors.target = QStringLiteral("Walk-in");
    Schedule eve;
    eve.name = QStringLiteral("Eve");
    eve.time = QTime(8, 0);
    eve.date = QDate(2026, 12, 24);
    eve.action = Schedule::Action::RecallLook;
    eve.target = QStringLiteral("Finale");
    QCOMPARE(ScheduleJson::listToJson(dialog.schedules()), ScheduleJson::listToJson({doors, eve}));
    QCOMPARE(dialog.settings(), (ShowFile::Settings{berlin, 30, false, true}));
    auto *list = field<QTableWidget>(&dialog, "scheduleTable");
    QCOMPARE(list->item(0, 2)->text(), QStringLiteral("Mon-Fri 18:30:15: start sequence \"Walk-in\""));
    QCOMPARE(list->item(1, 3)->text(), QStringLiteral("2026-12-24 08:00:00"));
}

void TestShowDialogs::scheduleWithoutDaysRefused()
{
    Schedule monday;
    monday.name = QStringLiteral("Monday");
    monday.time = QTime(9, 0);
    monday.days = Schedule::dayBit(Qt::Monday);
    Dialog_Schedules dialog({monday}, {}, stationNames(), true);
    show(&dialog);
    QSignalSpy handed(&dialog, &Dialog_Schedules::schedulesAccepted);
    QTest::keyClick(field<QCheckBox>(&dialog, "dayBox1"), Qt::Key_Space);
    QVERIFY2(refusal(&dialog).startsWith(QStringLiteral("schedule 1: \"days\"")), qPrintable(refusal(&dialog)));
    QCOMPARE(handed.count(), 0);
    QCOMPARE(dialog.schedules().value(0).days, 0);
}

void TestShowDialogs::schedulesRelabel()
{
    Schedule monday;
    monday.name = QStringLiteral("Monday");
    monday.time = QTime(9, 0);
    monday.days = Schedule::dayBit(Qt::Monday);
    Dialog_Schedules dialog({monday}, {}, stationNames(), true);
    dialog.setEnglish(false);
    QCOMPARE(dialog.windowTitle(), QString::fromUtf8("定时"));
    QCOMPARE(field<QComboBox>(&dialog, "actionBox")->currentText(), QString::fromUtf8("调用场景"));
    QCOMPARE(field<QTableWidget>(&dialog, "scheduleTable")->item(0, 2)->text(), monday.describe(false));
}

void TestShowDialogs::backupsChosenComeBack()
{
    const QList<BackupTable::Entry> given{backupOf(2, 0, {2}, BackupTable::Return::Manual, 10)};
    Dialog_Backups dialog(given, {QStringLiteral("Left"), QStringLiteral("Right")}, stationInputs(), true);
    show(&dialog);
    // Input 0 is offered any input of its processor but itself.
    for (int column = 1; column <= BackupTable::MaxBackups; ++column) {
        QComboBox *choice = cellOf<QComboBox>(&dialog, "inputTable", 0, column);
        QCOMPARE(choice->count(), 3);
        QCOMPARE(choice->findData(0), -1);
    }
    stepDown(cellOf<QComboBox>(&dialog, "inputTable", 0, 1), 2);
    stepDown(cellOf<QComboBox>(&dialog, "inputTable", 0, 3), 1);
    typeInto(cellOf<QSpinBox>(&dialog, "inputTable", 0, 5), QStringLiteral("30"));
    QCOMPARE(cellOf<QComboBox>(&dialog, "inputTable", 0, 4)->currentText(), QStringLiteral("By itself after 30 s"));
    stepDown(cellOf<QComboBox>(&dialog, "inputTable", 2, 1), 1);
    stepDown(cellOf<QComboBox>(&dialog, "inputTable", 2, 4), 1);
    // The other processor shows what it was given, and this one's choices
    // are kept meanwhile.
    stepDown(field<QComboBox>(&dialog, "processorBox"), 1);
    QCOMPARE(cellOf<QComboBox>(&dialog, "inputTable", 0, 1)->currentText(), QStringLiteral("2"));
    QCOMPARE(cellOf<QComboBox>(&dialog, "inputTable", 0, 4)->currentIndex(), int(BackupTable::Return::Manual));
    QTest::keyClick(field<QComboBox>(&dialog, "processorBox"), Qt::Key_Up);
    QCOMPARE(refusal(&dialog), QString());

    // The blank second choice closes up.
    const QList<BackupTable::Entry> expected{given.first(),
                                             backupOf(1, 0, {5, 1}, BackupTable::Return::Auto, 30),
                                             backupOf(1, 5, {0}, BackupTable::Return::Manual, 10)};
    QCOMPARE(BackupTable::listToJson(dialog.entries()), BackupTable::listToJson(expected));
}

void TestShowDialogs::backupNamedTwiceRefused()
{
    Dialog_Backups dialog({}, {QStringLiteral("Left")}, stationInputs(), true);
    show(&dialog);
    QSignalSpy handed(&dialog, &Dialog_Backups::entriesAccepted);
    stepDown(cellOf<QComboBox>(&dialog, "inputTable", 1, 1), 2);
    stepDown(cellOf<QComboBox>(&dialog, "inputTable", 1, 2), 2);
    QCOMPARE(refusal(&dialog), QStringLiteral("[0].backups[1]: named twice"));
    QCOMPARE(handed.count(), 0);
}

void TestShowDialogs::backupsRelabel()
{
    Dialog_Backups dialog({}, {QStringLiteral("Left")}, stationInputs(), true);
    dialog.setEnglish(false);
    QCOMPARE(dialog.windowTitle(), QString::fromUtf8("备用信号源"));
    QCOMPARE(cellOf<QComboBox>(&dialog, "inputTable", 0, 4)->currentText(), QString::fromUtf8("自动（稳定 10 秒后）"));
    QCOMPARE(cellOf<QComboBox>(&dialog, "inputTable", 0, 1)->currentText(), QString::fromUtf8("无"));
}

QTEST_MAIN(TestShowDialogs)
#include "tst_showdialogs.moc"
