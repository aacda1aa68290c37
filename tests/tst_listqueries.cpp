#include "ClientListQuery.h"
#include "CodeKinds.h"
#include "DetailQueries.h"
#include "HouseListQuery.h"
#include "LoginSession.h"
#include "SearchValues.h"
#include "TestSupport.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

#include <algorithm>
#include <numeric>

using namespace Quellon;
using QuellonTest::FixtureDatabase;
using QuellonTest::MessageRecorder;

using Ids = QList<qint64>;

namespace {

enum Page { Houses, Clients };

bool insertRow(Database &db, const QString &table, const QVariantMap &row)
{
    const QStringList marks(row.size(), QStringLiteral("?"));
    return db.execute(SqlFragment(QStringLiteral("insert into %1(%2) values(%3)")
                                      .arg(table, row.keys().join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                                  row.values()));
}

Ids keysOf(Database &db, const SqlFragment &statement)
{
    Ids keys;
    QSqlQuery q;
    if (!db.openQuery(statement, q))
        return {-1};
    while (q.next())
        keys << q.value(0).toLongLong();
    return keys;
}

Ids sorted(Ids ids)
{
    std::sort(ids.begin(), ids.end());
    return ids;
}

LoginSession session(int scope = LoginSession::AllRecords, const QString &name = QStringLiteral("admin"),
                     const QStringList &listed = {}, bool masked = false)
{
    LoginSession s;
    s.operatorName = name;
    s.scope = scope;
    s.salespersons = listed;
    s.masked = masked;
    return s;
}

GridQuery listQuery(Page page, const ListSearch &search, const LoginSession &s)
{
    return page == Houses ? HouseListQuery::query(search, s, SqlDialect()) : ClientListQuery::query(search, s, SqlDialect());
}

ListSearch search(int field, const QString &text, const QString &value = {})
{
    ListSearch s;
    s.field = field;
    s.text = text;
    s.value = value;
    return s;
}

const Ids AllLiveHouses{1, 2, 3, 4, 6, 7};
const Ids AllLiveClients{1, 2, 3, 4};

} // namespace

// The house and client pages' lists, run on a small office: what each search
// field finds, what typed wildcards, quotes and backslashes do, the tree and
// the transaction buttons, all within the operator's data scope; then the
// value drop-downs, the summaries and the detail grids.
class TestListQueries : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_db.reset(); }

    void fieldsNameRealColumnsAndCodeKinds_data();
    void fieldsNameRealColumnsAndCodeKinds();
    void fieldMatching_data();
    void fieldMatching();
    void emptySearchListsWholeScope_data();
    void emptySearchListsWholeScope();
    void typedTextStaysInScope_data();
    void typedTextStaysInScope();
    void treePath_data();
    void treePath();
    void transaction_data();
    void transaction();
    void salespersonFieldOnlyForMaskedSessions_data();
    void salespersonFieldOnlyForMaskedSessions();
    void listOrderAndRowTable();

    void searchValues_data();
    void searchValues();

    void houseSummary();
    void clientSummary();

    void detailQueries_data();
    void detailQueries();

private:
    Database &db() { return m_db->dm(); }
    Ids listed(Page page, const ListSearch &search, const LoginSession &s) { return sorted(keysOf(db(), listQuery(page, search, s).keysSql())); }

    std::unique_ptr<FixtureDatabase> m_db;
};

