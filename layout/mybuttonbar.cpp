#include "mybuttonbar.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QVariant>

namespace {

constexpr int MarkSize = 8;

// Where a button sits in the bar, for the style sheet.
QString segment(int index, int count)
{
    if (count == 1)
        return QStringLiteral("only");
    if (index == 0)
        return QStringLiteral("first");
    return index == count - 1 ? QStringLiteral("last") : QStringLiteral("middle");
}

} // namespace

MyButtonBar::MyButtonBar(QWidget *parent)
    : QWidget(parent)
    , m_layout(new QBoxLayout(QBoxLayout::LeftToRight, this))
    , m_group(new QButtonGroup(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    connect(m_group, &QButtonGroup::idClicked, this, &MyButtonBar::seleteCharge);
}

void MyButtonBar::init(const QStringList &texts, bool vertical)
{
    clearButtons();
    m_layout->setDirection(vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    setStyleSheet(styleSheetFor(vertical));
    for (int i = 0; i < texts.size(); ++i)
        addButton(texts.at(i), i)->setProperty("segment", segment(i, texts.size()));
}

QAbstractButton *MyButtonBar::addButton(const QString &text, int index)
{
    auto *button = new QPushButton(text, this);
    button->setCheckable(true);
    // A click leaves the keyboard focus where it was, on the canvas.
    button->setFocusPolicy(Qt::TabFocus);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_group->addButton(button, index);
    m_layout->addWidget(button);
    return button;
}

void MyButtonBar::clearButtons()
{
    const QList<QAbstractButton *> buttons = m_group->buttons();
    for (QAbstractButton *button : buttons) {
        m_group->removeButton(button);
        delete button;
    }
}

int MyButtonBar::count() const
{
    return m_group->buttons().size();
}

int MyButtonBar::selIndex() const
{
    return m_group->checkedId();
}

void MyButtonBar::setMyToolTips(const QStringList &tips)
{
    const int n = qMin(tips.size(), count());
    for (int i = 0; i < n; ++i)
        setTip(m_group->button(i), "name", tips.at(i));
}

void MyButtonBar::setMyToolTip(const QString &tip)
{
    if (QAbstractButton *button = m_group->checkedButton())
        setTip(button, "name", tip);
}

void MyButtonBar::setMark(int index, const QColor &colour, const QString &note)
{
    QAbstractButton *button = m_group->button(index);
    if (!button)
        return;
    button->setIcon(colour.isValid() ? dot(colour) : QIcon());
    setTip(button, "note", note);
}

QIcon MyButtonBar::dot(const QColor &colour)
{
    auto cached = m_dots.constFind(colour.rgba());
    if (cached != m_dots.constEnd())
        return *cached;
    QPixmap pixmap(MarkSize, MarkSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(pixmap.rect());
    painter.end();
    return *m_dots.insert(colour.rgba(), QIcon(pixmap));
}

void MyButtonBar::setOnAir(int index)
{
    const QList<QAbstractButton *> buttons = m_group->buttons();
    for (QAbstractButton *button : buttons) {
        const bool onAir = m_group->id(button) == index;
        if (button->property("onAir").toBool() == onAir)
            continue;
        button->setProperty("onAir", onAir);
        button->style()->unpolish(button);
        button->style()->polish(button);
    }
}

// An exclusive group keeps one button checked: to check none it lets go.
void MyButtonBar::check(int index)
{
    if (QAbstractButton *button = m_group->button(index)) {
        button->setChecked(true);
    } else if (QAbstractButton *checked = m_group->checkedButton()) {
        m_group->setExclusive(false);
        checked->setChecked(false);
        m_group->setExclusive(true);
    }
}

// The tool tip is the preset's name, then the note of its mark.
void MyButtonBar::setTip(QAbstractButton *button, const char *part, const QString &text)
{
    button->setProperty(part, text);
    QStringList lines{button->property("name").toString(), button->property("note").toString()};
    lines.removeAll(QString());
    button->setToolTip(lines.join(QLatin1Char('\n')));
}

void MyButtonBar::setSelIndex(int index)
{
    QAbstractButton *button = m_group->button(index);
    if (!button)
        return;
    button->setChecked(true);
    emit seleteCharge(index);
}

// A segmented look: buttons share their borders, only the two ends of the
// bar are rounded, the checked button takes the selection blue and the one
// on air the red of a tally light.
QString MyButtonBar::styleSheetFor(bool vertical)
{
    const QStringList sides = vertical
        ? QStringList{"top", "top-left", "top-right", "bottom-left", "bottom-right"}
        : QStringList{"left", "top-left", "bottom-left", "top-right", "bottom-right"};
    return QStringLiteral(
               "QPushButton { border: 1px solid palette(dark); border-%1: none; padding: 4px 10px;"
               " min-width: 28px; background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
               " stop:0 palette(light), stop:1 palette(button)); }"
               "QPushButton:hover { background: palette(midlight); }"
               "QPushButton:pressed { background: palette(mid); }"
               "QPushButton:checked { background: rgb(85, 170, 255); color: white; }"
               "QPushButton:disabled { color: palette(mid); }"
               "QPushButton:checked:disabled { background: rgb(160, 196, 230); color: palette(light); }"
               "QPushButton[onAir=\"true\"] { background: rgb(200, 40, 40); color: white; }"
               "QPushButton[segment=\"first\"], QPushButton[segment=\"only\"] {"
               " border-%1: 1px solid palette(dark); border-%2-radius: 4px; border-%3-radius: 4px; }"
               "QPushButton[segment=\"last\"], QPushButton[segment=\"only\"] {"
               " border-%4-radius: 4px; border-%5-radius: 4px; }")
        .arg(sides.at(0), sides.at(1), sides.at(2), sides.at(3), sides.at(4));
}
