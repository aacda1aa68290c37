#include "TestSupport.h"
#include "TreeCodeService.h"
#include "TreePath.h"

#include <QSqlQuery>
#include <QtTest>

using namespace Quellon;
using QuellonTest::FixtureDatabase;
using QuellonTest::MessageRecorder;

namespace {
const QString Area = QStringLiteral("area");
const QString ClientType = QStringLiteral("clttype");

void storeNode(Database &dm, const QString &flag, const QString &code, const QString &name, const QString &path)
{
    QVERIFY(QuellonTest::storeTreeNode(dm, flag, code, name, path));
}

// "code|path" of every node of one tree, in code order.
QStringList storedTree(Database &dm, const QString &flag)
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

QStringList storedPaths(Database &dm, const QString &table, const QString &column)
{
    QStringList paths;
    QSqlQuery q(dm.database());
    q.exec(QStringLiteral("select %1 from %2 order by F_mainID").arg(column, table));
    while (q.next())
        paths << (q.value(0).isNull() ? QStringLiteral("<null>") : q.value(0).toString());
    return paths;
}

void storeRecordPaths(Database &dm, const QString &table, const QString &column, const QStringList &paths)
{
    for (int i = 0; i < paths.size(); ++i)
        QVERIFY(dm.execute(QStringLiteral("insert into %1(F_mainID, %2) values(:id, :p)").arg(table, column),
                           {{":id", i + 1}, {":p", paths.at(i)}}));
}

TreeNode nodeOf(const QString &code, const QString &name = {}, const QString &path = {})
{
    if (code.isEmpty())
        return {0, QStringLiteral("000"), QStringLiteral("所在区域"), TreePath::rootPath()};
    return {int(code.size()), code, name, path};
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
    QTest::addColumn<QString>("path"); // of the new node; the selected one is "\\P", or "\\P\sel" at level two

    const QString full = QStringLiteral("同一级下最多只能有 999 个节点，编号已用完，不能再增加！");
    QTest::newRow("first node of an empty tree") << QStringList{} << QStringList{} << "" << true << "001" << "" << "\\\\新节点";
    QTest::newRow("other tree's codes do not count")
        << QStringList{} << QStringList{"001", "002"} << "" << true << "001" << "" << "\\\\新节点";
    QTest::newRow("child of root after the first level")
        << QStringList{"001", "002", "002001"} << QStringList{} << "" << true << "003" << "" << "\\\\新节点";
    QTest::newRow("sibling at the first level")
        << QStringList{"001", "002", "002001"} << QStringList{} << "001" << false << "003" << "" << "\\\\新节点";
    QTest::newRow("first child of a leaf") << QStringList{"001", "002"} << QStringList{} << "002" << true << "002001" << "" << "\\\\P\\新节点";
    QTest::newRow("child after a child that has children")
        << QStringList{"001", "001001", "001002", "001002005"} << QStringList{} << "001" << true << "001003" << "" << "\\\\P\\新节点";
    QTest::newRow("sibling at level two past a deeper node")
        << QStringList{"001", "001001", "001003", "001003002"} << QStringList{} << "001001" << false << "001004" << "" << "\\\\P\\新节点";
    QTest::newRow("998 is followed by 999") << QStringList{"001", "001998"} << QStringList{} << "001" << true << "001999" << "" << "\\\\P\\新节点";
    QTest::newRow("full level refuses a child") << QStringList{"001", "001999"} << QStringList{} << "001" << true << "" << full << "";
    QTest::newRow("full level refuses a sibling")
        << QStringList{"001", "001005", "001999"} << QStringList{} << "001005" << false << "" << full << "";
    QTest::newRow("full first level") << QStringList{"999"} << QStringList{} << "" << true << "" << full << "";
    QTest::newRow("root has no siblings")
        << QStringList{"001"} << QStringList{} << "" << false << ""
        << "不能增加根节点的同类节点，该节点只能增加子节点！" << "";
}

void TestTreeCode::addNumbersNodes()
{
    QFETCH(QStringList, codes);
    QFETCH(QStringList, otherTreeCodes);
    QFETCH(QString, selected);
    QFETCH(bool, child);
    QFETCH(QString, expected);
    QFETCH(QString, refusal);
    QFETCH(QString, path);

    FixtureDatabase db;
    for (const QString &code : codes)
        storeNode(db.dm(), Area, code, "n" + code, "\\\\n" + code);
    for (const QString &code : otherTreeCodes)
        storeNode(db.dm(), ClientType, code, "n" + code, "\\\\n" + code);
    MessageRecorder messages;
    TreeCodeService service(db.dm(), Area);
    const auto relation = child ? TreeCodeService::Relation::Child : TreeCodeService::Relation::Sibling;
    const QString selectedPath = selected.size() > 3 ? QStringLiteral("\\\\P\\sel") : QStringLiteral("\\\\P");
    const auto added = service.add(nodeOf(selected, "sel", selectedPath), relation, "新节点");

    const int stored = int(db.dm().queryInt("select count(*) from t_treecode"));
    if (expected.isEmpty()) {
        QVERIFY(!added);
        QCOMPARE(messages.lastText(), refusal);
        QCOMPARE(stored, int(codes.size() + otherTreeCodes.size()));
    } else {
        QVERIFY(added);
        QCOMPARE(added->code, expected);
        QCOMPARE(messages.count(), 0);
        QCOMPARE(db.dm().queryText("select F_likecode from t_treecode where F_flag = 'area' and F_code = :c", {{":c", expected}}),
                 path);
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
    const QStringList levels = parentPath.mid(2).split('\\', Qt::SkipEmptyParts);
    TreeNode parent = nodeOf({});
    for (const QString &level : levels) {
        const auto stored = service.add(parent, TreeCodeService::Relation::Child, level);
        QVERIFY(stored);
        parent = *stored;
    }
    QCOMPARE(parent.path, parentPath);
    const auto added = service.add(parent, TreeCodeService::Relation::Child, name);
    QVERIFY(added);
    QCOMPARE(added->path, path);
    QCOMPARE(db.dm().queryText("select F_likecode from t_treecode where F_code = :c", {{":c", added->code}}), path);
    QCOMPARE(db.dm().queryText("select F_name from t_treecode where F_code = :c", {{":c", added->code}}), name);
}

namespace {
// Region or category tree used by the rename cases: A > A1 > X, AB > AB1,
// and in the other tree a node also named A.
void storeRenameFixture(Database &dm, const QString &flag, bool duplicateA)
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
    const QString oldPath = db.dm().queryText("select F_likecode from t_treecode where F_code = :c and F_flag = :f",
                                              {{":c", code}, {":f", flag}});
    const auto renamed = service.rename(nodeOf(code, "old", oldPath), newName);
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
    QVERIFY(db.dm().execute(trigger));
    const QStringList before = storedTree(db.dm(), flag);

    MessageRecorder messages;
    TreeCodeService service(db.dm(), flag);
    QVERIFY(!service.rename(nodeOf("001", "A", "\\\\A"), "新名"));
    QCOMPARE(messages.lastKind(), int(MessageKind::Error));
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
    QVERIFY(!service.rename(nodeOf("001", "A", "\\\\A"), name));
    QVERIFY(!service.add(nodeOf("001", "A", "\\\\A"), TreeCodeService::Relation::Child, name));
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
    QCOMPARE(db.dm().queryInt("select count(*) from t_treecode where F_flag = 'clttype'"), 2);
}

QTEST_GUILESS_MAIN(TestTreeCode)
#include "tst_treecode.moc"
