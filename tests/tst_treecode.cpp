#include "TestSupport.h"
#include "TreeCodeService.h"
#include "TreeIcons.h"
#include "TreeLoader.h"
#include "TreeNodeItem.h"
#include "TreePath.h"

#include <QSqlQuery>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>

using namespace Quellon;
using QuellonTest::FixtureDatabase;
using QuellonTest::MessageRecorder;

namespace {
const QString Area = QStringLiteral("area");
const QString ClientType = QStringLiteral("clttype");

void storeNode(TdmData &dm, const QString &flag, const QString &code, const QString &name, const QString &path)
{
    QVERIFY(dm.ExecSql("insert into t_treecode(F_code,F_name,F_likecode,F_flag) values(:c,:n,:p,:f)",
                       {{":c", code}, {":n", name}, {":p", path}, {":f", flag}}));
}

// "code|path" of every node of one tree, in code order.
QStringList storedTree(TdmData &dm, const QString &flag)
{
    QStringList rows;
    QSqlQuery q(dm.database());
    q.prepare("select F_code, F_name, F_likecode from t_treecode where F_flag = :f order by F_code");
    q.bindValue(":f", flag);
    q.exec();
    while (q.next())
        rows << q.value(0).toString() + '|' + q.value(1).toString() + '|' + q.value(2).toString();
    return rows;
}

QStringList storedPaths(TdmData &dm, const QString &table, const QString &column)
{
    QStringList paths;
    QSqlQuery q(dm.database());
    q.exec(QStringLiteral("select %1 from %2 order by F_mainID").arg(column, table));
    while (q.next())
        paths << (q.value(0).isNull() ? QStringLiteral("<null>") : q.value(0).toString());
    return paths;
}

void storeRecordPaths(TdmData &dm, const QString &table, const QString &column, const QStringList &paths)
{
    for (int i = 0; i < paths.size(); ++i)
        QVERIFY(dm.ExecSql(QStringLiteral("insert into %1(F_mainID, %2) values(:id, :p)").arg(table, column),
                           {{":id", i + 1}, {":p", paths.at(i)}}));
}

tNodeData nodeOf(const QString &code, const QString &name = {}, const QString &path = {})
{
    if (code.isEmpty())
        return {0, QStringLiteral("000"), QStringLiteral("所在区域"), TreePath::rootPath()};
    return {int(code.size()), code, name, path};
}

// One line per node below item: indentation by depth, code and name.
void dump(const QTreeWidgetItem *item, int depth, QStringList &lines)
{
    for (int i = 0; i < item->childCount(); ++i) {
        const tNodeData node = TreeNodeItem::data(item->child(i));
        lines << QString(depth * 2, ' ') + node.code + ' ' + node.name;
        dump(item->child(i), depth + 1, lines);
    }
}
} // namespace

class TestTreeCode : public QObject
{
    Q_OBJECT
private slots:
    void addNumbersNodes_data();
    void addNumbersNodes();
    void childPaths_data();
    void childPaths();
    void loaderBuildsTree_data();
    void loaderBuildsTree();
    void renameCascades_data();
    void renameCascades();
    void failedRenameChangesNothing_data();
    void failedRenameChangesNothing();
    void renameRefusesBadNames_data();
    void renameRefusesBadNames();
    void deleteStaysInItsSubtree_data();
    void deleteStaysInItsSubtree();
};

void TestTreeCode::addNumbersNodes_data()
{
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QStringList>("otherTreeCodes");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<bool>("child");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("refusal");

    const QString full = QStringLiteral("同一级下最多只能有 999 个节点，编号已用完，不能再增加！");
    QTest::newRow("first node of an empty tree") << QStringList{} << QStringList{} << "" << true << "001" << "";
    QTest::newRow("other tree's codes do not count")
        << QStringList{} << QStringList{"001", "002"} << "" << true << "001" << "";
    QTest::newRow("child of root after the first level")
        << QStringList{"001", "002", "002001"} << QStringList{} << "" << true << "003" << "";
    QTest::newRow("sibling at the first level")
        << QStringList{"001", "002", "002001"} << QStringList{} << "001" << false << "003" << "";
    QTest::newRow("first child of a leaf") << QStringList{"001", "002"} << QStringList{} << "002" << true << "002001" << "";
    QTest::newRow("child after a child that has children")
        << QStringList{"001", "001001", "001002", "001002005"} << QStringList{} << "001" << true << "001003" << "";
    QTest::newRow("sibling at level two past a deeper node")
        << QStringList{"001", "001001", "001003", "001003002"} << QStringList{} << "001001" << false << "001004" << "";
    QTest::newRow("998 is followed by 999") << QStringList{"001", "001998"} << QStringList{} << "001" << true << "001999" << "";
    QTest::newRow("full level refuses a child") << QStringList{"001", "001999"} << QStringList{} << "001" << true << "" << full;
    QTest::newRow("full level refuses a sibling")
        << QStringList{"001", "001005", "001999"} << QStringList{} << "001005" << false << "" << full;
    QTest::newRow("full first level") << QStringList{"999"} << QStringList{} << "" << true << "" << full;
    QTest::newRow("root has no siblings")
        << QStringList{"001"} << QStringList{} << "" << false << ""
        << "不能增加根节点的同类节点，该节点只能增加子节点！";
}

