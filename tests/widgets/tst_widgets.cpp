// The widgets of the dialogs: the picture-in-picture canvas, the address
// editor, the switch and the error banner.

// Mouse events go through the window, so a held button keeps reaching the
// canvas when the cursor leaves it.
#define QTEST_QPA_MOUSE_HANDLING

#include "errorbanner.h"
#include "mycanvas.h"
#include "navlabel.h"
#include "qiplineedit.h"
#include "switchbutton.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

constexpr int Main = 1;
constexpr int Pip = 0;

const QRect MainStart(20, 20, 160, 160);

QList<int> emitted(const QSignalSpy &spy)
{
    QList<int> which;
    for (const QList<QVariant> &args : spy)
        which << args.at(0).toInt();
    return which;
}

QList<QLineEdit *> fieldsOf(const QIPLineEdit &editor)
{
    return editor.findChildren<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

class TestWidgets : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void drag_data();
    void drag();
    void setTextAndText();
    void keys_data();
    void keys();
    void switchButtonToggles();
    void errorBannerDisablesTheWindowForAWhile();

private:
    // The picture-in-picture canvas, with room around it for drags past its edges.
    std::unique_ptr<QWidget> m_host;
    MyCanvas *m_canvas = nullptr;
};

void TestWidgets::init()
{
    m_host = std::make_unique<QWidget>();
    m_host->resize(1000, 620);
    m_canvas = new MyCanvas(m_host.get());
    m_canvas->setGeometry(60, 60, 871, 489);
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
}

void TestWidgets::cleanup()
{
    m_host.reset();
}

void TestWidgets::drag_data()
{
    QTest::addColumn<int>("grabbed");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QList<QPoint>>("moves");
    QTest::addColumn<QRect>("during"); // after the last move
    QTest::addColumn<QRect>("after");  // after the release
    QTest::addColumn<QList<int>>("signals");

    QTest::newRow("move main past top-left")
        << Main << QPoint(100, 100) << QList<QPoint>{{130, 140}, {20, 30}}
        << QRect(0, 0, 160, 160) << QRect(0, 0, 160, 160) << QList<int>{Main, Main};
    QTest::newRow("move pip to the bottom-right edge")
        << Pip << QPoint(280, 100) << QList<QPoint>{{870, 488}} << QRect(711, 329, 160, 160)
        << QRect(711, 329, 160, 160) << QList<int>{Pip};
    QTest::newRow("pip ignores a cursor outside the bounds")
        << Pip << QPoint(280, 100) << QList<QPoint>{{300, 100}, {900, 100}}
        << QRect(220, 20, 160, 160) << QRect(220, 20, 160, 160) << QList<int>{Pip};
    QTest::newRow("resize below the minimum")
        << Main << QPoint(178, 100) << QList<QPoint>{{100, 100}, {28, 100}}
        << QRect(20, 20, 81, 160) << QRect(20, 20, 81, 160) << QList<int>{Main};
    QTest::newRow("resize to exactly the minimum")
        << Main << QPoint(100, 178) << QList<QPoint>{{100, 29}} << QRect(20, 20, 160, 10)
        << QRect(20, 20, 160, 10) << QList<int>{Main};
    QTest::newRow("resize inside out")
        << Main << QPoint(178, 100) << QList<QPoint>{{5, 100}} << MainStart << MainStart
        << QList<int>{};
    QTest::newRow("resize across the left edge")
        << Main << QPoint(22, 100) << QList<QPoint>{{10, 100}, {-10, 100}}
        << QRect(QPoint(-10, 20), QPoint(179, 179)) << QRect(QPoint(10, 20), QPoint(179, 179))
        << QList<int>{Main};
    QTest::newRow("press outside both") << Main << QPoint(190, 300) << QList<QPoint>{{250, 350}}
                                        << MainStart << MainStart << QList<int>{};
}

