#include "qiplineedit.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

QList<QLineEdit *> fieldsOf(const QIPLineEdit &editor)
{
    return editor.findChildren<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

class TestQIPLineEdit : public QObject
{
    Q_OBJECT

private slots:
    void setTextAndText();
    void keys_data();
    void keys();
    void paintsDotsBetweenFields();
};

void TestQIPLineEdit::setTextAndText()
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

void TestQIPLineEdit::keys_data()
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
    QTest::newRow("right inside") << "12.34.5.6" << 0 << 1 << int(Qt::Key_Right) << "12.34.5.6" << 0 << 2;
    QTest::newRow("right at end of last") << "1.2.3.45" << 3 << 2 << int(Qt::Key_Right) << "1.2.3.45" << 3 << 2;
    QTest::newRow("left at start") << "12.34.5.6" << 1 << 0 << int(Qt::Key_Left) << "12.34.5.6" << 0 << 2;
    QTest::newRow("left at start of first") << "12.34.5.6" << 0 << 0 << int(Qt::Key_Left) << "12.34.5.6" << 0 << 0;
    QTest::newRow("backspace in empty") << "12.34..6" << 2 << 0 << int(Qt::Key_Backspace) << "12.34..6" << 1 << 2;
    QTest::newRow("backspace inside") << "12.34.5.6" << 1 << 2 << int(Qt::Key_Backspace) << "12.3.5.6" << 1 << 1;
    QTest::newRow("backspace in empty first") << ".34.5.6" << 0 << 0 << int(Qt::Key_Backspace) << ".34.5.6" << 0 << 0;
}

void TestQIPLineEdit::keys()
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

void TestQIPLineEdit::paintsDotsBetweenFields()
{
    QIPLineEdit editor;
    editor.resize(240, 30);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    const QImage image = editor.grab().toImage();
    const QList<QLineEdit *> fields = fieldsOf(editor);
    const int y = editor.height() / 2;
    for (int i = 0; i < 3; ++i) {
        const int gapMiddle = fields.at(i)->geometry().right() + 5;
        QVERIFY2(qGray(image.pixel(gapMiddle, y)) < 100, qPrintable(QString::number(i)));
        QVERIFY(qGray(image.pixel(fields.at(i)->geometry().center().x() + 10, y)) > 200); // off the cursor
    }
}

QTEST_MAIN(TestQIPLineEdit)
#include "tst_qiplineedit.moc"