void TestListQueries::init()
{
    m_db = std::make_unique<FixtureDatabase>();
    QVERIFY(m_db->isValid());
    Database &d = db();
    const QString house = QStringLiteral("House");
    // Codes out of entry order, so that code order shows.
    QVERIFY(insertRow(d, house, {{"F_mainID", 1}, {"F_code", "HF0003"}, {"F_name", "幸福家园"}, {"F_FWtype", "住宅"},
                                 {"F_FWhtype", "两室一厅"}, {"F_louceng", "5/18"}, {"F_jzMianji", "89.5"}, {"F_jzMem", "精装修"},
                                 {"F_xqName", "幸福小区"}, {"F_FYaddress", "幸福路12号"}, {"F_chaoshi", "华联超市"},
                                 {"F_yiyuan", "市一医院"}, {"F_dianqi", "空调,冰箱"}, {"F_jiaju", "床,沙发"},
                                 {"F_sheshi", "水,电,天然气"}, {"F_xuexiao", "实验小学"}, {"F_gongjiao", "5路,K12路"},
                                 {"F_qsType", "商品房"}, {"F_tdType", "出让"}, {"F_memo3", "业主急售"}, {"F_YT", "住宅"},
                                 {"F_memo4", "满五唯一"}, {"F_Laiyuan", "来电"}, {"F_status", "有效"}, {"F_EmpName", "张三"},
                                 {"F_area", "\\\\华东\\杭州"}, {"F_JYtype", "出售"}, {"F_FKmem", "一次付清"}}));
    QVERIFY(insertRow(d, house, {{"F_mainID", 2}, {"F_code", "HF0001"}, {"F_name", "阳光100%花园"}, {"F_FWtype", "普通住宅"},
                                 {"F_FWhtype", "三室两厅"}, {"F_FYaddress", "阳光大道8号"}, {"F_Laiyuan", "朋友介绍来"},
                                 {"F_status", "已成交"}, {"F_EmpName", "李四"}, {"F_area", "\\\\华东\\宁波"}, {"F_JYtype", "出租"}}));
    // Nothing but a code and a salesperson: every other column NULL.
    QVERIFY(insertRow(d, house, {{"F_mainID", 3}, {"F_code", "HF0005"}, {"F_EmpName", "张三"}}));
    QVERIFY(insertRow(d, house, {{"F_mainID", 4}, {"F_code", "HF0002"}, {"F_FYaddress", "C:\\房源\\一号"},
                                 {"F_EmpName", "O'Brien"}, {"F_area", "\\\\O'Brien's 50%_区"}, {"F_JYtype", "租售"}}));
    // In the recycle bin: matches much, is never listed.
    QVERIFY(insertRow(d, house, {{"F_mainID", 5}, {"F_code", "HF0004"}, {"F_name", "幸福家园"}, {"F_FWtype", "住宅"},
                                 {"F_FYaddress", "幸福路14号"}, {"F_EmpName", "张三"}, {"F_area", "\\\\华东\\杭州"},
                                 {"F_JYtype", "出售"}, {"F_flag", 2}}));
    QVERIFY(insertRow(d, house, {{"F_mainID", 6}, {"F_code", "HF0006"}, {"F_FYaddress", "' or 1=1 --"}, {"F_EmpName", "李四"},
                                 {"F_area", "\\\\O'Brien's 50%x区"}, {"F_JYtype", "出租"}}));
    QVERIFY(insertRow(d, house, {{"F_mainID", 7}, {"F_code", "HF0007"}, {"F_FYaddress", "打折50%"}, {"F_EmpName", "李四"},
                                 {"F_area", "\\\\华北"}, {"F_JYtype", "出售"}}));

    const QString client = QStringLiteral("Client");
    QVERIFY(insertRow(d, client, {{"F_mainID", 1}, {"F_code", "KH0003"}, {"F_cltName", "王小明"}, {"F_sex", "男"},
                                  {"F_cltPhone", "13800001111"}, {"F_ZJname", "身份证"}, {"F_ZJcode", "330102199001011234"},
                                  {"F_cltAddress", "杭州市西湖区"}, {"F_cltWork", "教师"}, {"F_JYtype", "求购"},
                                  {"F_WYname", "幸福家园"}, {"F_DDname", "西湖"}, {"F_area", "华东"}, {"F_JGname", "200万以内"},
                                  {"F_YT", "自住"}, {"F_sheShi", "电梯,车位"}, {"F_laiyuan", "来电"}, {"F_status", "有效"},
                                  {"F_empName", "张三"}, {"F_cltType", "\\\\个人\\首次置业"}, {"F_memo1", "近地铁"}}));
    QVERIFY(insertRow(d, client, {{"F_mainID", 2}, {"F_code", "KH0001"}, {"F_cltName", "李小红"}, {"F_sex", "女"},
                                  {"F_cltPhone", "0571-8888"}, {"F_ZJname", "港澳通行证"}, {"F_ZJcode", "C1234"},
                                  {"F_JYtype", "求租"}, {"F_laiyuan", "网络"}, {"F_status", "暂缓"}, {"F_empName", "李四"},
                                  {"F_cltType", "\\\\公司"}}));
    QVERIFY(insertRow(d, client, {{"F_mainID", 3}, {"F_code", "KH0002"}, {"F_empName", "张三"}}));
    QVERIFY(insertRow(d, client, {{"F_mainID", 4}, {"F_code", "KH0004"}, {"F_cltName", "O'Brien"}, {"F_cltPhone", "138_0000"},
                                  {"F_JYtype", "求租求购"}, {"F_empName", "O'Brien"}, {"F_cltType", "\\\\个人\\50%_客户"}}));
    QVERIFY(insertRow(d, client, {{"F_mainID", 5}, {"F_code", "KH0005"}, {"F_cltName", "王小明"}, {"F_JYtype", "求购"},
                                  {"F_empName", "张三"}, {"F_cltType", "\\\\个人\\首次置业"}, {"F_flag", 2}}));
}