void TestWidgets::drag()
{
    QFETCH(int, grabbed);
    QFETCH(QPoint, press);
    QFETCH(QList<QPoint>, moves);
    QSignalSpy moved(m_canvas, &MyCanvas::move_rect);
    const auto dragged = [&] { return grabbed == Main ? m_canvas->mainRect() : m_canvas->pipRect(); };
    const auto other = [&] { return grabbed == Main ? m_canvas->pipRect() : m_canvas->mainRect(); };
    const QRect otherStart = other();

    QTest::mousePress(m_canvas, Qt::LeftButton, {}, press);
    for (const QPoint &pos : moves)
        QTest::mouseMove(m_canvas, pos);
    QTEST(dragged(), "during");
    QTest::mouseRelease(m_canvas, Qt::LeftButton, {}, moves.last());
    QTEST(dragged(), "after");
    QCOMPARE(other(), otherStart);
    QTEST(emitted(moved), "signals");
    QCOMPARE(m_canvas->cursor().shape(), Qt::ArrowCursor);
}

void TestWidgets::setTextAndText()
{
    QIPLineEdit editor;
    QCOMPARE(editor.text(), QStringLiteral("..."));
    editor.setText(QStringLiteral("192.168.1.8"));
    QCOMPARE(editor.text(), QStringLiteral("192.168.1.8"));
    for (const char *bad : {"192.168.1.256", "1.2.3", "1.2.3.4.5", "a.b.c.d"}) {
        editor.setText(QLatin1String(bad));
        QCOMPARE(editor.text(), QStringLiteral("192.168.1.8"));
    }
}

void TestWidgets::keys_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("focus");
    QTest::addColumn<int>("focusCursor"); // -1: the focused field's text is selected

    const int k5 = Qt::Key_5;
    QTest::newRow("26 then 5 moves on") << "26.34.0.1" << 0 << 2 << k5 << "26.34.0.1" << 1 << -1;
    QTest::newRow("25 then 5") << "25.34.0.1" << 0 << 2 << k5 << "255.34.0.1" << 0 << 3;
    QTest::newRow("full field moves on") << "1.192.3.4" << 1 << 3 << k5 << "1.192.3.4" << 2 << -1;
    QTest::newRow("full last field") << "1.2.3.255" << 3 << 3 << k5 << "1.2.3.255" << 3 << 3;
    QTest::newRow("30 then 0 refused") << "30.2.3.4" << 0 << 2 << int(Qt::Key_0) << "30.2.3.4" << 1 << -1;
    QTest::newRow("right at end") << "12.34.5.6" << 0 << 2 << int(Qt::Key_Right) << "12.34.5.6" << 1 << 0;
    QTest::newRow("right at end of last") << "1.2.3.45" << 3 << 2 << int(Qt::Key_Right) << "1.2.3.45" << 3 << 2;
    QTest::newRow("left at start") << "12.34.5.6" << 1 << 0 << int(Qt::Key_Left) << "12.34.5.6" << 0 << 2;
    QTest::newRow("left at start of first") << "12.34.5.6" << 0 << 0 << int(Qt::Key_Left) << "12.34.5.6" << 0 << 0;
    QTest::newRow("backspace in empty") << "12.34..6" << 2 << 0 << int(Qt::Key_Backspace) << "12.34..6" << 1 << 2;
    QTest::newRow("backspace in empty first") << ".34.5.6" << 0 << 0 << int(Qt::Key_Backspace) << ".34.5.6" << 0 << 0;
}

void TestWidgets::keys()
{
    QFETCH(QString, before);
    QFETCH(int, field);
    QFETCH(int, cursor);
    QFETCH(int, key);
    QFETCH(QString, after);
    QFETCH(int, focus);
    QFETCH(int, focusCursor);

    QIPLineEdit editor;
    editor.resize(240, 30);
    editor.show();
    QApplication::setActiveWindow(&editor);
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    const QList<QLineEdit *> fields = fieldsOf(editor);
    const QStringList parts = before.split(QLatin1Char('.'));
    for (int i = 0; i < fields.size(); ++i)
        fields.at(i)->setText(parts.at(i));
    fields.at(field)->setFocus();
    fields.at(field)->setCursorPosition(cursor);

    QSignalSpy charge(&editor, &QIPLineEdit::charge);
    QTest::keyClick(fields.at(field), Qt::Key(key));
    QCOMPARE(editor.text(), after);
    QCOMPARE(QApplication::focusWidget(), fields.at(focus));
    if (focusCursor < 0)
        QCOMPARE(fields.at(focus)->selectedText(), fields.at(focus)->text());
    else
        QCOMPARE(fields.at(focus)->cursorPosition(), focusCursor);
    QVERIFY(!charge.isEmpty());
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
