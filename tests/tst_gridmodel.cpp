#include "Clock.h"
#include "DatabaseTransaction.h"
#include "DemoDataGenerator.h"
#include "GridModel.h"
#include "TestSupport.h"

#include <QAbstractItemModelTester>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using namespace Quellon;
using QuellonTest::FixtureDatabase;
using QuellonTest::MessageRecorder;

namespace {
GridColumns houseColumns()
{
    GridColumns columns;
    auto add = [&columns](const char *field, const char *caption, int footer = GridColumn::FooterNone) {
        GridColumn c;
        c.field = QString::fromLatin1(field);
        c.caption = QString::fromUtf8(caption);
        c.footer = footer;
        if (footer == GridColumn::FooterText)
            c.footerText = QStringLiteral("合计");
        columns << c;
    };
    add("F_code", "编号", GridColumn::FooterText);
    add("F_name", "居住圈");
    add("F_salePrice", "售价(万元)", GridColumn::FooterSum);
    add("F_editDate", "录入日期");
    add("F_memo3", "备注");
    add("F_NoSuchField", "无此字段");
    return columns;
}

const QString HouseList = QStringLiteral("select * from House where (F_flag=0) ");

GridQuery houseQuery(bool byTable = true)
{
    GridQuery query(SqlFragment(HouseList), QStringLiteral("F_code"));
    if (byTable)
        query.setRowTable(QStringLiteral("House"));
    return query;
}

QStringList codesInOrder(Database &dm, const QString &order)
{
    QStringList codes;
    QSqlQuery q(dm.database());
    q.exec(HouseList + QStringLiteral(" order by ") + order);
    while (q.next())
        codes << q.value(QStringLiteral("F_code")).toString();
    return codes;
}

// A database of its own for a test that changes or breaks it: houses whose
// codes run 00000001 up and whose prices are known.
std::unique_ptr<FixtureDatabase> smallOffice(int houses)
{
    auto office = std::make_unique<FixtureDatabase>();
    Database &dm = office->dm();
    DatabaseTransaction t(dm);
    for (int i = 1; i <= houses; ++i) {
        dm.execute("insert into House(F_mainID,F_code,F_name,F_salePrice) values(:m,:c,:n,:p)",
                   {{":m", i}, {":c", QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0'))},
                    {":n", QStringLiteral("楼盘%1").arg(i)}, {":p", (i * 37) % 500}});
    }
    t.commit();
    return office;
}

QString priceTotal(Database &dm)
{
    return QString::number(dm.queryText("select sum(F_salePrice) from House where F_flag=0").toDouble(), 'f', 2);
}

// The sums' connection gets this sum() in place of the engine's: the same
// total, and a way to slow one run down (a millisecond a row) or to fail.
struct SumProbe
{
    static inline std::atomic<int> runs{0};
    static inline std::atomic<int> slowRun{0};
    static inline std::atomic<int> stepsOfSlowRun{0};
    static inline std::atomic<bool> fails{false};

    struct Total
    {
        int run;
        double sum;
        bool any;
    };

    static void reset(int slow = 0)
    {
        runs = 0;
        slowRun = slow;
        stepsOfSlowRun = 0;
        fails = false;
    }
    static void install(sqlite3 *db)
    {
        sqlite3_create_function_v2(db, "sum", 1, SQLITE_UTF8, nullptr, nullptr, &step, &final, nullptr);
    }
    static void step(sqlite3_context *context, int, sqlite3_value **values)
    {
        auto *total = static_cast<Total *>(sqlite3_aggregate_context(context, sizeof(Total)));
        if (!total)
            return;
        if (total->run == 0)
            total->run = ++runs;
        if (fails) {
            sqlite3_result_error(context, "the sum probe failed", -1);
            return;
        }
        if (sqlite3_value_type(values[0]) != SQLITE_NULL) {
            total->sum += sqlite3_value_double(values[0]);
            total->any = true;
        }
        if (total->run == slowRun) {
            ++stepsOfSlowRun;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    static void final(sqlite3_context *context)
    {
        const auto *total = static_cast<Total *>(sqlite3_aggregate_context(context, 0));
        if (total && total->any)
            sqlite3_result_double(context, total->sum);
        else
            sqlite3_result_null(context);
    }
};

GridColumns pricedColumns()
{
    GridColumns columns = houseColumns();
    columns[2].displayFormat = QStringLiteral("0.00");
    return columns;
}

int sumConnections()
{
    return int(QSqlDatabase::connectionNames().filter(QStringLiteral("grid-sums-")).size());
}
} // namespace

// The model against the database: what it lists must be what SQL lists, in
// the same order, whatever part of the list is looked at.
class TestGridModel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void listsWhatTheStatementLists();
    void sortsInTheDatabase_data();
    void sortsInTheDatabase();
    void footerSumsTheWholeList();
    void footerNeverShowsAnOvertakenTotal_data();
    void footerNeverShowsAnOvertakenTotal();
    void failedSumShowsTheErrorMark_data();
    void failedSumShowsTheErrorMark();
    void sumConnectionEndsWithItsModel_data();
    void sumConnectionEndsWithItsModel();
    void findsByPrefix_data();
    void findsByPrefix();
    void refreshesOneRow();
    void memoryStaysBounded();
    void failedQueryIsReported();
    void failedRowReadLeavesCellsEmpty_data();
    void failedRowReadLeavesCellsEmpty();
    void deletedRowsLeaveTheList_data();
    void deletedRowsLeaveTheList();
    void passesTheModelChecker();

private:
    QStringList sqlCodes(const QString &order) { return codesInOrder(m_db.dm(), order); }
    static QStringList modelCodes(const GridModel &model)
    {
        QStringList codes;
        for (int row = 0; row < model.rowCount(); ++row)
            codes << model.value(row, 0).toString();
        return codes;
    }
    FixtureDatabase m_db;
};

void TestGridModel::initTestCase()
{
    Clock::setFixed(QDateTime(QDate(2024, 3, 15), QTime(9, 0)));
    DemoDataGenerator generator(m_db.dm(), 7);
    QCOMPARE(generator.generate(3000), DemoDataGenerator::Result::Done);
    Clock::setFixed({});
    // A quote and a percent sign in the data must not disturb anything.
    QVERIFY(m_db.dm().execute("update House set F_name = 'O''Brien 50%' where F_mainID = 10"));
}

void TestGridModel::listsWhatTheStatementLists()
{
    GridModel model(m_db.dm());
    model.setColumns(houseColumns());
    QVERIFY(model.setQuery(GridQuery(SqlFragment(HouseList), QStringLiteral("F_code"))));
    QCOMPARE(model.rowCount(), int(m_db.dm().queryInt("select count(*) from House where F_flag=0")));
    QCOMPARE(modelCodes(model), sqlCodes(QStringLiteral("F_code, F_ID")));
    const int row = model.rowOfKey(m_db.dm().queryInt("select F_ID from House where F_mainID = 10"));
    QVERIFY(row >= 0);
    QCOMPARE(model.data(model.index(row, 1)).toString(), QStringLiteral("O'Brien 50%"));
    // A column whose field the statement does not have stays empty.
    QCOMPARE(model.data(model.index(row, 5)).toString(), QString());
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("居住圈"));
}

void TestGridModel::sortsInTheDatabase_data()
{
    QTest::addColumn<QString>("sort");
    QTest::addColumn<QString>("order");
    QTest::newRow("price descending") << "f_saleprice DESC," << "F_salePrice desc, F_ID desc";
    QTest::newRow("name ascending") << "f_name ASC," << "F_name, F_ID";
    QTest::newRow("two keys") << "f_editdate DESC,f_code ASC," << "F_editDate desc, F_code, F_ID";
    QTest::newRow("code descending") << "f_code DESC," << "F_code desc, F_ID desc";
    QTest::newRow("back to the own order") << "" << "F_code, F_ID";
}

void TestGridModel::sortsInTheDatabase()
{
    QFETCH(QString, sort);
    QFETCH(QString, order);
    GridModel model(m_db.dm());
    model.setColumns(houseColumns());
    GridQuery query(SqlFragment(HouseList), QStringLiteral("F_code"));
    query.setRowTable(QStringLiteral("House"));
    QVERIFY(model.setQuery(query));
    const qint64 first = model.keyAt(0);
    QCOMPARE(model.rowOfKey(first), 0);
    QCOMPARE(model.rowOfKey(model.keyAt(1)), 1);
    QVERIFY(model.setSort(GridQuery::parseSort(sort)));
    QCOMPARE(modelCodes(model), sqlCodes(order));
    // Finding a row by its key follows the new order.
    QCOMPARE(model.keyAt(model.rowOfKey(first)), first);
    QCOMPARE(model.rowOfKey(model.keyAt(model.rowCount() - 1)), model.rowCount() - 1);
}

void TestGridModel::footerSumsTheWholeList()
{
    GridModel model(m_db.dm());
    GridColumns columns = houseColumns();
    columns[2].displayFormat = QStringLiteral("0.00");
    model.setColumns(columns);
    QVERIFY(model.setQuery(GridQuery(SqlFragment(HouseList + QStringLiteral("and F_EmpName <> '' ")), QStringLiteral("F_code"))));
    QSqlQuery q(m_db.dm().database());
    QVERIFY(q.exec("select sum(F_salePrice) from House where F_flag=0 and F_EmpName <> ''") && q.next());
    QSignalSpy summed(&model, &GridModel::footerChanged);
    QTRY_VERIFY(!model.footerPending());
    QCOMPARE(model.footerText(2), QString::number(q.value(0).toDouble(), 'f', 2));
    // A sum asked for before the last one came back never shows the older figure.
    QVERIFY(m_db.dm().execute("update House set F_salePrice = F_salePrice + 1 where F_mainID = 20"));
    model.refreshFooter();
    model.refreshFooter();
    QCOMPARE(model.footerText(2), QStringLiteral("…"));
    QTRY_VERIFY(!model.footerPending());
    QCOMPARE(model.footerText(2), QString::number(q.value(0).toDouble() + (m_db.dm().queryInt("select count(*) from House where F_mainID = 20 and F_flag=0 and F_EmpName <> ''")), 'f', 2));
    QCOMPARE(model.footerText(0), QStringLiteral("合计"));
    QCOMPARE(model.footerText(1), QString());
}

void TestGridModel::footerNeverShowsAnOvertakenTotal_data()
{
    QTest::addColumn<bool>("firstIsRunning");
    QTest::newRow("overtaken before it starts") << false;
    QTest::newRow("overtaken while it runs") << true;
}

void TestGridModel::footerNeverShowsAnOvertakenTotal()
{
    QFETCH(bool, firstIsRunning);
    constexpr int Houses = 1000;
    auto office = smallOffice(Houses);
    SumProbe::reset(firstIsRunning ? 1 : 0);
    GridModel model(office->dm());
    model.setSumConnectionHook(&SumProbe::install);
    model.setColumns(pricedColumns());
    QVERIFY(model.setQuery(houseQuery()));
    const QString stale = priceTotal(office->dm());
    if (firstIsRunning)
        QTRY_VERIFY(SumProbe::stepsOfSlowRun > 0);
    QStringList shown;
    connect(&model, &GridModel::footerChanged, this, [&] { shown << model.footerText(2); });
    QVERIFY(office->dm().execute("update House set F_salePrice = F_salePrice + 1000 where F_mainID = 7"));
    model.refreshFooter();
    QCOMPARE(model.footerText(2), QStringLiteral("…"));
    QTRY_VERIFY(!model.footerPending());
    const QString fresh = priceTotal(office->dm());
    QVERIFY(fresh != stale);
    QCOMPARE(shown, QStringList{fresh});
    QCOMPARE(SumProbe::runs.load(), firstIsRunning ? 2 : 1);
    // The first sum was stopped, not waited for: it would have read every row.
    if (firstIsRunning)
        QVERIFY2(SumProbe::stepsOfSlowRun < Houses, qPrintable(QString::number(SumProbe::stepsOfSlowRun)));
}

void TestGridModel::failedSumShowsTheErrorMark_data()
{
    QTest::addColumn<bool>("missingColumn");
    QTest::newRow("a summed column the list does not have") << true;
    QTest::newRow("the engine fails in the middle") << false;
}

void TestGridModel::failedSumShowsTheErrorMark()
{
    QFETCH(bool, missingColumn);
    auto office = smallOffice(300);
    SumProbe::reset();
    SumProbe::fails = !missingColumn;
    GridModel model(office->dm());
    model.setSumConnectionHook(&SumProbe::install);
    GridColumns columns = pricedColumns();
    if (missingColumn)
        columns[5].footer = GridColumn::FooterSum;
    model.setColumns(columns);
    MessageRecorder messages;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(missingColumn ? "^grid footer sums: no such column" : "^grid footer sums: the sum probe failed"));
    QVERIFY(model.setQuery(houseQuery()));
    QTRY_VERIFY(!model.footerPending());
    QVERIFY(model.footerFailed());
    QCOMPARE(model.footerText(2), GridModel::footerErrorMark());
    QCOMPARE(model.footerText(0), QStringLiteral("合计"));
    QCOMPARE(messages.count(), 0);
    // The next sum that works shows its figure again.
    SumProbe::fails = false;
    if (missingColumn)
        model.setColumns(pricedColumns());
    else
        model.refreshFooter();
    QTRY_VERIFY(!model.footerPending());
    QCOMPARE(model.footerText(2), priceTotal(office->dm()));
}

