#include "dialog_trimdata.h"
#include "ui_dialog_trimdata.h"

#include "dialogslog.h"

#include <devicelimits.h>
#include <errorbanner.h>

#include <QRegularExpressionValidator>

namespace {

constexpr int DataSize = 11;
constexpr int FieldLength = 6;
constexpr int PictureWidth = Limits::PictureWidth;
constexpr int PictureHeight = Limits::PictureHeight;
constexpr int MinSize = 1; // width and height of a picture part

void fill(const QList<QLineEdit *> &edits, const QList<int> &values)
{
    for (int i = 0; i < edits.size(); ++i)
        edits.at(i)->setText(QString::number(values.at(i)));
}

// Text that is not a whole number, such as "12.5", reads as 0.
QRect readRect(const QList<QLineEdit *> &edits)
{
    return QRect(edits.at(0)->text().toInt(), edits.at(1)->text().toInt(),
                 edits.at(2)->text().toInt(), edits.at(3)->text().toInt());
}

} // namespace

Dialog_trimdata::Dialog_trimdata(bool english, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Dialog_trimdata)
    , text(english)
{
    ui->setupUi(this);
    setTexts();
    inEdits = {ui->in_xEdit, ui->in_yEdit, ui->in_wEdit, ui->in_hEdit};
    outEdits = {ui->out_xEdit, ui->out_yEdit, ui->out_wEdit, ui->out_hEdit};
    const QRegularExpression digits(QStringLiteral("[0-9.]+$"));
    for (QLineEdit *edit : inEdits + outEdits) {
        edit->setValidator(new QRegularExpressionValidator(digits, edit));
        edit->setMaxLength(FieldLength);
    }
    connect(ui->in_but, &QPushButton::clicked, this, &Dialog_trimdata::applyInput);
    connect(ui->out_but, &QPushButton::clicked, this, &Dialog_trimdata::applyOutput);
    // The dialog stays disabled while the message shows, centred as the
    // dialog may have been resized.
    m_banner = new ErrorBanner(ui->navLabel, ErrorBanner::DisablesWindow | ErrorBanner::Centred, this);
}

Dialog_trimdata::~Dialog_trimdata() = default;

void Dialog_trimdata::setData(const QList<int> &values)
{
    if (values.size() != DataSize) {
        qCWarning(lcDialogs) << "trimming data of" << values.size() << "ints ignored";
        return;
    }
    winId = values.at(0);
    fill(outEdits, values.mid(1, 4));
    limitX = values.at(5);
    limitY = values.at(6);
    fill(inEdits, values.mid(7, 4));
}

void Dialog_trimdata::setTexts()
{
    setWindowTitle(text("Trimming Data", "微调数据"));
    const struct
    {
        QLabel *label;
        const char *english;
        const char *chinese;
    } labels[] = {
        {ui->inlabel, "Input", "输入"},       {ui->outlabel, "Output", "输出"},
        {ui->xlabel, "H_Start", "水平起始"}, {ui->ylabel, "V_Start", "垂直起始"},
        {ui->wlabel, "Width", "水平宽度"},   {ui->hlabel, "Height", "垂直高度"},
    };
    for (const auto &l : labels)
        l.label->setText(text(l.english, l.chinese));
    ui->in_but->setText(text("Setting", "设置"));
    ui->out_but->setText(text("Setting", "设置"));
}

void Dialog_trimdata::applyInput()
{
    const QRect rect = readRect(inEdits);
    if (fits(rect, PictureWidth, PictureHeight))
        emit setInRect(winId, rect);
}

void Dialog_trimdata::applyOutput()
{
    const QRect rect = readRect(outEdits);
    if (fits(rect, limitX, limitY))
        emit setOutRect(winId, QRectF(rect));
}

bool Dialog_trimdata::fits(const QRect &rect, int right, int bottom)
{
    if (rect.width() < MinSize || rect.height() < MinSize) {
        m_banner->show(text("Numerical error, the minimum value %1 X %2", "数值错误，最小值为 %1 X %2")
                      .arg(MinSize)
                      .arg(MinSize));
        return false;
    }
    if (rect.x() + rect.width() <= right && rect.y() + rect.height() <= bottom)
        return true;
    m_banner->show(text("Numerical error, the maximum value %1 X %2", "数值错误，最大值为 %1 X %2")
                  .arg(right)
                  .arg(bottom));
    return false;
}
