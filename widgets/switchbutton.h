#ifndef SWITCHBUTTON_H
#define SWITCHBUTTON_H

#include <QAbstractButton>

class QVariantAnimation;

// An on/off switch: a pill whose knob slides to the right when the switch is
// on. The free side of the pill shows the text of the current state. It is a
// checkable button, so a click or the Space key toggles it and toggled(bool)
// reports every change.
class SwitchButton : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(QString textOn READ textOn WRITE setTextOn)
    Q_PROPERTY(QString textOff READ textOff WRITE setTextOff)

public:
    explicit SwitchButton(QWidget *parent = nullptr);

    QString textOn() const { return m_textOn; }
    void setTextOn(const QString &text);
    QString textOff() const { return m_textOff; }
    void setTextOff(const QString &text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void slideKnob(bool on);
    void storeText(QString &member, const QString &text);
    QColor trackColor() const;

    QString m_textOn;
    QString m_textOff;
    // Knob position: 0 at the left (off), 1 at the right (on).
    qreal m_position = 0;
    QVariantAnimation *m_slide;
};

#endif // SWITCHBUTTON_H