void TestTreeCode::addNumbersNodes()
{
    QFETCH(QStringList, codes);
    QFETCH(QStringList, otherTreeCodes);
    QFETCH(QString, selected);
    QFETCH(bool, child);
    QFETCH(QString, expected);
    QFETCH(QString, refusal);

    FixtureDatabase db;
    for (const QString &code : codes)
        storeNode(db.dm(), Area, code, "n" + code, "\\\\n" + code);
    for (const QString &code : otherTreeCodes)
        storeNode(db.dm(), ClientType, code, "n" + code, "\\\\n" + code);
    MessageRecorder messages;
    TreeCodeService service(db.dm(), Area);
    const auto relation = child ? TreeCodeService::Relation::Child : TreeCodeService::Relation::Sibling;
    const auto added = service.add(nodeOf(selected, "sel", "\\\\sel"), relation, "新节点", "\\\\P");

    const int stored = int(db.dm().QueryInt("select count(*) from t_treecode"));
    if (expected.isEmpty()) {
        QVERIFY(!added);
        QCOMPARE(messages.lastText(), refusal);
        QCOMPARE(stored, int(codes.size() + otherTreeCodes.size()));
    } else {
        QVERIFY(added);
        QCOMPARE(added->code, expected);
        QCOMPARE(messages.count(), 0);
        QCOMPARE(db.dm().QueryText("select F_likecode from t_treecode where F_flag = 'area' and F_code = :c", {{":c", expected}}),
                 QStringLiteral("\\\\P\\新节点"));
    }
}

void TestTreeCode::childPaths_data()
{
    QTest::addColumn<QString>("parentPath");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::newRow("first level has two leading backslashes") << "\\\\" << "华东" << "\\\\华东";
    QTest::newRow("second level") << "\\\\华东" << "上海" << "\\\\华东\\上海";
    QTest::newRow("name kept as typed") << "\\\\华东" << " O'Neil " << "\\\\华东\\ O'Neil ";
}

void TestTreeCode::childPaths()
{
    QFETCH(QString, parentPath);
    QFETCH(QString, name);
    QFETCH(QString, path);
    QCOMPARE(TreePath::childPath(parentPath, name), path);

    // Stored through the service under the same parent, the path is the same.
    FixtureDatabase db;
    TreeCodeService service(db.dm(), Area);
    const auto added = service.add(nodeOf({}), TreeCodeService::Relation::Child, name, parentPath);
    QVERIFY(added);
    QCOMPARE(db.dm().QueryText("select F_likecode from t_treecode"), path);
    QCOMPARE(db.dm().QueryText("select F_name from t_treecode"), name);
}

void TestTreeCode::loaderBuildsTree_data()
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

void TestTreeCode::loaderBuildsTree()
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
    const tNodeData rootData = TreeNodeItem::data(root);
    QCOMPARE(rootData.codeLength, 0);
    QCOMPARE(rootData.code, QStringLiteral("000"));
    QCOMPARE(rootData.name, QStringLiteral("区域分类"));
    QCOMPARE(rootData.path, QStringLiteral("\\\\"));
    QStringList lines;
    dump(root, 0, lines);
    QCOMPARE(lines, shape);

    for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
        const tNodeData node = TreeNodeItem::data(*it);
        if (node.isRoot())
            continue;
        // The stored path is what the path builder composes from the tree.
        QCOMPARE(TreeNodeItem::buildPath(*it, false), node.path);
        QCOMPARE(TreeNodeItem::buildPath(*it, true), TreeNodeItem::data((*it)->parent()).path);
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