void TestListQueries::fieldsNameRealColumnsAndCodeKinds_data()
{
    QTest::addColumn<int>("page");
    QTest::newRow("houses") << int(Houses);
    QTest::newRow("clients") << int(Clients);
}

void TestListQueries::fieldsNameRealColumnsAndCodeKinds()
{
    QFETCH(int, page);
    const QList<SearchField> &fields = page == Houses ? HouseListQuery::searchFields() : ClientListQuery::searchFields();
    QCOMPARE(fields.size(), page == Houses ? 24 : 18);
    // Columns as the schema spells them, letter case included: the engine
    // would forgive a wrong case, other code reading the rows would not.
    QStringList columns;
    QSqlQuery q;
    QVERIFY(db().openQuery(QStringLiteral("pragma table_info(%1)").arg(page == Houses ? HouseListQuery::table() : ClientListQuery::table()), q));
    while (q.next())
        columns << q.value(1).toString();
    QStringList kinds;
    for (const CodeKind &kind : CodeKinds::all())
        kinds << kind.key;
    for (const SearchField &field : fields) {
        QVERIFY2(columns.contains(field.column), qPrintable(field.column));
        if (field.input == SearchField::CodeList)
            QVERIFY2(kinds.contains(field.codeKind), qPrintable(field.codeKind));
    }
}

void TestListQueries::fieldMatching_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value");
    QTest::addColumn<Ids>("ids");

    const Ids allHouses = AllLiveHouses;
    QTest::newRow("house code contains") << int(Houses) << 0 << "0002" << "" << Ids{4};
    QTest::newRow("house name contains") << int(Houses) << 1 << "光100" << "" << Ids{2};
    QTest::newRow("house type starts with") << int(Houses) << 2 << "" << "住宅" << Ids{1};
    QTest::newRow("house layout starts with") << int(Houses) << 3 << "" << "三室" << Ids{2};
    QTest::newRow("floor contains") << int(Houses) << 4 << "/18" << "" << Ids{1};
    QTest::newRow("address contains") << int(Houses) << 8 << "路12" << "" << Ids{1};
    QTest::newRow("bus lines, any letter case") << int(Houses) << 15 << "k12" << "" << Ids{1};
    QTest::newRow("ownership starts with") << int(Houses) << 16 << "" << "商品" << Ids{1};
    QTest::newRow("remark contains") << int(Houses) << 18 << "急售" << "" << Ids{1};
    QTest::newRow("source starts with") << int(Houses) << 21 << "" << "来" << Ids{1};
    QTest::newRow("status starts with") << int(Houses) << 22 << "" << "已成交" << Ids{2};
    QTest::newRow("house salesperson") << int(Houses) << 23 << "" << "李" << Ids{2, 6, 7};
    QTest::newRow("text is trimmed") << int(Houses) << 8 << "  路12 " << "" << Ids{1};
    QTest::newRow("value is trimmed") << int(Houses) << 2 << "" << " 住宅 " << Ids{1};
    QTest::newRow("value field ignores the text") << int(Houses) << 2 << "住宅" << "" << allHouses;
    QTest::newRow("text field ignores the value") << int(Houses) << 0 << "" << "0002" << allHouses;
    QTest::newRow("no such text") << int(Houses) << 8 << "无此地址" << "" << Ids{};
    QTest::newRow("no field") << int(Houses) << -1 << "路12" << "" << allHouses;
    QTest::newRow("field past the end") << int(Houses) << 24 << "路12" << "" << allHouses;

    QTest::newRow("client code starts with") << int(Clients) << 0 << "KH0001" << "" << Ids{2};
    QTest::newRow("client code is no contains") << int(Clients) << 0 << "0001" << "" << Ids{};
    QTest::newRow("client name contains") << int(Clients) << 1 << "小" << "" << Ids{1, 2};
    QTest::newRow("sex from the fixed list") << int(Clients) << 2 << "" << "女" << Ids{2};
    QTest::newRow("phone contains") << int(Clients) << 3 << "8888" << "" << Ids{2};
    QTest::newRow("id document contains") << int(Clients) << 4 << "" << "通行" << Ids{2};
    QTest::newRow("id number starts with") << int(Clients) << 5 << "3301" << "" << Ids{1};
    QTest::newRow("id number is no contains") << int(Clients) << 5 << "1234" << "" << Ids{};
    QTest::newRow("client transaction starts with") << int(Clients) << 8 << "" << "求租" << Ids{2, 4};
    QTest::newRow("facilities start with") << int(Clients) << 14 << "车位" << "" << Ids{};
    QTest::newRow("client source") << int(Clients) << 15 << "" << "网" << Ids{2};
    QTest::newRow("client salesperson") << int(Clients) << 17 << "" << "O'" << Ids{4};
}

