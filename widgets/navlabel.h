#ifndef NAVLABEL_H
#define NAVLABEL_H

#include <QLabel>

class QPainterPath;

// A label on a rounded coloured plate, optionally with an arrow on one side
// pointing at what it describes. Used as a caption and, shown and hidden, as
// a message banner over a dialog; long texts wrap.
class NavLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(ArrowPosition arrowPosition READ arrowPosition WRITE setArrowPosition)
    Q_PROPERTY(int arrowSize READ arrowSize WRITE setArrowSize)
    Q_PROPERTY(QColor bgColor READ bgColor WRITE setBgColor)
    Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor)

public:
    enum class ArrowPosition { None, Left, Right, Top, Bottom };
    Q_ENUM(ArrowPosition)

    explicit NavLabel(QWidget *parent = nullptr);

    ArrowPosition arrowPosition() const { return m_arrowPosition; }
    void setArrowPosition(ArrowPosition position);
    int arrowSize() const { return m_arrowSize; }
    void setArrowSize(int size);
    QColor bgColor() const { return m_bgColor; }
    void setBgColor(const QColor &color);
    QColor textColor() const;
    void setTextColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QMargins arrowMargins() const;
    QPainterPath plate() const;
    void updateMargins();

    ArrowPosition m_arrowPosition = ArrowPosition::None;
    int m_arrowSize = 8;
    QColor m_bgColor;
};

#endif // NAVLABEL_H
