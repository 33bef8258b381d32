#ifndef MYBUTTONBAR_H
#define MYBUTTONBAR_H

#include <QColor>
#include <QHash>
#include <QIcon>
#include <QStringList>
#include <QWidget>

class QAbstractButton;
class QColor;
class QBoxLayout;
class QButtonGroup;

// The preset buttons: a segmented bar of exclusive checkable buttons, one
// per text. Choosing a button, by a click or through setSelIndex(), emits
// seleteCharge() with its index, also when it was chosen already.
class MyButtonBar : public QWidget
{
    Q_OBJECT

public:
    explicit MyButtonBar(QWidget *parent = nullptr);

    // Replaces the buttons with one per text, in a row or, when vertical,
    // in a column.
    void init(const QStringList &texts, bool vertical);
    int count() const;
    // The checked button, -1 for none.
    int selIndex() const;

    // Tool tip i goes to button i.
    void setMyToolTips(const QStringList &tips);
    // The tool tip of the checked button.
    void setMyToolTip(const QString &tip);
    // A small dot of the colour on button i (none for an invalid colour),
    // and a note on its tool tip's second line.
    void setMark(int index, const QColor &colour, const QString &note);
    // Button i is marked on air (-1: none) in a colour of its own.
    void setOnAir(int index);
    // Checks button i without a word (-1: none).
    void check(int index);

public slots:
    void setSelIndex(int index);

signals:
    void seleteCharge(int index);

private:
    QAbstractButton *addButton(const QString &text, int index);
    static void setTip(QAbstractButton *button, const char *part, const QString &text);
    void clearButtons();
    static QString styleSheetFor(bool vertical);
    // One icon per colour: marks change often, and a new pixmap each time
    // would fill the icon cache with copies.
    QIcon dot(const QColor &colour);

    QBoxLayout *m_layout;
    QButtonGroup *m_group;
    QHash<QRgb, QIcon> m_dots;
};

#endif // MYBUTTONBAR_H