void TestListQueries::fieldMatching()
{
    QFETCH(int, page);
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, value);
    QFETCH(Ids, ids);
    MessageRecorder messages;
    const LoginSession admin = session(LoginSession::AllRecords, QStringLiteral("admin"), {}, true);
    QCOMPARE(listed(Page(page), search(field, text, value), admin), ids);
    QCOMPARE(messages.count(), 0);
}

void TestListQueries::emptySearchListsWholeScope_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("blank");
    QTest::addColumn<int>("scope");
    QTest::addColumn<Ids>("ids");
    QTest::newRow("houses, empty") << int(Houses) << "" << 0 << AllLiveHouses;
    QTest::newRow("houses, blanks") << int(Houses) << "   " << 0 << AllLiveHouses;
    QTest::newRow("own houses") << int(Houses) << "" << 1 << Ids{1, 3};
    QTest::newRow("clients, empty") << int(Clients) << "" << 0 << AllLiveClients;
    QTest::newRow("own clients, blanks") << int(Clients) << " " << 1 << Ids{1, 3};
}

void TestListQueries::emptySearchListsWholeScope()
{
    QFETCH(int, page);
    QFETCH(QString, blank);
    QFETCH(int, scope);
    QFETCH(Ids, ids);
    // House 3 and client 3 hold NULL in every searched column but the code.
    const LoginSession s = session(scope, QStringLiteral("张三"), {}, true);
    const QList<int> offered = page == Houses ? HouseListQuery::offeredFields(s) : ClientListQuery::offeredFields(s);
    for (const int field : offered)
        QVERIFY2(listed(Page(page), search(field, blank, blank), s) == ids, qPrintable(QString::number(field)));
}

