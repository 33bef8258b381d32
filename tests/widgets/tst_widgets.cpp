#include "errorbanner.h"
#include "lightpoint.h"
#include "navlabel.h"
#include "switchbutton.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

bool isBluish(QRgb pixel)
{
    return qBlue(pixel) > qRed(pixel) + 60;
}

bool isReddish(QRgb pixel)
{
    return qRed(pixel) > 150 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
}

} // namespace

class TestWidgets : public QObject
{
    Q_OBJECT

private slots:
    void lightPointPaintsItsColour();
    void switchButtonToggles();
    void switchButtonTextsAndLook();
    void navLabelArrowTakesRoom_data();
    void navLabelArrowTakesRoom();
    void navLabelPaintsPlateAndArrow();
    void errorBannerDisablesTheWindowForAWhile();
};

void TestWidgets::lightPointPaintsItsColour()
{
    LightPoint lamp;
    QCOMPARE(lamp.sizeHint().width(), lamp.sizeHint().height());
    lamp.resize(80, 40);
    QVERIFY(!isBluish(lamp.grab().toImage().pixel(40, 30)));

    lamp.setBgColor(QColor(85, 170, 255));
    const QImage lit = lamp.grab().toImage();
    QVERIFY(isBluish(lit.pixel(40, 30)));
    // A circle: the sides of a wide widget stay empty.
    QVERIFY(!isBluish(lit.pixel(5, 20)));
    QVERIFY(!isBluish(lit.pixel(75, 20)));
}

void TestWidgets::switchButtonToggles()
{
    SwitchButton button;
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QSignalSpy toggled(&button, &SwitchButton::toggled);
    QVERIFY(button.focusPolicy() & Qt::TabFocus);

    QTest::mouseClick(&button, Qt::LeftButton);
    QVERIFY(button.isChecked());
    QTest::keyClick(&button, Qt::Key_Space);
    QVERIFY(!button.isChecked());
    button.setChecked(true);
    button.setChecked(true);
    QCOMPARE(toggled.count(), 3);
    QCOMPARE(toggled.at(1).at(0).toBool(), false);
    QCOMPARE(toggled.at(2).at(0).toBool(), true);
}

void TestWidgets::switchButtonTextsAndLook()
{
    SwitchButton button;
    button.setTextOn(QStringLiteral("Open"));
    button.setTextOff(QStringLiteral("Closed"));
    QCOMPARE(button.textOff(), QStringLiteral("Closed"));
    const QSize shortHint = button.sizeHint();
    button.setTextOn(QStringLiteral("Open for the whole night"));
    QVERIFY(button.sizeHint().width() > shortHint.width());

    // The white knob sits left when off and right when on, where the track
    // turns blue.
    button.resize(button.sizeHint());
    const int y = button.height() / 2;
    const int knobLeft = button.height() / 2;
    const int knobRight = button.width() - button.height() / 2;
    const QImage off = button.grab().toImage();
    QCOMPARE(off.pixel(knobLeft, y), qRgb(255, 255, 255));
    QVERIFY(!isBluish(off.pixel(knobRight, y)));
    button.setChecked(true);
    const QImage on = button.grab().toImage();
    QCOMPARE(on.pixel(knobRight, y), qRgb(255, 255, 255));
    QVERIFY(isBluish(on.pixel(3, y)));
}

void TestWidgets::navLabelArrowTakesRoom_data()
{
    QTest::addColumn<NavLabel::ArrowPosition>("position");
    QTest::addColumn<QSize>("growth");
    QTest::newRow("left") << NavLabel::ArrowPosition::Left << QSize(8, 0);
    QTest::newRow("right") << NavLabel::ArrowPosition::Right << QSize(8, 0);
    QTest::newRow("top") << NavLabel::ArrowPosition::Top << QSize(0, 8);
    QTest::newRow("bottom") << NavLabel::ArrowPosition::Bottom << QSize(0, 8);
}

void TestWidgets::navLabelArrowTakesRoom()
{
    QFETCH(NavLabel::ArrowPosition, position);
    QFETCH(QSize, growth);
    NavLabel label;
    label.setText(QStringLiteral("Caption"));
    const QSize plain = label.sizeHint();
    label.setArrowPosition(position);
    QCOMPARE(label.sizeHint(), plain + growth);
}

void TestWidgets::navLabelPaintsPlateAndArrow()
{
    NavLabel label;
    label.setBgColor(QColor(200, 0, 0));
    label.setText(QStringLiteral("Numerical error, the maximum value 1920 X 1080"));
    label.resize(100, 40);
    QImage image = label.grab().toImage();
    QVERIFY(isReddish(image.pixel(2, 20)));
    QVERIFY(isReddish(image.pixel(50, 4)));

    label.setArrowPosition(NavLabel::ArrowPosition::Left);
    image = label.grab().toImage();
    QVERIFY(isReddish(image.pixel(2, 20)));
    QVERIFY(!isReddish(image.pixel(2, 4)));

    label.setArrowPosition(NavLabel::ArrowPosition::Bottom);
    image = label.grab().toImage();
    QVERIFY(isReddish(image.pixel(50, 38)));
    QVERIFY(!isReddish(image.pixel(5, 38)));
}

// The operator reads the message before going on; a new one starts the
// time anew.
void TestWidgets::errorBannerDisablesTheWindowForAWhile()
{
    QWidget window;
    auto *label = new NavLabel(&window);
    ErrorBanner banner(label, ErrorBanner::DisablesWindow, &window);
    window.show();
    QVERIFY(label->isHidden());
    banner.show(QStringLiteral("Numerical error"));
    QVERIFY(label->isVisible() && !window.isEnabled());
    QCOMPARE(label->text(), QStringLiteral("Numerical error"));
    QTRY_VERIFY_WITH_TIMEOUT(window.isEnabled(), ErrorBanner::ShownMs + 5000);
    QVERIFY(label->isHidden());
}

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