void TestGridModel::sumConnectionEndsWithItsModel_data()
{
    QTest::addColumn<bool>("whileSumming");
    QTest::addColumn<bool>("closeDatabase");
    QTest::newRow("model destroyed after its sum") << false << false;
    QTest::newRow("model destroyed in the middle of a sum") << true << false;
    QTest::newRow("database closed in the middle of a sum") << true << true;
}

void TestGridModel::sumConnectionEndsWithItsModel()
{
    QFETCH(bool, whileSumming);
    QFETCH(bool, closeDatabase);
    auto office = smallOffice(1000);
    SumProbe::reset(whileSumming ? 1 : 0);
    const int before = sumConnections();
    {
        GridModel model(office->dm());
        model.setSumConnectionHook(&SumProbe::install);
        model.setColumns(pricedColumns());
        QVERIFY(model.setQuery(houseQuery()));
        if (whileSumming)
            QTRY_VERIFY(SumProbe::stepsOfSlowRun > 0);
        else
            QTRY_VERIFY(!model.footerPending());
        QCOMPARE(sumConnections(), before + 1);
        if (closeDatabase) {
            // The file is let go of before closeDatabase() returns: a restore
            // may copy over it next.
            office->dm().closeDatabase();
            QCOMPARE(sumConnections(), before);
            QVERIFY(SumProbe::stepsOfSlowRun < 1000);
            QVERIFY(office->dm().reopenDatabase());
            QTRY_VERIFY(!model.footerPending());
            QCOMPARE(model.footerText(2), priceTotal(office->dm()));
        }
    }
    QCOMPARE(sumConnections(), before);
    if (whileSumming)
        QVERIFY(SumProbe::stepsOfSlowRun < 1000);
}

