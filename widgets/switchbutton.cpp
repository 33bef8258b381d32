#include "switchbutton.h"

#include <QPainter>
#include <QVariantAnimation>

SwitchButton::SwitchButton(QWidget *parent)
    : QAbstractButton(parent)
    , m_textOn(tr("ON"))
    , m_textOff(tr("OFF"))
    , m_slide(new QVariantAnimation(this))
{
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_slide->setDuration(120);
    m_slide->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_slide, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_position = value.toReal();
        update();
    });
    connect(this, &QAbstractButton::toggled, this, &SwitchButton::slideKnob);
}

void SwitchButton::setTextOn(const QString &text)
{
    storeText(m_textOn, text);
}

void SwitchButton::setTextOff(const QString &text)
{
    storeText(m_textOff, text);
}

void SwitchButton::storeText(QString &member, const QString &text)
{
    member = text;
    updateGeometry();
    update();
}

QSize SwitchButton::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    const int height = metrics.height() + 10;
    const int textWidth = qMax(metrics.horizontalAdvance(m_textOn), metrics.horizontalAdvance(m_textOff));
    // Text with a half-height margin on its outer side, then the knob.
    return QSize(textWidth + height * 3 / 2 + 4, height);
}

QSize SwitchButton::minimumSizeHint() const
{
    const int height = fontMetrics().height() + 10;
    return QSize(height * 2, height);
}

void SwitchButton::slideKnob(bool on)
{
    const qreal target = on ? 1.0 : 0.0;
    m_slide->stop();
    if (!isVisible()) {
        m_position = target;
        update();
        return;
    }
    m_slide->setStartValue(m_position);
    m_slide->setEndValue(target);
    m_slide->start();
}

QColor SwitchButton::trackColor() const
{
    const QColor color = isChecked() ? QColor(85, 170, 255) : QColor(170, 170, 170);
    return isEnabled() ? color : color.lighter(130);
}

void SwitchButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF track = QRectF(rect()).adjusted(1, 1, -1, -1);
    const qreal radius = track.height() / 2;
    if (hasFocus())
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    else
        painter.setPen(Qt::NoPen);
    painter.setBrush(trackColor());
    painter.drawRoundedRect(track, radius, radius);

    const qreal knobSize = track.height() - 4;
    const qreal travel = track.width() - knobSize - 4;
    const QRectF knob(track.left() + 2 + travel * m_position, track.top() + 2, knobSize, knobSize);

    // The text sits on the side the knob has left.
    QRectF textArea = track.adjusted(radius / 2, 0, -(knobSize + 2), 0);
    if (!isChecked())
        textArea.translate(knobSize + 2 - radius / 2, 0);
    painter.setPen(isChecked() ? Qt::white : QColor(60, 60, 60));
    painter.drawText(textArea, Qt::AlignCenter, isChecked() ? m_textOn : m_textOff);

    painter.setPen(QPen(QColor(0, 0, 0, 40), 1));
    painter.setBrush(Qt::white);
    painter.drawEllipse(knob);
}
