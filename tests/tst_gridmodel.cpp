#include "Clock.h"
#include "DatabaseTransaction.h"
#include "DemoDataGenerator.h"
#include "GridModel.h"
#include "SqliteStatement.h"
#include "TestSupport.h"

#include <QAbstractItemModelTester>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>
#include <sqlite3.h>

#include <algorithm>
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

int keyConnections()
{
    return int(QSqlDatabase::connectionNames().filter(QStringLiteral("grid-keys-")).size());
}

// keyprobe(value, delay) on the connection requested keys are read on: the
// value, after a pause of delay milliseconds; a negative delay fails. A
// statement thus says itself how slow it is. Slow calls are counted off the
// test's own thread, where the requested keys are read.
struct KeyProbe
{
    static inline std::atomic<int> calls{0};
    static inline std::atomic<int> slowCalls{0};
    static inline std::thread::id testThread;

    static void reset()
    {
        calls = 0;
        slowCalls = 0;
        testThread = std::this_thread::get_id();
    }
    static void install(sqlite3 *db)
    {
        sqlite3_create_function_v2(db, "keyprobe", 2, SQLITE_UTF8, nullptr, &call, nullptr, nullptr, nullptr);
    }
    static void call(sqlite3_context *context, int, sqlite3_value **values)
    {
        ++calls;
        const int delay = sqlite3_value_int(values[1]);
        if (delay < 0) {
            sqlite3_result_error(context, "the key probe failed", -1);
            return;
        }
        if (delay > 0) {
            if (std::this_thread::get_id() != testThread)
                ++slowCalls;
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        }
        sqlite3_result_value(context, values[0]);
    }
};

// Live houses whose F_mainID lies from first to last, each passed through
// keyprobe(); rows are read by table, where the probe is not needed.
GridQuery probedQuery(int delay, int first, int last)
{
    GridQuery query(SqlFragment(QStringLiteral("select * from House where (F_flag=0) and keyprobe(F_mainID, ?) between ? and ?"),
                                {delay, first, last}),
                    QStringLiteral("F_code"));
    query.setRowTable(QStringLiteral("House"));
    return query;
}

QList<qint64> keysOf(Database &dm, int first, int last)
{
    QList<qint64> keys;
    QSqlQuery q(dm.database());
    q.prepare("select F_ID from House where F_flag=0 and F_mainID between ? and ? order by F_code, F_ID");
    q.addBindValue(first);
    q.addBindValue(last);
    q.exec();
    while (q.next())
        keys << q.value(0).toLongLong();
    return keys;
}

QList<qint64> keysOf(const GridModel &model)
{
    QList<qint64> keys;
    for (int row = 0; row < model.rowCount(); ++row)
        keys << model.keyAt(row);
    return keys;
}

// Columns without sums: the sums' connection has no key probe.
GridColumns unsummedColumns()
{
    GridColumns columns = houseColumns();
    for (GridColumn &c : columns)
        c.footer = GridColumn::FooterNone;
    return columns;
}