void TestGridModel::findsByPrefix_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("found");
    QTest::newRow("quote") << "O'B" << true;
    QTest::newRow("letter case") << "o'brien" << true;
    QTest::newRow("percent is literal") << "%" << false;
    QTest::newRow("nothing") << QStringLiteral("不存在的名称") << false;
}

void TestGridModel::findsByPrefix()
{
    QFETCH(QString, text);
    QFETCH(bool, found);
    GridModel model(m_db.dm());
    model.setColumns(houseColumns());
    QVERIFY(model.setQuery(GridQuery(SqlFragment(HouseList), QStringLiteral("F_code"))));
    MessageRecorder messages;
    const int row = model.findPrefix(1, text);
    QCOMPARE(row >= 0, found);
    if (found)
        QVERIFY(model.value(row, 1).toString().startsWith(text, Qt::CaseInsensitive));
    QCOMPARE(messages.count(), 0);
}

void TestGridModel::refreshesOneRow()
{
    GridModel model(m_db.dm());
    model.setColumns(houseColumns());
    QVERIFY(model.setQuery(GridQuery(SqlFragment(HouseList), QStringLiteral("F_code"))));
    const qint64 key = model.keyAt(5);
    QVERIFY(!model.value(5, 1).toString().isEmpty()); // read into the cache
    QVERIFY(m_db.dm().execute("update House set F_name = '改过的名称' where F_ID = :id", {{":id", key}}));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.refreshRow(key);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(model.value(5, 1).toString(), QStringLiteral("改过的名称"));
}

