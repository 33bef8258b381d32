#include "mybuttonbar.h"

#include <QAbstractButton>
#include <QSignalSpy>
#include <QtTest>

class TestMyButtonBar : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void initMakesExclusiveButtons();
    void clickAndSetSelIndexChoose();
    void toolTips();

private:
    QAbstractButton *button(int index) const { return m_bar->findChildren<QAbstractButton *>().at(index); }

    std::unique_ptr<MyButtonBar> m_bar;
};

void TestMyButtonBar::init()
{
    QStringList texts;
    for (int n = 1; n <= 16; ++n)
        texts << QStringLiteral("M%1").arg(n);
    m_bar = std::make_unique<MyButtonBar>();
    m_bar->init(texts, false);
    m_bar->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_bar.get()));
}

void TestMyButtonBar::cleanup()
{
    m_bar.reset();
}

void TestMyButtonBar::initMakesExclusiveButtons()
{
    QCOMPARE(m_bar->count(), 16);
    QCOMPARE(m_bar->selIndex(), -1);
    QCOMPARE(button(15)->text(), QStringLiteral("M16"));
    QVERIFY(button(3)->isCheckable());
    QVERIFY(button(0)->x() < button(1)->x());

    m_bar->init({QStringLiteral("A"), QStringLiteral("B")}, true);
    QCOMPARE(m_bar->findChildren<QAbstractButton *>().size(), 2);
    QTRY_VERIFY(button(0)->y() < button(1)->y());
}

void TestMyButtonBar::clickAndSetSelIndexChoose()
{
    QSignalSpy chosen(m_bar.get(), &MyButtonBar::seleteCharge);
    QTest::mouseClick(button(4), Qt::LeftButton);
    QTest::mouseClick(button(2), Qt::LeftButton);
    QTest::mouseClick(button(2), Qt::LeftButton);
    QCOMPARE(m_bar->selIndex(), 2);
    QVERIFY(!button(4)->isChecked());

    m_bar->setSelIndex(7);
    m_bar->setSelIndex(7);
    QCOMPARE(m_bar->selIndex(), 7);
    m_bar->setSelIndex(16);
    m_bar->setSelIndex(-1);
    QCOMPARE(m_bar->selIndex(), 7);

    QList<int> indexes;
    for (const QList<QVariant> &args : chosen)
        indexes << args.at(0).toInt();
    QCOMPARE(indexes, QList<int>({4, 2, 2, 7, 7}));
}

void TestMyButtonBar::toolTips()
{
    m_bar->setMyToolTips({QStringLiteral("Morning"), QStringLiteral("Evening")});
    QCOMPARE(button(1)->toolTip(), QStringLiteral("Evening"));
    QVERIFY(button(2)->toolTip().isEmpty());

    m_bar->setMyToolTip(QStringLiteral("nobody checked"));
    m_bar->setSelIndex(5);
    m_bar->setMyToolTip(QStringLiteral("Concert"));
    QStringList tips;
    for (int i = 0; i < 7; ++i)
        tips << button(i)->toolTip();
    QCOMPARE(tips, QStringList({"Morning", "Evening", "", "", "", "Concert", ""}));
}

QTEST_MAIN(TestMyButtonBar)
#include "tst_mybuttonbar.moc"
