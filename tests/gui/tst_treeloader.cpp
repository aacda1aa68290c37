#include "TestSupport.h"
#include "TreeIcons.h"
#include "TreeLoader.h"
#include "TreeNodeItem.h"
#include "TreePath.h"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>

using namespace Quellon;
using QuellonTest::FixtureDatabase;

namespace {
const QString Area = QStringLiteral("area");
const QString ClientType = QStringLiteral("clttype");

void storeNode(Database &dm, const QString &flag, const QString &code, const QString &name, const QString &path)
{
    QVERIFY(QuellonTest::storeTreeNode(dm, flag, code, name, path));
}

// One line per node below item: indentation by depth, code and name.
void dump(const QTreeWidgetItem *item, int depth, QStringList &lines)
{
    for (int i = 0; i < item->childCount(); ++i) {
        const TreeNode node = TreeNodeItem::data(item->child(i));
        lines << QString(depth * 2, ' ') + node.code + ' ' + node.name;
        dump(item->child(i), depth + 1, lines);
    }
}
} // namespace

// A stored tree as the tree controls show it: shape, root, icons.
class TestTreeLoader : public QObject
{
    Q_OBJECT
private slots:
    void loaderBuildsTree_data();
    void loaderBuildsTree();
};

void TestTreeLoader::loaderBuildsTree_data()
{
    QTest::addColumn<QStringList>("rows"); // code|name, stored in this order
    QTest::addColumn<QStringList>("shape");
    QTest::newRow("three levels stored out of order")
        << QStringList{"002|乙", "001001001|甲一一", "001|甲", "001002|甲二", "001001|甲一", "002001|乙一"}
        << QStringList{"001 甲", "  001001 甲一", "    001001001 甲一一", "  001002 甲二", "002 乙", "  002001 乙一"};
    QTest::newRow("a lost parent row hangs its children on the nearest ancestor")
        << QStringList{"001|甲", "001001001|孤", "002|乙", "002001|乙一"}
        << QStringList{"001 甲", "  001001001 孤", "002 乙", "  002001 乙一"};
}

void TestTreeLoader::loaderBuildsTree()
{
    QFETCH(QStringList, rows);
    QFETCH(QStringList, shape);

    FixtureDatabase db;
    // Paths as the windows store them, composed from the parents' names.
    QHash<QString, QString> names;
    for (const QString &row : rows)
        names.insert(row.section('|', 0, 0), row.section('|', 1, 1));
    for (const QString &row : rows) {
        const QString code = row.section('|', 0, 0);
        QString path = TreePath::rootPath();
        for (int len = 3; len <= code.size(); len += 3) {
            if (names.contains(code.left(len)))
                path = TreePath::childPath(path, names.value(code.left(len)));
        }
        storeNode(db.dm(), Area, code, names.value(code), path);
    }
    storeNode(db.dm(), ClientType, "001", "别的树", "\\\\别的树");

    QTreeWidget tree;
    QTreeWidgetItem *root = TreeLoader::load(&tree, QStringLiteral("区域分类"), Area, db.dm());
    QCOMPARE(tree.topLevelItemCount(), 1);
    const TreeNode rootData = TreeNodeItem::data(root);
    QCOMPARE(rootData.codeLength, 0);
    QCOMPARE(rootData.code, QStringLiteral("000"));
    QCOMPARE(rootData.name, QStringLiteral("区域分类"));
    QCOMPARE(rootData.path, QStringLiteral("\\\\"));
    QStringList lines;
    dump(root, 0, lines);
    QCOMPARE(lines, shape);

    for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
        const TreeNode node = TreeNodeItem::data(*it);
        if (node.isRoot())
            continue;
        // The item sits below the node whose path is its path's parent.
        QCOMPARE(TreePath::parentOf(node.path), TreeNodeItem::data((*it)->parent()).path);
        QVERIFY(node.path.startsWith("\\\\") && !node.path.startsWith("\\\\\\"));
        QCOMPARE(node.codeLength, int(node.code.size()));
        if (node.depth() == 1) {
            QVERIFY((*it)->isExpanded() || (*it)->childCount() == 0);
            QCOMPARE(TreeIcons::imageIndex(*it, false), (*it)->childCount() > 0 ? 1 : 2);
            QCOMPARE(TreeIcons::imageIndex(*it, true), (*it)->childCount() > 0 ? 1 : 3);
        } else {
            QCOMPARE(TreeIcons::imageIndex(*it, false), 2);
            QCOMPARE(TreeIcons::imageIndex(*it, true), 3);
        }
    }
    QCOMPARE(TreeIcons::imageIndex(root, true), 0);

    // Loading again replaces the tree instead of adding to it.
    TreeLoader::load(&tree, QStringLiteral("区域分类"), Area, db.dm());
    QCOMPARE(tree.topLevelItemCount(), 1);
}

QTEST_MAIN(TestTreeLoader)
#include "tst_treeloader.moc"
