#include "dialog_schedules.h"
#include "ui_dialog_schedules.h"

#include <buttonboxtexts.h>
#include <errorbanner.h>
#include <schedulejson.h>
#include <scheduler.h>

#include <QPushButton>
#include <QTimeZone>

namespace {

QCheckBox *dayBox(const Ui::Dialog_Schedules *ui, int dayOfWeek)
{
    QCheckBox *const boxes[] = {ui->dayBox1, ui->dayBox2, ui->dayBox3, ui->dayBox4,
                                ui->dayBox5, ui->dayBox6, ui->dayBox7};
    return boxes[dayOfWeek - 1];
}

} // namespace

Dialog_Schedules::Dialog_Schedules(const QList<Schedule> &schedules, const Settings &settings,
                                   const ShowNames &names, bool english, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Dialog_Schedules>())
    , m_text(english)
    , m_names(names)
{
    ui->setupUi(this);
    m_banner = new ErrorBanner(ui->navLabel, {}, this);
    ui->nameEdit->setMaxLength(Schedule::MaxNameLength);
    ui->lateSpin->setMaximum(Scheduler::MaxLateMinutes);
    ui->actionBox->addItems({QString(), QString(), QString(), QString()});
    m_names.fillProcessors(ui->processorBox, 0);
    m_names.fillPresets(ui->presetBox, 0);
    for (const QByteArray &zone : QTimeZone::availableTimeZoneIds())
        ui->zoneBox->addItem(QString::fromUtf8(zone));
    const QByteArray zone = settings.timeZone.isEmpty() ? QTimeZone::systemTimeZoneId() : settings.timeZone;
    ui->zoneBox->setCurrentIndex(ui->zoneBox->findText(QString::fromUtf8(zone)));
    ui->lateSpin->setValue(settings.lateMinutes);
    ui->pauseBox->setChecked(settings.handRecallPauses);
    m_schedulesOn = settings.schedulesOn;
    ui->dateEdit->setDate(QDate::currentDate());
    for (const Schedule &schedule : schedules)
        addSchedule(schedule);

    connect(ui->scheduleTable, &QTableWidget::currentCellChanged, this, [this](int row) {
        storeForm();
        showSchedule(row);
    });
    // The switch in the list and the form's are one.
    connect(ui->scheduleTable, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (item->column() != On || item->row() >= m_schedules.size())
            return;
        m_schedules[item->row()].enabled = item->checkState() == Qt::Checked;
        if (item->row() == m_current)
            ui->enabledBox->setChecked(m_schedules.at(m_current).enabled);
    });
    connect(ui->enabledBox, &QCheckBox::toggled, this, [this](bool on) {
        if (QTableWidgetItem *item = ui->scheduleTable->item(m_current, On))
            item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    });
    connect(ui->addButton, &QPushButton::clicked, this, [this] {
        Schedule schedule;
        schedule.name = freeName();
        schedule.time = QTime(8, 0);
        schedule.days = Schedule::EveryDay;
        addSchedule(schedule);
    });
    connect(ui->removeButton, &QPushButton::clicked, this, &Dialog_Schedules::removeSchedule);
    connect(ui->actionBox, qOverload<int>(&QComboBox::currentIndexChanged), this, &Dialog_Schedules::showKind);
    connect(ui->daysRadio, &QRadioButton::toggled, this, &Dialog_Schedules::showKind);
    connect(ui->processorBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this] { m_names.fillPresets(ui->presetBox, ui->processorBox->currentData().toInt()); });
    connect(ui->zoneBox, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] {
        for (int row = 0; row < m_schedules.size(); ++row)
            showSummary(row);
    });
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &Dialog_Schedules::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &Dialog_Schedules::reject);
    setTexts();
    ui->scheduleTable->setCurrentCell(schedules.isEmpty() ? -1 : 0, Name);
    showSchedule(ui->scheduleTable->currentRow());
}

Dialog_Schedules::~Dialog_Schedules() = default;

void Dialog_Schedules::setEnglish(bool english)
{
    m_text.setEnglish(english);
    setTexts();
}

void Dialog_Schedules::setNextOccurrence(const NextOccurrence &next)
{
    m_next = next;
    for (int row = 0; row < m_schedules.size(); ++row)
        showSummary(row);
}

Dialog_Schedules::Settings Dialog_Schedules::settings() const
{
    return {ui->zoneBox->currentText().toUtf8(), ui->lateSpin->value(), ui->pauseBox->isChecked(), m_schedulesOn};
}