namespace {
// Region or category tree used by the rename cases: A > A1 > X, AB > AB1,
// and in the other tree a node also named A.
void storeRenameFixture(TdmData &dm, const QString &flag, bool duplicateA)
{
    storeNode(dm, flag, "001", "A", "\\\\A");
    storeNode(dm, flag, "001001", "A1", "\\\\A\\A1");
    storeNode(dm, flag, "001001001", "X", "\\\\A\\A1\\X");
    storeNode(dm, flag, "002", "AB", "\\\\AB");
    storeNode(dm, flag, "002001", "AB1", "\\\\AB\\AB1");
    if (duplicateA)
        storeNode(dm, flag, "003", "A", "\\\\A");
    const QString other = flag == Area ? ClientType : Area;
    storeNode(dm, other, "001", "A", "\\\\A");
    storeNode(dm, other, "001001", "A1", "\\\\A\\A1");
}

const QStringList RecordPaths{"\\\\A", "\\\\A\\A1", "\\\\A\\A1\\X", "\\\\AB", "\\\\AB\\AB1", "\\\\a\\A1", "\\\\A1", ""};
} // namespace

void TestTreeCode::renameCascades_data()
{
    QTest::addColumn<QString>("flag");
    QTest::addColumn<bool>("duplicateA");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QStringList>("records");

    const QStringList renamedA{"001|C'D|\\\\C'D", "001001|A1|\\\\C'D\\A1", "001001001|X|\\\\C'D\\A1\\X", "002|AB|\\\\AB",
                               "002001|AB1|\\\\AB\\AB1"};
    const QStringList recordsA{"\\\\C'D", "\\\\C'D\\A1", "\\\\C'D\\A1\\X", "\\\\AB", "\\\\AB\\AB1", "\\\\a\\A1", "\\\\A1", ""};
    QTest::newRow("first level, regions") << Area << false << "001" << "C'D" << renamedA << recordsA;
    QTest::newRow("first level, client categories") << ClientType << false << "001" << "C'D" << renamedA << recordsA;
    QTest::newRow("second level")
        << Area << false << "001001" << "乙"
        << QStringList{"001|A|\\\\A", "001001|乙|\\\\A\\乙", "001001001|X|\\\\A\\乙\\X", "002|AB|\\\\AB", "002001|AB1|\\\\AB\\AB1"}
        << QStringList{"\\\\A", "\\\\A\\乙", "\\\\A\\乙\\X", "\\\\AB", "\\\\AB\\AB1", "\\\\a\\A1", "\\\\A1", ""};
    QTest::newRow("a path another node still has keeps its records")
        << Area << true << "001" << "C'D" << QStringList(renamedA) + QStringList{"003|A|\\\\A"} << RecordPaths;
}

void TestTreeCode::renameCascades()
{
    QFETCH(QString, flag);
    QFETCH(bool, duplicateA);
    QFETCH(QString, code);
    QFETCH(QString, newName);
    QFETCH(QStringList, tree);
    QFETCH(QStringList, records);

    FixtureDatabase db;
    storeRenameFixture(db.dm(), flag, duplicateA);
    storeRecordPaths(db.dm(), "House", "F_area", RecordPaths);
    storeRecordPaths(db.dm(), "Client", "F_cltType", RecordPaths);
    const QString other = flag == Area ? ClientType : Area;
    const QStringList otherTree = storedTree(db.dm(), other);

    MessageRecorder messages;
    TreeCodeService service(db.dm(), flag);
    const QString oldPath = db.dm().QueryText("select F_likecode from t_treecode where F_code = :c and F_flag = :f",
                                              {{":c", code}, {":f", flag}});
    const QString parentPath = code.size() == 3 ? TreePath::rootPath() : QStringLiteral("\\\\A");
    const auto renamed = service.rename(nodeOf(code, "old", oldPath), newName, parentPath);
    QVERIFY(renamed);
    QCOMPARE(renamed->name, newName);
    QCOMPARE(renamed->code, code);
    QCOMPARE(messages.count(), 0);

    QCOMPARE(storedTree(db.dm(), flag), tree);
    QCOMPARE(storedTree(db.dm(), other), otherTree);
    const bool regions = flag == Area;
    QCOMPARE(storedPaths(db.dm(), "House", "F_area"), regions ? records : RecordPaths);
    QCOMPARE(storedPaths(db.dm(), "Client", "F_cltType"), regions ? RecordPaths : records);
}