void TestListQueries::typedTextStaysInScope_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Ids>("ids");

    // Field 8 is the house address; house 4's is C:\房源\一号, house 7's 打折50%.
    QTest::newRow("percent is a wildcard") << 0 << "admin" << QStringList{} << 8 << "幸%号" << Ids{1};
    QTest::newRow("underscore is a wildcard") << 0 << "admin" << QStringList{} << 8 << "阳光__8" << Ids{2};
    QTest::newRow("percent alone: every address") << 0 << "admin" << QStringList{} << 8 << "%" << Ids{1, 2, 4, 6, 7};
    QTest::newRow("backslash is a letter") << 0 << "admin" << QStringList{} << 8 << "C:\\房源" << Ids{4};
    QTest::newRow("backslash alone quotes nothing") << 0 << "admin" << QStringList{} << 8 << "\\" << Ids{4};
    QTest::newRow("widening is data") << 0 << "admin" << QStringList{} << 8 << "' or 1=1 --" << Ids{6};

    QTest::newRow("own, percent") << 1 << "张三" << QStringList{} << 8 << "%" << Ids{1};
    QTest::newRow("own, underscore") << 1 << "张三" << QStringList{} << 8 << "_" << Ids{1};
    QTest::newRow("own, widening") << 1 << "张三" << QStringList{} << 8 << "' or 1=1 --" << Ids{};
    QTest::newRow("own, backslash") << 1 << "张三" << QStringList{} << 8 << "\\" << Ids{};
    QTest::newRow("own, widening name") << 1 << "' or 1=1 --" << QStringList{} << 8 << "%" << Ids{};
    QTest::newRow("own, colleague by salesperson") << 1 << "张三" << QStringList{} << 23 << "李四" << Ids{};
    QTest::newRow("own, salesperson widening") << 1 << "张三" << QStringList{} << 23 << "' or 1=1 --" << Ids{};

    QTest::newRow("listed, percent") << 2 << "x" << QStringList{"李四"} << 8 << "%" << Ids{2, 6, 7};
    QTest::newRow("listed, widening") << 2 << "x" << QStringList{"李四"} << 8 << "' or 1=1 --" << Ids{6};
    QTest::newRow("listed, backslash") << 2 << "x" << QStringList{"李四"} << 8 << "\\" << Ids{};
    QTest::newRow("listed, backslash of a listed one") << 2 << "x" << QStringList{"O'Brien", "张三"} << 8 << "\\" << Ids{4};
    QTest::newRow("listed, underscore") << 2 << "x" << QStringList{"O'Brien", "张三"} << 8 << "_" << Ids{1, 4};
    QTest::newRow("listed, salesperson wildcard") << 2 << "x" << QStringList{"O'Brien"} << 23 << "%" << Ids{4};
    QTest::newRow("listed none, percent") << 2 << "x" << QStringList{} << 8 << "%" << Ids{};
}

void TestListQueries::typedTextStaysInScope()
{
    QFETCH(int, scope);
    QFETCH(QString, operatorName);
    QFETCH(QStringList, listed);
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(Ids, ids);
    MessageRecorder messages;
    const LoginSession s = session(scope, operatorName, listed, true);
    const bool takesValue = HouseListQuery::searchFields().at(field).takesValue();
    QCOMPARE(this->listed(Houses, search(field, takesValue ? QString() : typed, takesValue ? typed : QString()), s), ids);
    QCOMPARE(messages.count(), 0);
}

void TestListQueries::treePath_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("path");
    QTest::addColumn<Ids>("ids");
    QTest::newRow("no node") << int(Houses) << "" << AllLiveHouses;
    QTest::newRow("root") << int(Houses) << "\\\\" << AllLiveHouses;
    QTest::newRow("first level") << int(Houses) << "\\\\华东" << Ids{1, 2};
    QTest::newRow("second level") << int(Houses) << "\\\\华东\\杭州" << Ids{1};
    // House 6 lies in "50%x区": a wildcard reading of the path would take it in.
    QTest::newRow("quote, percent, underscore") << int(Houses) << "\\\\O'Brien's 50%_区" << Ids{4};
    // A node whose name is only the beginning of other nodes' names (杭州 and
    // 杭州湾) lists neither of them.
    QTest::newRow("beginning of sibling names") << int(Houses) << "\\\\O'Brien's" << Ids{};
    QTest::newRow("path without its backslashes") << int(Houses) << "华东" << Ids{};
    QTest::newRow("no such node") << int(Houses) << "\\\\华南" << Ids{};
    QTest::newRow("client category") << int(Clients) << "\\\\个人" << Ids{1, 4};
    QTest::newRow("client category, wildcards") << int(Clients) << "\\\\个人\\50%_客户" << Ids{4};
    QTest::newRow("client root") << int(Clients) << "\\\\" << AllLiveClients;
}

void TestListQueries::treePath()
{
    QFETCH(int, page);
    QFETCH(QString, path);
    QFETCH(Ids, ids);
    ListSearch s;
    s.treePath = path;
    QCOMPARE(listed(Page(page), s, session()), ids);
}

