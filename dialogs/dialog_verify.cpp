#include "dialog_verify.h"
#include "ui_dialog_verify.h"

#include <devicedata.h>

#include <QButtonGroup>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>

namespace {

struct PartText
{
    int part;
    const char *english;
    const char *chinese;
};

constexpr PartText KindTexts[] = {
    {PresetCheck::MissingOnDevice, "missing on the device", "设备上没有"},
    {PresetCheck::OnlyOnDevice, "only on the device", "仅设备上有"},
    {PresetCheck::Moved, "moved", "位置不同"},
    {PresetCheck::Resized, "resized", "大小不同"},
    {PresetCheck::InputChanged, "input changed", "信号源不同"},
    {PresetCheck::PictureChanged, "picture part changed", "画面区域不同"},
    {PresetCheck::CellsChanged, "placed otherwise among the windows of its screens", "在屏幕上的叠放不同"},
    {PresetCheck::OtherChanged, "other setting changed", "其他设置不同"},
    {PresetCheck::NotShownHere, "cannot be shown here (off the wall, no picture part or a full screen)",
     "本软件无法显示(超出拼接、无画面区域或屏幕已满)"},
};

constexpr PartText EntryTexts[] = {
    {PresetCheck::PictureSettings, "picture settings", "图像设置"},
    {PresetCheck::MainSignal, "main signal", "主信号"},
    {PresetCheck::SecondSignal, "second signal", "副信号"},
    {PresetCheck::Mode, "mode", "画面模式"},
    {PresetCheck::RectangleA, "rectangle A", "矩形A"},
    {PresetCheck::RectangleB, "rectangle B", "矩形B"},
    {PresetCheck::Captions, "captions", "字幕"},
};

// By Dialog_Verify::Choice.
const char *const ChoiceNames[] = {"", "mine", "device", "leave"};

QString presetName(int preset)
{
    return QStringLiteral("M%1").arg(preset + 1);
}

QString entryName(int entry)
{
    return QStringLiteral("In%1").arg(entry + 1);
}

} // namespace