void TestTreeCode::failedRenameChangesNothing_data()
{
    QTest::addColumn<QString>("flag");
    QTest::addColumn<QString>("trigger");
    QTest::newRow("region records cannot be written")
        << Area << "create trigger refuse before update on House begin select raise(abort, 'refused'); end";
    QTest::newRow("category records cannot be written")
        << ClientType << "create trigger refuse before update on Client begin select raise(abort, 'refused'); end";
    QTest::newRow("descendants cannot be written")
        << Area
        << "create trigger refuse before update on t_treecode when old.F_code <> '001' begin select raise(abort, 'refused'); end";
}

void TestTreeCode::failedRenameChangesNothing()
{
    QFETCH(QString, flag);
    QFETCH(QString, trigger);

    FixtureDatabase db;
    storeRenameFixture(db.dm(), flag, false);
    storeRecordPaths(db.dm(), "House", "F_area", RecordPaths);
    storeRecordPaths(db.dm(), "Client", "F_cltType", RecordPaths);
    QVERIFY(db.dm().ExecSql(trigger));
    const QStringList before = storedTree(db.dm(), flag);

    MessageRecorder messages;
    TreeCodeService service(db.dm(), flag);
    QVERIFY(!service.rename(nodeOf("001", "A", "\\\\A"), "新名", TreePath::rootPath()));
    QCOMPARE(messages.lastKind(), int(MessError));
    QVERIFY(messages.lastText().startsWith(QStringLiteral("数据连接失败，请与作者联系... ")));
    QCOMPARE(storedTree(db.dm(), flag), before);
    QCOMPARE(storedPaths(db.dm(), "House", "F_area"), RecordPaths);
    QCOMPARE(storedPaths(db.dm(), "Client", "F_cltType"), RecordPaths);
    QCOMPARE(db.dm().transactionDepth(), 0);
}

void TestTreeCode::renameRefusesBadNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("blank") << "   " << "部门名称不能为空！";
    QTest::newRow("backslash") << "A\\B" << "名称中不能含有反斜杠“\\”，它是路径的分隔符！";
}

void TestTreeCode::renameRefusesBadNames()
{
    QFETCH(QString, name);
    QFETCH(QString, message);

    FixtureDatabase db;
    storeRenameFixture(db.dm(), Area, false);
    const QStringList before = storedTree(db.dm(), Area);
    MessageRecorder messages;
    TreeCodeService service(db.dm(), Area);
    QVERIFY(!service.rename(nodeOf("001", "A", "\\\\A"), name, TreePath::rootPath()));
    QVERIFY(!service.add(nodeOf("001", "A", "\\\\A"), TreeCodeService::Relation::Child, name, "\\\\A"));
    QCOMPARE(messages.count(), 2);
    QCOMPARE(messages.lastText(), message);
    QCOMPARE(storedTree(db.dm(), Area), before);
}

void TestTreeCode::deleteStaysInItsSubtree_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<QStringList>("remaining");
    QTest::newRow("node with descendants") << "001" << true << QStringList{"002", "002001", "0_1"};
    QTest::newRow("underscore is not a wildcard")
        << "0_1" << true << QStringList{"001", "001001", "001001001", "002", "002001"};
    QTest::newRow("root is kept") << "" << false << QStringList{"001", "001001", "001001001", "002", "002001", "0_1"};
}

void TestTreeCode::deleteStaysInItsSubtree()
{
    QFETCH(QString, code);
    QFETCH(bool, deleted);
    QFETCH(QStringList, remaining);

    FixtureDatabase db;
    for (const char *c : {"001", "001001", "001001001", "002", "002001", "0_1"})
        storeNode(db.dm(), Area, c, "n", "\\\\n");
    for (const char *c : {"001", "001001"})
        storeNode(db.dm(), ClientType, c, "n", "\\\\n");

    TreeCodeService service(db.dm(), Area);
    QCOMPARE(service.remove(nodeOf(code, "n", "\\\\n")), deleted);
    QStringList codes;
    for (const QString &row : storedTree(db.dm(), Area))
        codes << row.section('|', 0, 0);
    QCOMPARE(codes, remaining);
    QCOMPARE(db.dm().QueryInt("select count(*) from t_treecode where F_flag = 'clttype'"), 2);
}

QTEST_MAIN(TestTreeCode)
#include "tst_treecode.moc"
