#include "GridQuery.h"
#include "HouseListQuery.h"
#include "LoginSession.h"
#include "TestSupport.h"

#include <QSqlQuery>
#include <QtTest>

using namespace Quellon;
using QuellonTest::FixtureDatabase;
using QuellonTest::MessageRecorder;

namespace {
// Names and texts that would break or widen a statement if they were spliced into it.
const QStringList Awkward = {
    QStringLiteral("O'Brien"),         QStringLiteral("50%"),           QStringLiteral("a_b"),
    QStringLiteral("C:\\房源\\"),      QStringLiteral("' or 1=1 --"),   QStringLiteral("张三"),
    QStringLiteral("%"),               QStringLiteral("_"),             QStringLiteral("\\"),
};

QList<qint64> keysOf(Database &db, const SqlFragment &statement)
{
    QList<qint64> keys;
    QSqlQuery q;
    if (!db.openQuery(statement, q))
        return {-1};
    while (q.next())
        keys << q.value(0).toLongLong();
    return keys;
}
} // namespace

// Typed text and the data scope reach SQL only as bound values: searches and
// scope filters are run, with quotes, wildcards, backslashes and an attempt
// to widen the statement.
class TestBoundFilters : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_db.reset(); }
    void containsAndStartsWithAreLiteral_data();
    void containsAndStartsWithAreLiteral();
    void scopeNeverWidens_data();
    void scopeNeverWidens();
    void composedFiltersKeepTheirValuesInOrder();
    void gridStatementsRunWithTheirValues();

private:
    std::unique_ptr<FixtureDatabase> m_db;
};

void TestBoundFilters::init()
{
    m_db = std::make_unique<FixtureDatabase>();
    QVERIFY(m_db->isValid());
    // One live house per awkward name, each name also its own address, and
    // one house in the recycle bin.
    for (int i = 0; i < Awkward.size(); ++i)
        QVERIFY(m_db->dm().execute("insert into House(F_mainID,F_code,F_EmpName,F_FYaddress,F_salePrice,F_flag) values(:m,:c,:e,:a,:p,0)",
                                   {{":m", i + 1}, {":c", QStringLiteral("%1").arg(i + 1, 8, 10, QLatin1Char('0'))},
                                    {":e", Awkward.at(i)}, {":a", QStringLiteral("路") + Awkward.at(i) + QStringLiteral("号")},
                                    {":p", (i + 1) * 10}}));
    QVERIFY(m_db->dm().execute("insert into House(F_mainID,F_code,F_EmpName,F_FYaddress,F_flag) values(99,'00000099','张三','回收',2)"));
}

void TestBoundFilters::containsAndStartsWithAreLiteral_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("contains"); // live houses whose address holds the text
    QTest::addColumn<int>("startsWith"); // whose salesperson's name starts with it
    QTest::newRow("quote") << "O'B" << 1 << 1;
    QTest::newRow("percent") << "%" << 2 << 1;
    QTest::newRow("underscore") << "_" << 2 << 1;
    QTest::newRow("backslash") << "\\" << 2 << 1;
    QTest::newRow("widening") << "' or 1=1 --" << 1 << 1;
    QTest::newRow("path") << "C:\\房源" << 1 << 1;
    QTest::newRow("nothing like it") << "x%y" << 0 << 0;
}

void TestBoundFilters::containsAndStartsWithAreLiteral()
{
    QFETCH(QString, typed);
    QFETCH(int, contains);
    QFETCH(int, startsWith);
    MessageRecorder messages;
    Database &db = m_db->dm();
    const SqlFragment count(QStringLiteral("select count(*) from House"));
    const SqlFragment live(QStringLiteral("F_flag=0"));
    QCOMPARE(db.queryInt(count + SqlFragment::where(live && db.dialect().contains(QStringLiteral("F_FYaddress"), typed))), contains);
    QCOMPARE(db.queryInt(count + SqlFragment::where(live && db.dialect().startsWith(QStringLiteral("F_EmpName"), typed))),
             startsWith);
    QCOMPARE(messages.count(), 0);
}

void TestBoundFilters::scopeNeverWidens_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QList<qint64>>("keys");
    QTest::newRow("all") << 0 << "x" << QStringList{} << QList<qint64>{1, 2, 3, 4, 5, 6, 7, 8, 9};
    QTest::newRow("own, widening name") << 1 << "' or 1=1 --" << QStringList{} << QList<qint64>{5};
    QTest::newRow("own, quote") << 1 << "O'Brien" << QStringList{} << QList<qint64>{1};
    QTest::newRow("own, percent is no wildcard") << 1 << "%" << QStringList{} << QList<qint64>{7};
    QTest::newRow("own, nobody") << 1 << "李四" << QStringList{} << QList<qint64>{};
    QTest::newRow("listed") << 2 << "x" << QStringList{"a_b", "\\", "张三"} << QList<qint64>{3, 6, 9};
    QTest::newRow("listed, widening") << 2 << "x" << QStringList{"') or ('1'='1"} << QList<qint64>{};
    QTest::newRow("listed, none sees nothing") << 2 << "张三" << QStringList{} << QList<qint64>{};
}