void TestListQueries::transaction_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("transaction");
    QTest::addColumn<Ids>("ids");
    // House 4 is 租售, client 4 求租求购: both are in either list.
    QTest::newRow("houses, all") << int(Houses) << 0 << AllLiveHouses;
    QTest::newRow("houses to rent") << int(Houses) << 1 << Ids{2, 4, 6};
    QTest::newRow("houses for sale") << int(Houses) << 2 << Ids{1, 4, 7};
    QTest::newRow("clients, all") << int(Clients) << 0 << AllLiveClients;
    QTest::newRow("clients renting") << int(Clients) << 1 << Ids{2, 4};
    QTest::newRow("clients buying") << int(Clients) << 2 << Ids{1, 4};
}

void TestListQueries::transaction()
{
    QFETCH(int, page);
    QFETCH(int, transaction);
    QFETCH(Ids, ids);
    ListSearch s;
    s.transaction = transaction;
    QCOMPARE(listed(Page(page), s, session()), ids);
}

void TestListQueries::salespersonFieldOnlyForMaskedSessions_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("field");
    QTest::addColumn<Ids>("ids"); // listed for 李四 when masked
    QTest::newRow("houses") << int(Houses) << 23 << Ids{2, 6, 7};
    QTest::newRow("clients") << int(Clients) << 17 << Ids{2};
}

void TestListQueries::salespersonFieldOnlyForMaskedSessions()
{
    QFETCH(int, page);
    QFETCH(int, field);
    QFETCH(Ids, ids);
    const auto offered = [&](const LoginSession &s) {
        return page == Houses ? HouseListQuery::offeredFields(s) : ClientListQuery::offeredFields(s);
    };
    LoginSession open = session();
    LoginSession masked = session(LoginSession::AllRecords, QStringLiteral("admin"), {}, true);
    QList<int> all(field + 1);
    std::iota(all.begin(), all.end(), 0);
    QCOMPARE(offered(masked), all);
    all.removeLast();
    QCOMPARE(offered(open), all);
    // A search state kept from a masked login searches nothing for an open one.
    const ListSearch bySalesperson = search(field, QString(), QStringLiteral("李四"));
    QCOMPARE(listed(Page(page), bySalesperson, masked), ids);
    QCOMPARE(listed(Page(page), bySalesperson, open), page == Houses ? AllLiveHouses : AllLiveClients);
}

void TestListQueries::listOrderAndRowTable()
{
    MessageRecorder messages;
    const LoginSession admin = session();
    // Houses in code order; the old entry point lists the same.
    const GridQuery houses = HouseListQuery::query(ListSearch(), admin, db().dialect());
    QCOMPARE(keysOf(db(), houses.keysSql()), (Ids{2, 4, 1, 3, 6, 7}));
    QCOMPARE(keysOf(db(), HouseListQuery::forSession(admin).keysSql()), keysOf(db(), houses.keysSql()));
    QCOMPARE(houses.rowTable(), QStringLiteral("House"));
    QCOMPARE(houses.keyField(), QStringLiteral("F_ID"));
    // Clients in the order they were entered, whatever their codes.
    const GridQuery clients = ClientListQuery::query(ListSearch(), admin, db().dialect());
    QCOMPARE(keysOf(db(), clients.keysSql()), AllLiveClients);
    QCOMPARE(clients.rowTable(), QStringLiteral("Client"));

    // Everything at once, with its values in order.
    ListSearch all = search(8, QStringLiteral("号"));
    all.treePath = QStringLiteral("\\\\华东");
    all.transaction = ListSearch::Sale;
    QCOMPARE(keysOf(db(), HouseListQuery::query(all, session(LoginSession::OwnRecords, QStringLiteral("张三")), db().dialect()).keysSql()),
             Ids{1});
    QCOMPARE(keysOf(db(), HouseListQuery::query(all, session(LoginSession::OwnRecords, QStringLiteral("李四")), db().dialect()).keysSql()),
             Ids{});
    QCOMPARE(db().queryInt(HouseListQuery::query(all, admin, db().dialect()).sumsSql({QStringLiteral("F_mainID")})), 1);
    QCOMPARE(messages.count(), 0);
}

