#include "dialog_verify.h"
#include "ui_dialog_verify.h"

#include <devicedata.h>
#include <presetcheck.h>

namespace {

struct KindText
{
    int kind;
    const char *english;
    const char *chinese;
};

constexpr KindText KindTexts[] = {
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

QString presetName(int preset)
{
    return QStringLiteral("M%1").arg(preset + 1);
}

} // namespace

Dialog_Verify::Dialog_Verify(bool isEnglish, const PresetCheck &check, const DeviceData &host,
                             const DeviceData &device, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Dialog_Verify)
    , text(isEnglish)
{
    ui->setupUi(this);
    setWindowTitle(text("Data Verify", "数据校验"));
    ui->sendButton->setText(text("Send mine", "发送本机数据"));
    ui->takeButton->setText(text("Take the device's", "采用设备数据"));
    ui->closeButton->setText(text("Close", "关闭"));
    ui->summaryLabel->setText(text("%1 of 16 presets verified", "16个模式中%1个与设备一致")
                                  .arg(check.samePresets()));
    for (int m = 0; m < PresetCheck::Presets; ++m)
        ui->resultList->addItem(presetLine(m, check));
    ui->resultList->addItem(wallLine(check, host, device));
    ui->resultList->addItem(currentLine(check, host, device));

    const bool same = check.differingPresets().isEmpty() && check.wallSame() && check.currentSame();
    ui->sendButton->setEnabled(!same);
    ui->takeButton->setEnabled(!same);
    connect(ui->sendButton, &QPushButton::clicked, this, [this] {
        accept();
        emit sendMine();
    });
    connect(ui->takeButton, &QPushButton::clicked, this, [this] {
        accept();
        emit takeDevices();
    });
    connect(ui->closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

Dialog_Verify::~Dialog_Verify() = default;

QStringList Dialog_Verify::lines() const
{
    QStringList shown{ui->summaryLabel->text()};
    for (int row = 0; row < ui->resultList->count(); ++row)
        shown << ui->resultList->item(row)->text();
    return shown;
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
    for (const KindText &kind : KindTexts) {
        if (kinds & kind.kind)
            described << text(kind.english, kind.chinese);
    }
    return QStringLiteral("Win%1 %2").arg(window + 1).arg(described.join(text(" and ", "、")));
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