void Dialog_Schedules::setTexts()
{
    setWindowTitle(m_text("Schedules", "定时"));
    ButtonBoxTexts::apply(ui->buttonBox, m_text);
    ui->scheduleTable->setHorizontalHeaderLabels(
        {m_text("On", "启用"), m_text("Name", "名称"), m_text("When and what", "时间与动作"), m_text("Next", "下次")});
    ui->addButton->setText(m_text("Add", "添加"));
    ui->removeButton->setText(m_text("Remove", "删除"));
    ui->nameLabel->setText(m_text("Name", "名称"));
    ui->enabledBox->setText(m_text("Enabled", "启用"));
    ui->timeLabel->setText(m_text("Time", "时间"));
    ui->daysRadio->setText(m_text("On weekdays", "按星期"));
    ui->dateRadio->setText(m_text("On a date", "指定日期"));
    const char *const en[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    const char *const zh[] = {"周一", "周二", "周三", "周四", "周五", "周六", "周日"};
    for (int day = Qt::Monday; day <= Qt::Sunday; ++day)
        dayBox(ui.get(), day)->setText(m_text(en[day - 1], zh[day - 1]));
    ui->actionLabel->setText(m_text("Action", "动作"));
    ui->actionBox->setItemText(int(Schedule::Action::RecallPreset), m_text("Recall a preset", "调用场景"));
    ui->actionBox->setItemText(int(Schedule::Action::RecallLook), m_text("Recall a look", "调用场景组"));
    ui->actionBox->setItemText(int(Schedule::Action::StartSequence), m_text("Start a sequence", "启动序列"));
    ui->actionBox->setItemText(int(Schedule::Action::StopSequence), m_text("Stop a sequence", "停止序列"));
    ui->processorLabel->setText(m_text("Processor", "处理器"));
    ui->presetLabel->setText(m_text("Preset", "场景"));
    ui->lookLabel->setText(m_text("Look", "场景组"));
    ui->sequenceLabel->setText(m_text("Sequence", "序列"));
    ui->stationGroup->setTitle(m_text("Station", "系统"));
    ui->zoneLabel->setText(m_text("Time zone", "时区"));
    ui->lateLabel->setText(m_text("Fire a missed trigger at start if at most this late",
                                  "启动时补发迟到不超过此时间的定时"));
    ui->lateSpin->setSuffix(m_text(" min", " 分钟"));
    ui->pauseBox->setText(m_text("A recall by hand pauses the sequences of that processor",
                                 "手动调用场景时暂停该处理器的序列"));
    for (int row = 0; row < m_schedules.size(); ++row)
        showSummary(row);
}

void Dialog_Schedules::addSchedule(const Schedule &schedule)
{
    storeForm();
    const int row = ui->scheduleTable->rowCount();
    ui->scheduleTable->insertRow(row);
    for (int column = On; column <= Next; ++column)
        ui->scheduleTable->setItem(row, column, new QTableWidgetItem);
    ui->scheduleTable->item(row, On)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    // Added once its row is there: the blank switch is not its state.
    m_schedules << schedule;
    showSummary(row);
    ui->scheduleTable->setCurrentCell(row, Name);
    ui->addButton->setEnabled(m_schedules.size() < ScheduleJson::MaxSchedules);
}

void Dialog_Schedules::removeSchedule()
{
    const int row = m_current;
    if (row < 0)
        return;
    // Forgotten first, so that the form is not kept into its successor.
    m_current = -1;
    m_schedules.removeAt(row);
    ui->scheduleTable->removeRow(row);
    showSchedule(ui->scheduleTable->currentRow());
    ui->addButton->setEnabled(true);
}

void Dialog_Schedules::storeForm()
{
    if (m_current < 0 || m_current >= m_schedules.size())
        return;
    m_schedules[m_current] = shownSchedule();
    showSummary(m_current);
}

Schedule Dialog_Schedules::shownSchedule() const
{
    Schedule schedule;
    schedule.name = ui->nameEdit->text();
    schedule.enabled = ui->enabledBox->isChecked();
    schedule.time = ui->timeEdit->time();
    if (ui->dateRadio->isChecked()) {
        schedule.date = ui->dateEdit->date();
    } else {
        for (int day = Qt::Monday; day <= Qt::Sunday; ++day)
            schedule.days |= dayBox(ui.get(), day)->isChecked() ? Schedule::dayBit(day) : 0;
    }
    schedule.action = Schedule::Action(ui->actionBox->currentIndex());
    switch (schedule.action) {
    case Schedule::Action::RecallPreset:
        schedule.processor = ui->processorBox->currentData().toInt();
        schedule.preset = ui->presetBox->currentData().toInt();
        break;
    case Schedule::Action::RecallLook:
        schedule.target = ui->lookBox->currentText();
        break;
    case Schedule::Action::StartSequence:
    case Schedule::Action::StopSequence:
        schedule.target = ui->sequenceBox->currentText();
        break;
    }
    return schedule;
}

void Dialog_Schedules::showSchedule(int row)
{
    m_current = row;
    const Schedule schedule = m_schedules.value(row);
    ui->nameEdit->setText(schedule.name);
    ui->enabledBox->setChecked(schedule.enabled);
    ui->timeEdit->setTime(schedule.time);
    (schedule.date.isValid() ? ui->dateRadio : ui->daysRadio)->setChecked(true);
    if (schedule.date.isValid())
        ui->dateEdit->setDate(schedule.date);
    for (int day = Qt::Monday; day <= Qt::Sunday; ++day)
        dayBox(ui.get(), day)->setChecked(schedule.days & Schedule::dayBit(day));
    showAction(schedule);
    const QList<QWidget *> fields{ui->nameEdit, ui->enabledBox, ui->timeEdit, ui->daysRadio,
                                  ui->dateRadio, ui->actionBox, ui->removeButton};
    for (QWidget *field : fields)
        field->setEnabled(row >= 0);
    showKind();
}

void Dialog_Schedules::showAction(const Schedule &schedule)
{
    ui->actionBox->setCurrentIndex(int(schedule.action));
    m_names.fillProcessors(ui->processorBox, schedule.processor);
    ui->presetBox->setCurrentIndex(ui->presetBox->findData(schedule.preset));
    const bool look = schedule.action == Schedule::Action::RecallLook;
    ShowNames::fillNames(ui->lookBox, m_names.looks, look ? schedule.target : QString());
    ShowNames::fillNames(ui->sequenceBox, m_names.sequences, look ? QString() : schedule.target);
}

// Only the fields of the chosen action and day rule can be edited.
void Dialog_Schedules::showKind()
{
    const bool editing = m_current >= 0;
    const auto action = Schedule::Action(ui->actionBox->currentIndex());
    ui->processorBox->setEnabled(editing && action == Schedule::Action::RecallPreset);
    ui->presetBox->setEnabled(editing && action == Schedule::Action::RecallPreset);
    ui->lookBox->setEnabled(editing && action == Schedule::Action::RecallLook);
    ui->sequenceBox->setEnabled(editing && (action == Schedule::Action::StartSequence
                                            || action == Schedule::Action::StopSequence));
    for (int day = Qt::Monday; day <= Qt::Sunday; ++day)
        dayBox(ui.get(), day)->setEnabled(editing && ui->daysRadio->isChecked());
    ui->dateEdit->setEnabled(editing && ui->dateRadio->isChecked());
}

void Dialog_Schedules::showSummary(int row)
{
    const Schedule &schedule = m_schedules.at(row);
    ui->scheduleTable->item(row, On)->setCheckState(schedule.enabled ? Qt::Checked : Qt::Unchecked);
    ui->scheduleTable->item(row, Name)->setText(schedule.name);
    ui->scheduleTable->item(row, When)->setText(schedule.describe(m_text.english()));
    const QByteArray zone = ui->zoneBox->currentText().toUtf8();
    const QDateTime next = m_next && schedule.enabled ? m_next(schedule, zone) : QDateTime();
    ui->scheduleTable->item(row, Next)->setText(
        next.isValid() ? next.toTimeZone(QTimeZone(zone)).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString());
}

QString Dialog_Schedules::freeName() const
{
    const auto taken = [this](const QString &name) {
        return std::any_of(m_schedules.cbegin(), m_schedules.cend(), [&name](const Schedule &schedule) {
            return schedule.name.compare(name, Qt::CaseInsensitive) == 0;
        });
    };
    const QString base = m_text("Schedule", "定时");
    QString name = base;
    for (int number = 2; taken(name); ++number)
        name = QStringLiteral("%1 %2").arg(base).arg(number);
    return name;
}

// The schedules are held to the rules of the file they are kept in.
void Dialog_Schedules::accept()
{
    storeForm();
    QString why;
    ScheduleJson::listFromJson(ScheduleJson::listToJson(m_schedules), &why);
    if (!why.isEmpty()) {
        m_banner->show(why);
        return;
    }
    emit schedulesAccepted(m_schedules, settings());
    QDialog::accept();
}