void TestListQueries::searchValues_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("scope");
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("values");
    const QStringList sources{"来电", "来访", "网络", "报纸", "朋友介绍", "同行合作", "老客户"};
    QTest::newRow("fixed list") << int(Clients) << 2 << 0 << "admin" << QStringList{} << QStringList{"男", "女"};
    QTest::newRow("code list, once each, no blanks") << int(Houses) << 21 << 0 << "admin" << QStringList{} << sources;
    QTest::newRow("client code list") << int(Clients) << 15 << 0 << "admin" << QStringList{} << sources;
    QTest::newRow("typed field") << int(Houses) << 0 << 0 << "admin" << QStringList{} << QStringList{};
    QTest::newRow("salespersons, all")
        << int(Houses) << 23 << 0 << "admin" << QStringList{} << QStringList{"张三", "李四", "O'Brien", "王五"};
    QTest::newRow("salespersons, own") << int(Houses) << 23 << 1 << "李四" << QStringList{} << QStringList{"李四"};
    QTest::newRow("salespersons, listed, in list order")
        << int(Clients) << 17 << 2 << "x" << QStringList{"王五", "张三"} << QStringList{"张三", "王五"};
    QTest::newRow("salespersons, listed none") << int(Houses) << 23 << 2 << "x" << QStringList{} << QStringList{};
}

void TestListQueries::searchValues()
{
    QFETCH(int, page);
    QFETCH(int, field);
    QFETCH(int, scope);
    QFETCH(QString, operatorName);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, values);
    MessageRecorder messages;
    for (const char *name : {"张三", "李四", " ", "O'Brien", "李四", "王五"})
        QVERIFY(insertRow(db(), QStringLiteral("t_code"), {{"F_type", "empname"}, {"F_Name", QString::fromUtf8(name)}}));
    QVERIFY(insertRow(db(), QStringLiteral("t_code"), {{"F_type", "laiyuan"}, {"F_Name", "来电"}}));
    QVERIFY(insertRow(db(), QStringLiteral("t_code"), {{"F_type", "laiyuan"}, {"F_Name", ""}}));
    const SearchField &f = page == Houses ? HouseListQuery::searchFields().at(field) : ClientListQuery::searchFields().at(field);
    QCOMPARE(SearchValues::values(db(), f, session(scope, operatorName, listed, true)), values);
    QCOMPARE(messages.count(), 0);
}

void TestListQueries::houseSummary()
{
    QSqlQuery q;
    QVERIFY(db().openQuery(QStringLiteral("select * from House where F_ID = 1"), q) && q.next());
    QVariantMap house;
    for (int i = 0; i < q.record().count(); ++i)
        house.insert(q.record().fieldName(i), q.value(i));
    // Keys as another statement might spell them.
    house.insert(QStringLiteral("f_xqname"), house.take(QStringLiteral("F_xqName")));
    house.insert(QStringLiteral("F_FYADDRESS"), house.take(QStringLiteral("F_FYaddress")));
    QCOMPARE(HouseListQuery::summaryText(house), QStringLiteral("\n"
                                                                "  房源编号:HF0003\n"
                                                                "  物业名称:幸福家园\n"
                                                                "  房屋类型:住宅\n"
                                                                "  房屋户型:两室一厅\n"
                                                                "  区    域:\\\\华东\\杭州\n"
                                                                "  楼    层:5/18\n"
                                                                "  建筑面积:89.5\n"
                                                                "  装修状况:精装修\n"
                                                                "  小区名称:幸福小区\n"
                                                                "  房源地址:幸福路12号\n"
                                                                "  交易说明:一次付清"));
    // NULL and missing columns show as nothing.
    QCOMPARE(HouseListQuery::summaryText({{QStringLiteral("F_code"), QVariant()}}).section(QLatin1Char('\n'), 1, 2),
             QStringLiteral("  房源编号:\n  物业名称:"));
}

void TestListQueries::clientSummary()
{
    QSqlQuery q;
    QVERIFY(db().openQuery(QStringLiteral("select * from Client where F_ID = 1"), q) && q.next());
    QVariantMap client;
    for (int i = 0; i < q.record().count(); ++i)
        client.insert(q.record().fieldName(i).toUpper(), q.value(i));
    QCOMPARE(ClientListQuery::summaryText(client), QStringLiteral("\n"
                                                                  "  编    号:KH0003\n"
                                                                  "  客户名称:王小明\n"
                                                                  "  性    别:男\n"
                                                                  "  联系电话:13800001111\n"
                                                                  "  客户分类:\\\\个人\\首次置业\n"
                                                                  "  证件名称:身份证\n"
                                                                  "  证件号码:330102199001011234\n"
                                                                  "  联系地址:杭州市西湖区\n"
                                                                  "  工作状况:教师\n"
                                                                  "\n"
                                                                  "\n"
                                                                  "  交易类型:求购\n"
                                                                  "  楼盘名称:幸福家园\n"
                                                                  "  要求地段:西湖\n"
                                                                  "  要求区域:华东\n"
                                                                  "  房价要求:200万以内\n"
                                                                  "  房屋用途:自住\n"
                                                                  "  配套设施:电梯,车位\n"
                                                                  "  其他要求:近地铁"));
}

