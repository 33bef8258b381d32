#include "channelmime.h"
#include "mynavtree.h"

#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QStringList SourceNames{"In1_SDI", "In2_DVI", "In3_VGA", "In4_CVBS", "In5_HDMI1", "In5_HDMI2", "In6_VGA"};
const QList<int> SourceIds{0, 1, 2, 3, 40, 41, 5};
const QList<int> SourceKinds{0, 1, 2, 3, 4, 5, 12};

} // namespace

class TestMyNavTree : public QObject
{
    Q_OBJECT

private slots:
    void dragCarriesTheChannel();
    void dropOnWindowChargesIt();
    void renameEmitsNewName();
    void rebuiltListKeepsItsIcons();

private:
    static void fillWindows(MyNavTree &tree);
    static bool drop(MyNavTree &tree, const QPoint &pos, const QMimeData &mime);
};

void TestMyNavTree::fillWindows(MyNavTree &tree)
{
    tree.addValue({"Win3 [In1]", "Win1 [In2_DVI3]", "Win2 []"}, {2, 0, 1}, {9, 9, 9});
}

// Delivers a drag that enters the viewport at pos and is dropped there.
bool TestMyNavTree::drop(MyNavTree &tree, const QPoint &pos, const QMimeData &mime)
{
    QWidget *viewport = tree.viewport();
    QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
    QDropEvent dropped(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &dropped);
    return dropped.isAccepted();
}

void TestMyNavTree::dragCarriesTheChannel()
{
    MyNavTree tree;
    tree.addValue(SourceNames, SourceIds, SourceKinds);
    const std::unique_ptr<QMimeData> mime(tree.channelMimeData(tree.model()->index(4, 0)));
    QVERIFY(mime);
    QCOMPARE(ChannelMime::channel(mime.get()), 40);
    QCOMPARE(mime->text(), QStringLiteral("In5_HDMI1"));

    fillWindows(tree);
    QVERIFY(!tree.channelMimeData(tree.model()->index(0, 0)));
    QVERIFY(!tree.channelMimeData(QModelIndex()));
}

void TestMyNavTree::dropOnWindowChargesIt()
{
    MyNavTree tree;
    tree.setDragDropMode(QAbstractItemView::DropOnly);
    fillWindows(tree);
    tree.resize(200, 300);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QSignalSpy charged(&tree, &MyNavTree::chargeSingle);

    QMimeData source;
    ChannelMime::setChannel(&source, 97);
    QVERIFY(drop(tree, tree.visualRect(tree.model()->index(1, 0)).center(), source));
    QCOMPARE(charged.count(), 1);
    QCOMPARE(charged.at(0).at(0).toInt(), 0);
    QCOMPARE(charged.at(0).at(1).toInt(), 97);

    QVERIFY(!drop(tree, QPoint(5, 290), source));
    QMimeData text;
    text.setText(QStringLiteral("97"));
    QVERIFY(!drop(tree, tree.visualRect(tree.model()->index(0, 0)).center(), text));
    QCOMPARE(charged.count(), 1);
}

void TestMyNavTree::renameEmitsNewName()
{
    MyNavTree tree;
    tree.addValue(SourceNames, SourceIds, SourceKinds);
    // As the main window does: store the name and rebuild the list at once.
    connect(&tree, &MyNavTree::chargedata, &tree, [&tree] { tree.addValue(SourceNames, SourceIds, SourceKinds); });
    QSignalSpy renamed(&tree, &MyNavTree::chargedata);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));

    tree.setCurrentIndex(tree.model()->index(1, 0));
    QTest::keyClick(tree.viewport(), Qt::Key_F2);
    auto *editor = tree.viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->setText(QStringLiteral("Camera"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(renamed.count(), 1);
    QCOMPARE(renamed.at(0).at(0).toInt(), 1);
    QCOMPARE(renamed.at(0).at(1).toString(), QStringLiteral("Camera"));

    fillWindows(tree);
    QVERIFY(!(tree.model()->flags(tree.model()->index(0, 0)) & Qt::ItemIsEditable));
}

// The list is rebuilt at every change of preset, for hours: an icon drawn
// anew each time would pile copies up in the icon cache.
void TestMyNavTree::rebuiltListKeepsItsIcons()
{
    MyNavTree tree;
    const auto icons = [&tree] {
        QList<qint64> keys;
        for (int row = 0; row < tree.model()->rowCount(); ++row)
            keys << tree.model()->index(row, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey();
        return keys;
    };
    tree.addValue(SourceNames, SourceIds, SourceKinds);
    const QList<qint64> first = icons();
    tree.addValue(SourceNames, SourceIds, SourceKinds);
    QCOMPARE(icons(), first);
    QVERIFY(first.at(0) != first.at(1));
}

QTEST_MAIN(TestMyNavTree)
#include "tst_mynavtree.moc"
