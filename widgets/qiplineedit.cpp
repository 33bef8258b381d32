#include "qiplineedit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace {

constexpr int Octets = 4;
constexpr int Spacing = 10;
constexpr int OctetDigits = 3;
constexpr int OctetMax = 255;
constexpr int DotOffset = 3; // from the end of a field to its dot
constexpr int DotSize = 4;

const QString OctetPattern = QStringLiteral("(2[0-5]{2}|2[0-4][0-9]|1?[0-9]{1,2})");
const QString AddressPattern = QStringLiteral(
    "\\b(?:(?:25[0-5]|2[0-4][0-9]|[01]?[0-9][0-9]?)\\.){3}"
    "(?:25[0-5]|2[0-4][0-9]|[01]?[0-9][0-9]?)\\b");

enum class Placement { Start, End, All };

void place(QLineEdit *field, Placement placement)
{
    field->setFocus(Qt::OtherFocusReason);
    switch (placement) {
    case Placement::Start:
        field->setCursorPosition(0);
        break;
    case Placement::End:
        field->setCursorPosition(field->text().size());
        break;
    case Placement::All:
        field->selectAll();
        break;
    }
}

bool isDigitKey(int key)
{
    return key >= Qt::Key_0 && key <= Qt::Key_9;
}

} // namespace

QIPLineEdit::QIPLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setReadOnly(true);
    auto *layout = new QHBoxLayout(this);
    layout->setSpacing(Spacing);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *validator = new QRegularExpressionValidator(QRegularExpression(OctetPattern), this);
    QPalette transparentBase = palette();
    transparentBase.setColor(QPalette::Base, Qt::transparent);
    for (int i = 0; i < Octets; ++i) {
        auto *field = new QLineEdit(this);
        field->setFrame(false);
        field->setMaxLength(OctetDigits);
        field->setAlignment(Qt::AlignCenter);
        field->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        field->setPalette(transparentBase); // the editor's frame and background show through
        field->setValidator(validator);
        field->installEventFilter(this);
        layout->addWidget(field);
        m_octetEdits << field;
    }
}

void QIPLineEdit::setText(const QString &ip)
{
    static const QRegularExpression address(QRegularExpression::anchoredPattern(AddressPattern));
    if (!address.match(ip).hasMatch())
        return;
    const QStringList parts = ip.split(QLatin1Char('.'));
    for (int i = 0; i < Octets; ++i)
        m_octetEdits.at(i)->setText(parts.at(i));
}

QString QIPLineEdit::text() const
{
    QStringList parts;
    for (const QLineEdit *field : m_octetEdits)
        parts << field->text();
    return parts.join(QLatin1Char('.'));
}

bool QIPLineEdit::eventFilter(QObject *watched, QEvent *event)
{
    const int index = m_octetEdits.indexOf(qobject_cast<QLineEdit *>(watched));
    if (index < 0)
        return QLineEdit::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress)
        handleKey(index, static_cast<QKeyEvent *>(event)->key());
    emit charge();
    return false; // the field still edits and validates the key itself
}

void QIPLineEdit::handleKey(int index, int key)
{
    QLineEdit *field = m_octetEdits.at(index);
    const QString digits = field->text();
    const int cursor = field->cursorPosition();
    const bool last = index == Octets - 1;
    switch (key) {
    case Qt::Key_Right:
        if (cursor == digits.size() && !last)
            place(m_octetEdits.at(index + 1), Placement::Start);
        return;
    case Qt::Key_Left:
    case Qt::Key_Backspace:
        if (cursor == 0 && index > 0)
            place(m_octetEdits.at(index - 1), Placement::End);
        return;
    default:
        break;
    }
    if (!isDigitKey(key) || field->hasSelectedText())
        return;
    const int value = digits.toInt();
    if (digits.size() >= OctetDigits || value * 10 > OctetMax) {
        if (!last)
            place(m_octetEdits.at(index + 1), Placement::All);
    } else if (digits.size() == 2 && value != 0 && value * 10 < OctetMax && key == Qt::Key_0) {
        field->setText(QString(digits).insert(cursor, QLatin1Char('0')));
    }
}

void QIPLineEdit::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    const int y = height() / 2 - DotSize / 2;
    int x = DotOffset - Spacing;
    for (int i = 0; i < Octets - 1; ++i) {
        x += m_octetEdits.at(i)->width() + Spacing;
        painter.drawEllipse(x, y, DotSize, DotSize);
    }
}