void TestBoundFilters::scopeNeverWidens()
{
    QFETCH(int, scope);
    QFETCH(QString, operatorName);
    QFETCH(QStringList, listed);
    QFETCH(QList<qint64>, keys);
    MessageRecorder messages;
    LoginSession session;
    session.operatorName = operatorName;
    session.scope = scope;
    session.salespersons = listed;
    // The house page's own statement, keys in list order.
    QCOMPARE(keysOf(m_db->dm(), HouseListQuery::forSession(session).keysSql()), keys);
    // The same filter on a joined statement, through its alias.
    const SqlFragment joined = SqlFragment(QStringLiteral("select h.F_ID from House h left join T_gjREC g on g.F_mainID = h.F_mainID"))
                               + SqlFragment::where(SqlFragment(QStringLiteral("h.F_flag=0")) && session.scopeFilter(QStringLiteral("h")))
                               + SqlFragment(QStringLiteral(" order by h.F_ID"));
    QCOMPARE(keysOf(m_db->dm(), joined), keys);
    QCOMPARE(messages.count(), 0);
}

void TestBoundFilters::composedFiltersKeepTheirValuesInOrder()
{
    Database &db = m_db->dm();
    LoginSession session;
    session.scope = LoginSession::ListedSalespersons;
    session.salespersons = {QStringLiteral("O'Brien"), QStringLiteral("50%"), QStringLiteral("张三")};
    const SqlFragment search = db.dialect().contains(QStringLiteral("F_FYaddress"), QStringLiteral("%"));
    const SqlFragment filter = (search || SqlFragment::equals(QStringLiteral("F_code"), QStringLiteral("00000006")))
                               && session.scopeFilter() && SqlFragment(QStringLiteral("F_salePrice >= ?"), {20});
    QCOMPARE(filter.values().size(), 6);
    // 50% (house 2, address holds "%") passes; O'Brien's house 1 is too cheap; 张三's house 6 by its code.
    QCOMPARE(keysOf(db, SqlFragment(QStringLiteral("select F_ID from House")) + SqlFragment::where(filter)
                            + SqlFragment(QStringLiteral(" order by F_ID"))),
             (QList<qint64>{2, 6}));
    // An empty side adds nothing and takes nothing away.
    QCOMPARE((filter && SqlFragment()).sql(), filter.sql());
    QCOMPARE((SqlFragment() || filter).values(), filter.values());
    QVERIFY(SqlFragment::where(SqlFragment()).isEmpty());
}

void TestBoundFilters::gridStatementsRunWithTheirValues()
{
    Database &db = m_db->dm();
    LoginSession session;
    session.scope = LoginSession::ListedSalespersons;
    session.salespersons = {QStringLiteral("O'Brien"), QStringLiteral("a_b"), QStringLiteral("' or 1=1 --")};
    GridQuery query = HouseListQuery::forSession(session);
    QCOMPARE(keysOf(db, query.keysSql()), (QList<qint64>{1, 3, 5}));
    query.setSort({{QStringLiteral("F_salePrice"), false}});
    QCOMPARE(keysOf(db, query.keysSql()), (QList<qint64>{5, 3, 1}));
    // Rows by key, read from the table itself and through the statement.
    QCOMPARE(keysOf(db, query.rowsSql({3, 5, 2})).size(), 3);
    GridQuery throughStatement(query.statement(), QStringLiteral("F_code"));
    QList<qint64> rows = keysOf(db, throughStatement.rowsSql({3, 5, 2}));
    std::sort(rows.begin(), rows.end());
    QCOMPARE(rows, (QList<qint64>{3, 5}));
    // The sum of the listed houses only.
    QCOMPARE(db.queryInt(query.sumsSql({QStringLiteral("F_salePrice")})), 10 + 30 + 50);
    // Typed search within the list, in list order.
    QCOMPARE(keysOf(db, query.searchSql(db.dialect().startsWith(QStringLiteral("q.F_EmpName"), QStringLiteral("'")))),
             (QList<qint64>{5}));
    QCOMPARE(keysOf(db, query.searchSql(db.dialect().startsWith(QStringLiteral("q.F_EmpName"), QStringLiteral("张")))),
             QList<qint64>{});
}

QTEST_GUILESS_MAIN(TestBoundFilters)
#include "tst_boundfilters.moc"