void TestGridModel::memoryStaysBounded()
{
    GridModel model(m_db.dm());
    model.setColumns(houseColumns());
    QVERIFY(model.setQuery(GridQuery(SqlFragment(HouseList), QStringLiteral("F_code"))));
    for (int row = 0; row < model.rowCount(); row += 7)
        QVERIFY(!model.value(row, 0).toString().isEmpty());
    QVERIFY(model.cachedChunks() <= 32);
    QCOMPARE(model.value(model.rowCount() - 1, 0).toString(), sqlCodes(QStringLiteral("F_code, F_ID")).constLast());
}

void TestGridModel::failedQueryIsReported()
{
    GridModel model(m_db.dm());
    model.setColumns(houseColumns());
    MessageRecorder messages;
    QVERIFY(!model.setQuery(GridQuery(SqlFragment(QStringLiteral("select * from NoSuchTable")), QStringLiteral("F_code"))));
    QVERIFY(!model.isOpen());
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(messages.lastKind(), int(MessageKind::Error));
    QVERIFY(messages.lastText().startsWith(QStringLiteral("打开操作失败，请检查数据连接... ")));
}

void TestGridModel::failedRowReadLeavesCellsEmpty_data()
{
    QTest::addColumn<bool>("byTable");
    QTest::addColumn<QString>("breaking");
    QTest::addColumn<QString>("mending");
    QTest::addColumn<QString>("logged");
    QTest::newRow("table renamed, rows by table")
        << true << "alter table House rename to HouseGone" << "alter table HouseGone rename to House" << "no such table";
    QTest::newRow("key column renamed, rows by statement")
        << false << "alter table House rename column F_ID to F_Gone" << "alter table House rename column F_Gone to F_ID"
        << "no such column";
}