GridColumn column(const char *field, int footer = GridColumn::FooterNone)
{
    GridColumn c;
    c.field = QString::fromLatin1(field);
    c.caption = c.field;
    c.footer = footer;
    return c;
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
    void masksOtherSalespersonsContacts_data();
    void masksOtherSalespersonsContacts();
    void maskedColumnShowsNoFooterSum();
    void newerRequestSupersedesOlder_data();
    void newerRequestSupersedesOlder();
    void failedRequestIsReportedOnce_data();
    void failedRequestIsReportedOnce();
    void synchronousRunTakesOverARequest_data();
    void synchronousRunTakesOverARequest();
    void keyConnectionLetsGoOfTheFile_data();
    void keyConnectionLetsGoOfTheFile();

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

enum SalespersonColumn { InLayout, NotInLayout, NotInList };

void TestGridModel::masksOtherSalespersonsContacts_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<QString>("salesperson");
    QTest::addColumn<QString>("phone");
    QTest::addColumn<int>("salespersonColumn");
    QTest::addColumn<bool>("byTable");
    QTest::addColumn<bool>("hidden");
    const QString zhang = QStringLiteral("张三");
    const QString li = QStringLiteral("李四");
    const QString phone = QStringLiteral("13800000001");
    QTest::newRow("own row") << true << zhang << zhang << phone << int(InLayout) << true << false;
    QTest::newRow("own row, name stored with spaces") << true << zhang << QStringLiteral(" 张三 ") << phone << int(InLayout) << true << false;
    QTest::newRow("other's row") << true << zhang << li << phone << int(InLayout) << true << true;
    QTest::newRow("other's row, rows by statement") << true << zhang << li << phone << int(InLayout) << false << true;
    QTest::newRow("other's row without a contact") << true << zhang << li << QString() << int(InLayout) << true << true;
    QTest::newRow("masking off") << false << zhang << li << phone << int(InLayout) << true << false;
    QTest::newRow("letter case counts") << true << "Tom" << "tom" << phone << int(InLayout) << true << true;
    QTest::newRow("own row, salesperson not in the layout") << true << zhang << zhang << phone << int(NotInLayout) << true << false;
    QTest::newRow("own row, salesperson not in the layout, rows by statement") << true << zhang << zhang << phone << int(NotInLayout) << false << false;
    QTest::newRow("other's row, salesperson not in the layout") << true << zhang << li << phone << int(NotInLayout) << true << true;
    // Whose row it is cannot be told: it counts as another's.
    QTest::newRow("own row of a list without salespersons") << true << zhang << zhang << phone << int(NotInList) << false << true;
    QTest::newRow("no operator name, no salesperson") << true << QString() << QString() << phone << int(InLayout) << true << true;
}

void TestGridModel::masksOtherSalespersonsContacts()
{
    QFETCH(bool, enabled);
    QFETCH(QString, operatorName);
    QFETCH(QString, salesperson);
    QFETCH(QString, phone);
    QFETCH(int, salespersonColumn);
    QFETCH(bool, byTable);
    QFETCH(bool, hidden);
    FixtureDatabase office;
    QVERIFY(office.dm().execute("insert into House(F_mainID,F_code,F_EmpName,F_LXphone,F_salePrice) values(1,'00000001',:s,:p,120)",
                                {{":s", salesperson}, {":p", phone}}));
    GridModel model(office.dm());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    GridColumns columns{column("F_code"), column("F_LXphone"), column("F_salePrice", GridColumn::FooterSum)};
    if (salespersonColumn == InLayout)
        columns << column("F_EmpName");
    model.setColumns(columns);
    GridQuery query(SqlFragment(salespersonColumn == NotInList
                                    ? QStringLiteral("select F_ID, F_code, F_LXphone, F_salePrice from House where (F_flag=0)")
                                    : HouseList),
                    QStringLiteral("F_code"));
    if (byTable)
        query.setRowTable(QStringLiteral("House"));
    QVERIFY(model.setQuery(query));
    // Rows held from before the masking must not outlive it.
    QCOMPARE(model.value(0, 1).toString(), phone);

    model.setMasking({enabled, operatorName, {QStringLiteral("f_lxphone")}});
    QCOMPARE(model.isColumnMasked(1), enabled);
    const QString shown = hidden && !phone.isEmpty() ? ColumnMasking::mask() : hidden ? QString() : phone;
    const QModelIndex cell = model.index(0, 1);
    QCOMPARE(model.data(cell).toString(), shown);
    QCOMPARE(model.data(cell, Qt::EditRole).toString(), shown);
    QCOMPARE(model.value(0, 1).toString(), shown);
    QCOMPARE(model.value(0, 0).toString(), QStringLiteral("00000001"));
    if (hidden && !phone.isEmpty()) {
        for (int role = 0; role <= Qt::UserRole + 16; ++role)
            QVERIFY2(!model.data(cell, role).toString().contains(phone), qPrintable(QString::number(role)));
        const QMap<int, QVariant> all = model.itemData(cell);
        for (const QVariant &v : all)
            QVERIFY(!v.toString().contains(phone));
    }
    // Typing finds a row by its contact only where nothing is masked.
    if (!phone.isEmpty())
        QCOMPARE(model.findPrefix(1, phone.left(5)), enabled ? -1 : 0);
    // A row read again is masked alike.
    model.refreshRow(model.keyAt(0));
    QCOMPARE(model.data(cell).toString(), shown);
}