Dialog_Verify::Dialog_Verify(bool isEnglish, const PresetCheck &check, const DeviceData &host,
                             const DeviceData &device, const QList<int> &changedHere, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Dialog_Verify)
    , text(isEnglish)
    , m_changedHere(changedHere)
{
    ui->setupUi(this);
    setWindowTitle(text("Data Verify", "数据校验"));
    ui->mineHeader->setText(text("Send mine", "发送本机数据"));
    ui->deviceHeader->setText(text("Take the device's", "采用设备数据"));
    ui->leaveHeader->setText(text("Leave it", "保持不变"));
    ui->applyButton->setText(text("Apply", "应用"));
    ui->closeButton->setText(text("Close", "关闭"));
    ui->summaryLabel->setText(summary(check));
    m_lines << ui->summaryLabel->text();

    // Presets on another wall go with it: the wall's choice is theirs.
    const bool wallSame = check.wallSame();
    const QList<Choice> all = {SendMine, TakeDevices, Leave};
    for (int m = 0; m < PresetCheck::Presets; ++m) {
        const bool offered = wallSame && !check.preset(m).same();
        addLine(presetName(m), presetLine(m, check), offered ? all : QList<Choice>(),
                changedHere.contains(m) ? SendMine : TakeDevices);
    }
    addLine(QStringLiteral("Wall"), wallLine(check, host, device), wallSame ? QList<Choice>() : all, Leave);
    addLine(QStringLiteral("Current"), currentLine(check, host, device),
            wallSame && !check.currentSame() ? all : QList<Choice>(), TakeDevices);
    for (const PresetCheck::EntryDifference &difference : check.entries())
        addLine(entryName(difference.entry), entryLine(difference), {TakeDevices, Leave}, TakeDevices);
    addLine(QString(), text("Trims: not read back from the device, so not compared", "微调: 无法从设备读回，未比较"));
    ui->resultGrid->setRowStretch(ui->resultGrid->rowCount(), 1);

    ui->applyButton->setEnabled(!m_choices.isEmpty());
    connect(ui->applyButton, &QPushButton::clicked, this, [this] {
        if (!takesConfirmed() || !writesConfirmed())
            return;
        accept();
        emit applied();
    });
    connect(ui->closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

Dialog_Verify::~Dialog_Verify() = default;

QStringList Dialog_Verify::lines() const
{
    return m_lines;
}

QStringList Dialog_Verify::choices() const
{
    QStringList chosen;
    for (const QString &part : m_parts)
        chosen << part + QLatin1Char('=') + QLatin1String(ChoiceNames[choice(part)]);
    return chosen;
}

QList<int> Dialog_Verify::presets(Choice choice) const
{
    return numbered(QStringLiteral("M"), PresetCheck::Presets, choice);
}

Dialog_Verify::Choice Dialog_Verify::wall() const
{
    return choice(QStringLiteral("Wall"));
}

Dialog_Verify::Choice Dialog_Verify::current() const
{
    return choice(QStringLiteral("Current"));
}

QList<int> Dialog_Verify::entries(Choice choice) const
{
    return numbered(QStringLiteral("In"), DeviceData::InCardEntries, choice);
}

// A line, and the choice's buttons under the headers when it offers one.
void Dialog_Verify::addLine(const QString &part, const QString &line, const QList<Choice> &offered, Choice chosen)
{
    const int row = ui->resultGrid->rowCount();
    auto *label = new QLabel(line, ui->resultRows);
    label->setWordWrap(true);
    ui->resultGrid->addWidget(label, row, 0);
    m_lines << line;
    if (offered.isEmpty())
        return;
    const QLabel *headers[] = {nullptr, ui->mineHeader, ui->deviceHeader, ui->leaveHeader};
    auto *group = new QButtonGroup(this);
    for (Choice c : offered) {
        auto *button = new QRadioButton(ui->resultRows);
        button->setObjectName(part + QLatin1Char('_') + QLatin1String(ChoiceNames[c]));
        button->setToolTip(headers[c]->text());
        group->addButton(button, c);
        ui->resultGrid->addWidget(button, row, c, Qt::AlignCenter);
    }
    group->button(chosen)->setChecked(true);
    m_choices.insert(part, group);
    m_parts << part;
}

Dialog_Verify::Choice Dialog_Verify::choice(const QString &part) const
{
    const QButtonGroup *group = m_choices.value(part);
    return group ? Choice(group->checkedId()) : Leave;
}

QList<int> Dialog_Verify::numbered(const QString &prefix, int count, Choice choice) const
{
    QList<int> chosen;
    for (int n = 0; n < count; ++n) {
        const QString part = prefix + QString::number(n + 1);
        if (m_choices.contains(part) && this->choice(part) == choice)
            chosen << n;
    }
    return chosen;
}

// Nothing of the host's is replaced before the operator says so.
bool Dialog_Verify::takesConfirmed()
{
    QString question;
    const QList<int> taken = presets(TakeDevices);
    if (wall() == TakeDevices) {
        question = text("Replace the wall and all 16 presets here with the device's? This program's data are first "
                        "kept in a dated copy beside MyConfigure.pd. As the wall changes, the undo histories of "
                        "all presets are emptied.",
                        "用设备的拼接和全部16个模式替换本机数据？本机数据会先另存为MyConfigure.pd旁带日期的备份。"
                        "拼接改变，所有模式的撤销记录将被清空。");
    } else if (!taken.isEmpty()) {
        question = text("Replace %1 here with the device's? This program's data are first kept in a dated copy "
                        "beside MyConfigure.pd, and Undo on a preset taken gives it back.",
                        "用设备的数据替换本机的%1？本机数据会先另存为MyConfigure.pd旁带日期的备份，"
                        "在该模式上撤销即可恢复。")
                       .arg(presetNames(taken));
    }
    return question.isEmpty() || asked(question);
}

QString Dialog_Verify::presetNames(const QList<int> &presets) const
{
    QStringList names;
    for (int m : presets)
        names << presetName(m);
    return names.join(text(", ", "、"));
}

// No is the default: nothing is replaced by a key pressed in passing.
bool Dialog_Verify::asked(const QString &question)
{
    return QMessageBox::question(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No)
        == QMessageBox::Yes;
}

// Nothing of the device's beyond what was changed here is overwritten
// before the operator says so.
bool Dialog_Verify::writesConfirmed()
{
    QString question;
    QList<int> unchanged;
    for (int m : presets(SendMine)) {
        if (!m_changedHere.contains(m))
            unchanged << m;
    }
    if (wall() == SendMine) {
        question = text("Write this program's wall and all 16 presets to the device? What the device holds is "
                        "first kept in a dated data file beside MyConfigure.pd (Data Import brings it back).",
                        "将本机的拼接和全部16个模式写入设备？设备现有数据会先另存为MyConfigure.pd旁带日期的数据文件"
                        "（可用数据导入恢复）。");
    } else if (!unchanged.isEmpty()) {
        question = text("Write %1 to the device? They were not changed here. What the device holds is first kept "
                        "in a dated data file beside MyConfigure.pd (Data Import brings it back).",
                        "将%1写入设备？这些模式并非本机修改。设备现有数据会先另存为MyConfigure.pd旁带日期的数据文件"
                        "（可用数据导入恢复）。")
                       .arg(presetNames(unchanged));
    }
    return question.isEmpty() || asked(question);
}

// "16 of 16 presets verified" only when nothing else differs either.
QString Dialog_Verify::summary(const PresetCheck &check) const
{
    QStringList others;
    if (!check.wallSame())
        others << text("the wall", "拼接");
    if (!check.currentSame())
        others << text("the current preset", "当前模式");
    const int entries = check.entries().size();
    if (entries > 0)
        others << (entries == 1 ? text("1 input", "1个输入") : text("%1 inputs", "%1个输入").arg(entries));
    if (others.isEmpty())
        return text("%1 of 16 presets verified", "16个模式中%1个与设备一致").arg(check.samePresets());
    return text("%1 of 16 presets the same; different: %2", "16个模式中%1个与设备一致；不同：%2")
        .arg(check.samePresets())
        .arg(others.join(text(", ", "、")));
}

// "M3: same", or "M3: 2 windows differ: Win4 moved, Win7 missing on the
// device", with "; stacked differently" when the layers differ.
QString Dialog_Verify::presetLine(int preset, const PresetCheck &check) const
{
    const PresetCheck::PresetDifference &difference = check.preset(preset);
    if (difference.same())
        return text("%1: same", "%1: 相同").arg(presetName(preset));
    QStringList parts;
    const int windows = difference.windows.size();
    if (windows > 0) {
        QStringList described;
        for (const PresetCheck::WindowDifference &w : difference.windows)
            described << windowText(w.window, w.kinds);
        const QString count = windows == 1 ? text("1 window differs", "1个窗口不同")
                                           : text("%1 windows differ", "%1个窗口不同").arg(windows);
        parts << count + QStringLiteral(": ") + described.join(text(", ", "，"));
    }
    if (difference.restacked)
        parts << text("stacked differently", "层次不同");
    return QStringLiteral("%1: %2").arg(presetName(preset), parts.join(text("; ", "；")));
}

QString Dialog_Verify::windowText(int window, int kinds) const
{
    QStringList described;
    for (const PartText &kind : KindTexts) {
        if (kinds & kind.part)
            described << text(kind.english, kind.chinese);
    }
    return QStringLiteral("Win%1 %2").arg(window + 1).arg(described.join(text(" and ", "、")));
}

QString Dialog_Verify::entryLine(const PresetCheck::EntryDifference &difference) const
{
    QStringList described;
    for (const PartText &part : EntryTexts) {
        if (difference.parts & part.part)
            described << text(part.english, part.chinese);
    }
    return text("%1 differs: %2", "%1 不同: %2").arg(entryName(difference.entry), described.join(text(", ", "、")));
}

QString Dialog_Verify::wallLine(const PresetCheck &check, const DeviceData &host,
                                const DeviceData &device) const
{
    if (check.wallSame())
        return text("Wall: same", "拼接: 相同");
    if (host.rows() == device.rows() && host.cols() == device.cols())
        return text("Wall: differs (screen sizes or resolution)", "拼接: 不同 (屏幕尺寸或分辨率)");
    return text("Wall: differs (device %1 x %2, here %3 x %4)", "拼接: 不同 (设备 %1 x %2, 本机 %3 x %4)")
        .arg(device.rows())
        .arg(device.cols())
        .arg(host.rows())
        .arg(host.cols());
}

QString Dialog_Verify::currentLine(const PresetCheck &check, const DeviceData &host,
                                   const DeviceData &device) const
{
    if (check.currentSame())
        return text("Current preset: same (%1)", "当前模式: 相同 (%1)").arg(presetName(host.curModel));
    return text("Current preset: device %1, here %2", "当前模式: 设备 %1, 本机 %2")
        .arg(presetName(device.curModel), presetName(host.curModel));
}