void TestGridModel::failedRowReadLeavesCellsEmpty()
{
    QFETCH(bool, byTable);
    QFETCH(QString, breaking);
    QFETCH(QString, mending);
    QFETCH(QString, logged);
    auto office = smallOffice(600);
    GridModel model(office->dm());
    model.setColumns(houseColumns());
    QVERIFY(model.setQuery(houseQuery(byTable)));
    MessageRecorder messages;
    QSignalSpy failed(&model, &GridModel::readFailed);
    QVERIFY(office->dm().execute(breaking));
    // One warning with the engine's words for each chunk of rows, once.
    for (int chunk = 0; chunk < 3; ++chunk)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^grid rows: .*" + logged));
    for (int row = 0; row < model.rowCount(); ++row)
        QVERIFY(model.data(model.index(row, 0)).toString().isEmpty());
    QCOMPARE(failed.count(), 1);
    const QString message = failed.at(0).at(0).toString();
    QVERIFY2(message.startsWith(QStringLiteral("读取列表数据失败")), qPrintable(message));
    QVERIFY2(!message.contains(logged) && !message.contains("House"), qPrintable(message));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^grid search: .*" + logged));
    QCOMPARE(model.findPrefix(1, QStringLiteral("楼盘")), -1);
    QCOMPARE(messages.count(), 0);
    // Rows that could not be read are not rows that were deleted.
    QCoreApplication::processEvents();
    QCOMPARE(model.rowCount(), 600);

    // Once the list has been read again, a new failure is told again.
    QVERIFY(office->dm().execute(mending));
    QVERIFY(model.reload());
    QCOMPARE(model.value(0, 0).toString(), QStringLiteral("00000001"));
    QVERIFY(office->dm().execute(breaking));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^grid rows: .*" + logged));
    QVERIFY(model.value(599, 0).toString().isEmpty());
    QCOMPARE(failed.count(), 2);
    QCOMPARE(messages.count(), 0);
}