void TestListQueries::detailQueries_data()
{
    QTest::addColumn<QString>("detail");
    QTest::addColumn<qint64>("link");
    QTest::addColumn<Ids>("ids");
    // Every detail table holds, in this order: two rows of record 7, one of
    // record 8, one under 0 and one without a link number.
    for (const char *detail : {"pictures", "house follow-ups", "deals", "client follow-ups"}) {
        QTest::addRow("%s of 7", detail) << QString::fromLatin1(detail) << qint64(7) << Ids{1, 2};
        QTest::addRow("%s of 8", detail) << QString::fromLatin1(detail) << qint64(8) << Ids{3};
        QTest::addRow("%s of 0", detail) << QString::fromLatin1(detail) << qint64(0) << Ids{};
        QTest::addRow("%s of -1", detail) << QString::fromLatin1(detail) << qint64(-1) << Ids{};
    }
    // Matches in the client's code order.
    QTest::newRow("house matches of 7") << "house matches" << qint64(7) << Ids{2, 1};
    QTest::newRow("house matches of 0") << "house matches" << qint64(0) << Ids{};
    QTest::newRow("client matches of 7") << "client matches" << qint64(7) << Ids{4, 3};
    QTest::newRow("client matches of 0") << "client matches" << qint64(0) << Ids{};
}

void TestListQueries::detailQueries()
{
    QFETCH(QString, detail);
    QFETCH(qint64, link);
    QFETCH(Ids, ids);
    MessageRecorder messages;
    const QHash<QString, QPair<QString, GridQuery (*)(qint64)>> details{
        {QStringLiteral("pictures"), {QStringLiteral("t_imageREC"), &DetailQueries::housePictures}},
        {QStringLiteral("house follow-ups"), {QStringLiteral("T_gjREC"), &DetailQueries::houseFollowUps}},
        {QStringLiteral("deals"), {QStringLiteral("T_cjREC"), &DetailQueries::houseDeals}},
        {QStringLiteral("client follow-ups"), {QStringLiteral("T_KHgjREC"), &DetailQueries::clientFollowUps}},
        {QStringLiteral("house matches"), {QStringLiteral("T_FYcltLink"), &DetailQueries::houseMatches}},
        {QStringLiteral("client matches"), {QStringLiteral("T_FYcltLink"), &DetailQueries::clientMatches}},
    };
    QVERIFY(details.contains(detail));
    const QString table = details.value(detail).first;
    if (table == QLatin1String("T_FYcltLink")) {
        // House 7 matched with two clients, client 7 with two houses; 0 stands for unlinked old rows.
        const QList<QVariantList> links{{7, 1, "KH0009"}, {7, 2, "KH0001"}, {1, 7, "KH0007"}, {2, 7, "KH0003"}, {0, 0, "KH0000"}};
        for (const QVariantList &link : links)
            QVERIFY(insertRow(db(), table, {{"F_fyID", link.at(0)}, {"F_cltID", link.at(1)}, {"F_cltCode", link.at(2)}}));
    } else {
        for (const QVariant &mainId : {QVariant(7), QVariant(7), QVariant(8), QVariant(0), QVariant()})
            QVERIFY(insertRow(db(), table, {{"F_mainID", mainId}}));
    }
    const GridQuery query = details.value(detail).second(link);
    QCOMPARE(query.rowTable(), table);
    QCOMPARE(query.keyField(), QStringLiteral("F_ID"));
    QCOMPARE(keysOf(db(), query.keysSql()), ids);
    QCOMPARE(messages.count(), 0);
}

QTEST_GUILESS_MAIN(TestListQueries)
#include "tst_listqueries.moc"