void TestGridModel::maskedColumnShowsNoFooterSum()
{
    auto office = smallOffice(300);
    GridModel model(office->dm());
    GridColumns columns = pricedColumns();
    columns << column("F_mainID", GridColumn::FooterSum);
    model.setColumns(columns);
    model.setMasking({true, QStringLiteral("张三"), {QStringLiteral("F_salePrice")}});
    QVERIFY(model.setQuery(houseQuery()));
    QCOMPARE(model.footerText(2), QString());
    QTRY_VERIFY(!model.footerPending());
    QCOMPARE(model.footerText(2), QString());
    QCOMPARE(model.footerText(6), QStringLiteral("45150"));
    QCOMPARE(model.footerText(0), QStringLiteral("合计"));
    model.setMasking({});
    QTRY_VERIFY(!model.footerPending());
    QCOMPARE(model.footerText(2), priceTotal(office->dm()));
}

void TestGridModel::newerRequestSupersedesOlder_data()
{
    QTest::addColumn<int>("overtaken");
    QTest::newRow("before it starts") << 0;
    QTest::newRow("while it runs") << 1;
    QTest::newRow("after its keys were read") << 2;
}

void TestGridModel::newerRequestSupersedesOlder()
{
    QFETCH(int, overtaken);
    constexpr int Houses = 1000;
    auto office = smallOffice(Houses);
    KeyProbe::reset();
    GridModel model(office->dm());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setKeyConnectionHook(&KeyProbe::install);
    model.setColumns(unsummedColumns());
    QVERIFY(model.setQuery(houseQuery()));
    QList<QList<qint64>> shown;
    connect(&model, &QAbstractItemModel::modelReset, this, [&] { shown << keysOf(model); });
    QSignalSpy reloaded(&model, &GridModel::reloaded);

    // Two milliseconds a row: the older read would take two seconds.
    model.requestQuery(probedQuery(overtaken == 1 ? 2 : 0, 501, Houses));
    QVERIFY(model.isLoading());
    if (overtaken == 1)
        QTRY_VERIFY(KeyProbe::slowCalls > 0);
    if (overtaken == 2) {
        // Read, and its keys on their way, but not taken in: no event loop runs.
        while (KeyProbe::calls < Houses)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // The rows listed before stay meanwhile.
    QCOMPARE(model.rowCount(), Houses);
    QCOMPARE(model.value(0, 0).toString(), QStringLiteral("00000001"));
    model.requestQuery(probedQuery(0, 1, 10));
    QTRY_VERIFY(!model.isLoading());
    QCOMPARE(reloaded.count(), 1);
    QCOMPARE(shown, QList<QList<qint64>>{keysOf(office->dm(), 1, 10)});
    QCOMPARE(model.value(9, 0).toString(), QStringLiteral("00000010"));
    // The older read was stopped, not waited for.
    QVERIFY2(KeyProbe::slowCalls < Houses, qPrintable(QString::number(KeyProbe::slowCalls)));
    QTest::qWait(20);
    QCOMPARE(shown.size(), 1);
}

void TestGridModel::failedRequestIsReportedOnce_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("logged");
    QTest::newRow("statement cannot be prepared") << "select * from NoSuchTable" << "no such table";
    QTest::newRow("engine fails while reading")
        << "select * from House where (F_flag=0) and keyprobe(F_mainID, -1) > 0" << "the key probe failed";
}