void TestGridModel::deletedRowsLeaveTheList_data()
{
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<bool>("readBefore");
    // The first chunk has been read by the model checker: rows deleted
    // behind the list's back are looked for in the chunks after it.
    QTest::newRow("one row") << QList<int>{300} << false;
    QTest::newRow("a run across two chunks") << QList<int>{510, 511, 512, 513} << false;
    QTest::newRow("first row of a chunk, last of the list") << QList<int>{256, 599} << false;
    QTest::newRow("rows apart") << QList<int>{260, 262, 400, 520} << false;
    QTest::newRow("rows read before, refreshed one by one") << QList<int>{0, 10, 300, 301} << true;
}

void TestGridModel::deletedRowsLeaveTheList()
{
    QFETCH(QList<int>, rows);
    QFETCH(bool, readBefore);
    auto office = smallOffice(600);
    GridModel model(office->dm());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setColumns(houseColumns());
    QVERIFY(model.setQuery(houseQuery()));
    // The lookup by key is built before anything is removed: it must follow.
    QCOMPARE(model.rowOfKey(model.keyAt(599)), 599);
    QCOMPARE(model.rowOfKey(model.keyAt(598)), 598);
    QList<qint64> keys;
    for (int row : rows) {
        keys << model.keyAt(row);
        if (readBefore)
            QVERIFY(!model.value(row, 0).toString().isEmpty());
    }
    for (qint64 key : keys)
        QVERIFY(office->dm().deleteById("House", key));
    MessageRecorder messages;
    if (readBefore) {
        for (qint64 key : keys)
            model.refreshRow(key);
    } else {
        // Found gone while the view reads: empty for now, never removed from
        // inside data().
        for (int row : rows)
            QVERIFY(model.data(model.index(row, 0)).toString().isEmpty());
        QCOMPARE(model.rowCount(), 600);
        QTRY_COMPARE(model.rowCount(), 600 - int(rows.size()));
    }
    QCOMPARE(model.rowCount(), 600 - int(rows.size()));
    for (qint64 key : keys)
        QCOMPARE(model.rowOfKey(key), -1);
    for (int row = 0; row < model.rowCount(); ++row)
        QCOMPARE(model.rowOfKey(model.keyAt(row)), row);
    QCOMPARE(modelCodes(model), codesInOrder(office->dm(), QStringLiteral("F_code, F_ID")));
    QCoreApplication::processEvents();
    QCOMPARE(model.rowCount(), 600 - int(rows.size()));
    QCOMPARE(messages.count(), 0);
}

void TestGridModel::passesTheModelChecker()
{
    GridModel model(m_db.dm());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setColumns(houseColumns());
    QVERIFY(model.setQuery(GridQuery(SqlFragment(HouseList), QStringLiteral("F_code"))));
    QVERIFY(model.setSort({{QStringLiteral("F_name"), false}}));
    model.close();
}

QTEST_MAIN(TestGridModel)
#include "tst_gridmodel.moc"
