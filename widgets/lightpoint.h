#ifndef LIGHTPOINT_H
#define LIGHTPOINT_H

#include <QColor>
#include <QWidget>

// A round signal lamp: a disc of the lamp colour with a dark rim and a soft
// highlight, scaled to the largest circle that fits the widget.
class LightPoint : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor bgColor READ bgColor WRITE setBgColor)

public:
    explicit LightPoint(QWidget *parent = nullptr);

    QColor bgColor() const { return m_bgColor; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void setBgColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_bgColor;
};

#endif // LIGHTPOINT_H
