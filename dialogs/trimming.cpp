#include "trimming.h"
#include "ui_trimming.h"

#include "dialogslog.h"

#include <devicelimits.h>
#include <errorbanner.h>

#include <QRegularExpressionValidator>

#include <utility>

namespace {

constexpr int GroupSize = 10;   // ints per screen section in the table
constexpr int FieldLength = 7;
constexpr int MinStartX = -32;
constexpr int MinStartY = -8;
constexpr int MinSize = 1; // an empty picture would leave the window blank
constexpr int MaxInWidth = Limits::PictureWidth + Limits::TrimMarginX;
constexpr int MaxInHeight = Limits::PictureHeight + Limits::TrimMarginY;
// A picture of MaxInWidth x MaxInHeight starting at its lowest start ends here.
constexpr int MaxInRight = MinStartX + MaxInWidth;    // 1952
constexpr int MaxInBottom = MinStartY + MaxInHeight;  // 1088

struct Rule
{
    bool fails;
    int limitX;
    int limitY;
    const char *english;
    const char *chinese;
};

} // namespace

Trimming::Trimming(bool english, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Trimming)
    , text(english)
{
    ui->setupUi(this);
    edits = {ui->chEdit,    ui->in_xEdit,  ui->in_yEdit,  ui->in_wEdit, ui->in_hEdit,
             ui->out_xEdit, ui->out_yEdit, ui->out_wEdit, ui->out_hEdit};
    const QRegularExpression integer(QStringLiteral("^(0|[1-9][0-9]*|-[1-9][0-9]*)$"));
    for (QLineEdit *edit : std::as_const(edits)) {
        edit->setValidator(new QRegularExpressionValidator(integer, edit));
        edit->setMaxLength(FieldLength);
    }
    setTexts();
    // The dialog stays disabled while the message shows.
    m_banner = new ErrorBanner(ui->navLabel, ErrorBanner::DisablesWindow, this);
}

Trimming::~Trimming() = default;

void Trimming::initTrim(int id, const QList<int> &values, int outWidth, int outHeight)
{
    ui->winEdit->setText(QString::number(id + 1));
    winId = id;
    trimValues = values;
    maxOutX = outWidth + Limits::TrimMarginX;
    maxOutY = outHeight + Limits::TrimMarginY;
    if (values.size() % GroupSize != 0)
        qCWarning(lcDialogs) << "trimming table of" << values.size() << "ints: last section incomplete";
    // Only whole sections are listed, so every item has its ten values.
    ui->ledBox->clear();
    for (int base = 0; base + GroupSize <= values.size(); base += GroupSize)
        ui->ledBox->addItem(tr("LED%1").arg(values.at(base) + 1));
}

void Trimming::on_ledBox_currentIndexChanged(int index)
{
    currentLed = index;
    for (int j = 0; j < edits.size(); ++j) {
        edits.at(j)->setText(index < 0 ? QString()
                                       : QString::number(trimValues.at(GroupSize * index + 1 + j)));
    }
}

void Trimming::on_setButton_clicked()
{
    if (currentLed < 0)
        return;
    const int base = GroupSize * currentLed;
    QList<int> value;
    for (int j = 1; j < edits.size(); ++j) {
        const int number = edits.at(j)->text().toInt();
        trimValues[base + 1 + j] = number;
        value << number;
    }
    const QString failure = check(value);
    if (!failure.isEmpty()) {
        m_banner->show(failure);
        return;
    }
    emit endTrim(winId, trimValues.at(base), value);
}

void Trimming::setTexts()
{
    setWindowTitle(text("Trimming", "微调"));
    const struct
    {
        QLabel *label;
        const char *english;
        const char *chinese;
    } labels[] = {
        {ui->winlabel, "Window", "窗口"},
        {ui->ledlabel, "Across The Screen", "所跨屏"},
        {ui->chlabel, "Channel", "通道"},
        {ui->inlabel, "Input", "输入"},
        {ui->outlabel, "Output", "输出"},
        {ui->xlabel, "H_Start", "水平起始"},
        {ui->ylabel, "V_Start", "垂直起始"},
        {ui->wlabel, "Width", "水平宽度"},
        {ui->hlabel, "Height", "垂直高度"},
    };
    for (const auto &l : labels)
        l.label->setText(text(l.english, l.chinese));
    ui->setButton->setText(text("Setting", "设置"));
}

// The rules in the order they are checked; v holds the section's eight values.
QString Trimming::check(const QList<int> &v) const
{
    enum { InX, InY, InW, InH, OutX, OutY, OutW, OutH };
    const Rule rules[] = {
        {v[InX] < MinStartX || v[InY] < MinStartY, MinStartX, MinStartY,
         "In Numerical error:The min value of x is %1,min value of y is %2.",
         "输入数值错误：水平起始的最小值为%1，垂直起始的最小值为%2。"},
        {v[OutX] < MinStartX || v[OutY] < MinStartY, MinStartX, MinStartY,
         "Out Numerical error:The min value of x is %1,min value of y is %2.",
         "输出数值错误：水平起始的最小值为%1，垂直起始的最小值为%2。"},
        {v[InW] < MinSize || v[InH] < MinSize, MinSize, MinSize,
         "In Numerical error:The min value of width is %1,min value of height is %2.",
         "输入数值错误：水平宽度的最小值为%1，垂直高度的最小值为%2。"},
        {v[OutW] < MinSize || v[OutH] < MinSize, MinSize, MinSize,
         "Out Numerical error:The min value of width is %1,min value of height is %2.",
         "输出数值错误：水平宽度的最小值为%1，垂直高度的最小值为%2。"},
        {v[InW] > MaxInWidth || v[InH] > MaxInHeight, MaxInWidth, MaxInHeight,
         "In Numerical error:The max value of width is %1,max value of height is %2.",
         "输入数值错误：水平宽度的最大值为%1，垂直高度的最大值为%2。"},
        {v[OutW] > maxOutX || v[OutH] > maxOutY, maxOutX, maxOutY,
         "Out Numerical error:The max value of width is %1,max value of height is %2.",
         "输出数值错误：水平宽度的最大值为%1，垂直高度的最大值为%2。"},
        {v[InX] + v[InW] > MaxInRight || v[InY] + v[InH] > MaxInBottom, MaxInRight, MaxInBottom,
         "In Numerical error:The max value of x + widthis %1,max value of y + height is %2.",
         "输入数值错误：水平起始+水平宽度的最大值为%1，垂直起始+垂直高度的最大值为%2。"},
        {v[OutX] + v[OutW] > maxOutX || v[OutY] + v[OutH] > maxOutY, maxOutX, maxOutY,
         "Out Numerical error:The  max value of x + widthis %1,max value of y + height is %2.",
         "输出数值错误：水平起始+水平宽度的最大值为%1，垂直起始+垂直高度的最大值为%2。"},
    };
    for (const Rule &rule : rules) {
        if (rule.fails)
            return text(rule.english, rule.chinese).arg(rule.limitX).arg(rule.limitY);
    }
    return QString();
}