void TestGridModel::failedRequestIsReportedOnce()
{
    QFETCH(QString, statement);
    QFETCH(QString, logged);
    auto office = smallOffice(300);
    KeyProbe::reset();
    GridModel model(office->dm());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setKeyConnectionHook(&KeyProbe::install);
    model.setColumns(unsummedColumns());
    QVERIFY(model.setQuery(houseQuery()));
    MessageRecorder messages;
    QSignalSpy failed(&model, &GridModel::readFailed);
    QSignalSpy reloaded(&model, &GridModel::reloaded);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^grid keys: " + logged));
    GridQuery broken(SqlFragment(statement), QStringLiteral("F_code"));
    broken.setRowTable(QStringLiteral("House"));
    model.requestQuery(broken);
    QTRY_VERIFY(!model.isLoading());
    QCOMPARE(failed.count(), 1);
    const QString message = failed.at(0).at(0).toString();
    QVERIFY2(message.startsWith(QStringLiteral("读取列表失败")), qPrintable(message));
    QVERIFY2(!message.contains(logged), qPrintable(message));
    QCOMPARE(reloaded.count(), 1);
    QVERIFY(!model.isOpen());
    QCOMPARE(model.rowCount(), 0);
    QTest::qWait(20);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(messages.count(), 0);

    // The next request works as if nothing had happened.
    model.requestQuery(probedQuery(0, 11, 20));
    QTRY_VERIFY(!model.isLoading());
    QVERIFY(model.isOpen());
    QCOMPARE(keysOf(model), keysOf(office->dm(), 11, 20));
    QCOMPARE(model.value(0, 0).toString(), QStringLiteral("00000011"));
    QCOMPARE(failed.count(), 1);
    QCOMPARE(messages.count(), 0);
}

void TestGridModel::synchronousRunTakesOverARequest_data()
{
    QTest::addColumn<QString>("run");
    QTest::newRow("sort") << "sort";
    QTest::newRow("reload") << "reload";
    QTest::newRow("close") << "close";
}

void TestGridModel::synchronousRunTakesOverARequest()
{
    QFETCH(QString, run);
    auto office = smallOffice(300);
    KeyProbe::reset();
    GridModel model(office->dm());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setKeyConnectionHook(&KeyProbe::install);
    model.setColumns(unsummedColumns());
    QVERIFY(model.setQuery(houseQuery()));
    // The request's statement runs on the model's own connection too.
    KeyProbe::install(SqliteStatement::handleOf(office->dm().database()));
    model.requestQuery(probedQuery(2, 1, 100));
    QTRY_VERIFY(KeyProbe::slowCalls > 0);
    QList<qint64> expected = keysOf(office->dm(), 1, 100);
    if (run == QLatin1String("sort")) {
        QVERIFY(model.setSort({{QStringLiteral("F_code"), false}}));
        std::reverse(expected.begin(), expected.end());
    } else if (run == QLatin1String("reload")) {
        QVERIFY(model.reload());
    } else {
        model.close();
        expected.clear();
    }
    QVERIFY(!model.isLoading());
    QCOMPARE(keysOf(model), expected);
    // Nothing of the request comes after, and its read has stopped.
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QTest::qWait(100);
    QCOMPARE(reset.count(), 0);
    QVERIFY2(KeyProbe::slowCalls < 300, qPrintable(QString::number(KeyProbe::slowCalls)));
}

void TestGridModel::keyConnectionLetsGoOfTheFile_data()
{
    QTest::addColumn<bool>("closeDatabase");
    QTest::newRow("model destroyed while it reads keys") << false;
    QTest::newRow("database closed while it reads keys") << true;
}

void TestGridModel::keyConnectionLetsGoOfTheFile()
{
    QFETCH(bool, closeDatabase);
    constexpr int Houses = 300;
    auto office = smallOffice(Houses);
    KeyProbe::reset();
    const int before = keyConnections();
    {
        GridModel model(office->dm());
        model.setKeyConnectionHook(&KeyProbe::install);
        model.setColumns(unsummedColumns());
        model.requestQuery(probedQuery(2, 1, 20));
        QTRY_VERIFY(KeyProbe::slowCalls > 0);
        QCOMPARE(keyConnections(), before + 1);
        if (closeDatabase) {
            // Let go of before closeDatabase() returns: a restore may copy over the file next.
            office->dm().closeDatabase();
            QCOMPARE(keyConnections(), before);
            QVERIFY(KeyProbe::slowCalls < Houses);
            QVERIFY(model.isLoading());
            // The request is read again once the database is back.
            QVERIFY(office->dm().reopenDatabase());
            QTRY_VERIFY_WITH_TIMEOUT(!model.isLoading(), 10000);
            QCOMPARE(keysOf(model), keysOf(office->dm(), 1, 20));
        }
    }
    QCOMPARE(keyConnections(), before);
    if (!closeDatabase)
        QVERIFY(KeyProbe::slowCalls < Houses);
}

QTEST_MAIN(TestGridModel)
#include "tst_gridmodel.moc"
