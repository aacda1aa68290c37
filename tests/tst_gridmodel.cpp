#include "Clock.h"
#include "DemoDataGenerator.h"
#include "GridModel.h"
#include "TestSupport.h"

#include <QAbstractItemModelTester>
#include <QSqlQuery>
#include <QtTest>

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
    void findsByPrefix_data();
    void findsByPrefix();
    void refreshesOneRow();
    void memoryStaysBounded();
    void failedQueryIsReported();
    void passesTheModelChecker();

private:
    QStringList sqlCodes(const QString &order)
    {
        QStringList codes;
        QSqlQuery q(m_db.dm().database());
        q.exec(HouseList + QStringLiteral(" order by ") + order);
        while (q.next())
            codes << q.value(QStringLiteral("F_code")).toString();
        return codes;
    }
    QStringList modelCodes(const GridModel &model)
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
    QVERIFY(model.setSort(GridQuery::parseSort(sort)));
    QCOMPARE(modelCodes(model), sqlCodes(order));
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
