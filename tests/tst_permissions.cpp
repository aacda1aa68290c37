#include "Permissions.h"
#include "LoginSession.h"
#include "SalespersonList.h"

#include <QtTest>

using namespace Quellon;

// What a login decides: visible actions and menus, the record scope, masked
// contact data and ownership.
class TestPermissions : public QObject
{
    Q_OBJECT
private slots:
    void visibilityFollowsGrants_data();
    void visibilityFollowsGrants();
    void adminSeesEverything();
    void salespersonListRoundTrips_data();
    void salespersonListRoundTrips();
    void masking_data();
    void masking();
    void ownership_data();
    void ownership();
};

void TestPermissions::visibilityFollowsGrants_data()
{
    QTest::addColumn<QStringList>("granted");
    QTest::addColumn<QStringList>("visible");
    QTest::addColumn<QStringList>("hidden");
    QTest::newRow("only 201") << QStringList{"201"}
                              << QStringList{"act201", "act901", "editMenu"}
                              << QStringList{"act202", "act902", "fileMenu", "houseOutputMenu", "statisticsMenu", "dataMenu",
                                             "documentsMenu", "clientOutputMenu", "act31"};
    QTest::newRow("export follows") << QStringList{"301"} << QStringList{"act301", "act905", "act31", "houseOutputMenu"}
                                    << QStringList{"clientOutputMenu", "act32", "editMenu"};
    QTest::newRow("reports") << QStringList{"302", "305"} << QStringList{"act32", "act35", "act302"}
                             << QStringList{"act33", "act34"};
    QTest::newRow("detail actions") << QStringList{"202", "203", "204", "205", "206"}
                                    << QStringList{"act902", "act903", "act904", "act906", "act907"}
                                    << QStringList{"act901", "act905"};
    QTest::newRow("document menu") << QStringList{"608"} << QStringList{"documentsMenu", "act608"} << QStringList{"act601"};
    QTest::newRow("nothing") << QStringList{} << QStringList{}
                             << QStringList{"fileMenu", "editMenu", "houseOutputMenu", "statisticsMenu", "dataMenu", "documentsMenu"};
}

void TestPermissions::visibilityFollowsGrants()
{
    QFETCH(QStringList, granted);
    QFETCH(QStringList, visible);
    QFETCH(QStringList, hidden);
    const QSet<QString> keys(granted.cbegin(), granted.cend());
    const auto v = Permissions::visibility(false, keys);
    for (const QString &name : visible)
        QVERIFY2(v.value(name), qPrintable(name));
    for (const QString &name : hidden) {
        QVERIFY2(v.contains(name), qPrintable(name));
        QVERIFY2(!v.value(name), qPrintable(name));
    }
}

void TestPermissions::adminSeesEverything()
{
    const auto v = Permissions::visibility(true, {});
    for (const auto &e : Permissions::keys())
        QVERIFY(v.value(Permissions::actionName(e.key)));
    for (const auto &d : Permissions::derived())
        QVERIFY(v.value(Permissions::actionName(d.action)));
    QVERIFY(v.value("fileMenu") && v.value("documentsMenu"));
    QVERIFY(!v.value("clientOutputMenu"));
}

void TestPermissions::salespersonListRoundTrips_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("stored");
    QTest::newRow("two") << QStringList{QStringLiteral("张三"), QStringLiteral("李四")} << QStringLiteral("'张三','李四'");
    QTest::newRow("quote in a name") << QStringList{QStringLiteral("O'Brien")} << QStringLiteral("'O''Brien'");
    QTest::newRow("comma in a name") << QStringList{QStringLiteral("a,b")} << QStringLiteral("'a,b'");
    QTest::newRow("none") << QStringList{} << QString();
}

void TestPermissions::salespersonListRoundTrips()
{
    QFETCH(QStringList, names);
    QFETCH(QString, stored);
    QCOMPARE(SalespersonList::format(names), stored);
    QCOMPARE(SalespersonList::parse(stored), names);
}

void TestPermissions::masking_data()
{
    QTest::addColumn<bool>("masked");
    QTest::addColumn<QString>("salesperson");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("flag off") << false << "李四" << "13800000000" << "13800000000";
    QTest::newRow("own record") << true << " 张三 " << "13800000000" << "13800000000";
    QTest::newRow("other's record") << true << "李四" << "13800000000" << "********";
    QTest::newRow("other's, empty") << true << "李四" << "" << "";
    QTest::newRow("case matters") << true << "张三X" << "x" << "********";
}

void TestPermissions::masking()
{
    QFETCH(bool, masked);
    QFETCH(QString, salesperson);
    QFETCH(QString, value);
    QFETCH(QString, shown);
    LoginSession s;
    s.operatorName = QStringLiteral("张三");
    s.masked = masked;
    QCOMPARE(s.maskContact(salesperson, value), shown);
}

void TestPermissions::ownership_data()
{
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<QString>("salesperson");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("own") << "张三" << "张三 " << true;
    QTest::newRow("other") << "张三" << "李四" << false;
    QTest::newRow("admin any case") << "ADMIN" << "李四" << true;
    QTest::newRow("letter case") << "bob" << "Bob" << false;
}

void TestPermissions::ownership()
{
    QFETCH(QString, operatorName);
    QFETCH(QString, salesperson);
    QFETCH(bool, allowed);
    LoginSession s;
    s.operatorName = operatorName;
    QCOMPARE(s.mayChange(salesperson), allowed);
}

QTEST_GUILESS_MAIN(TestPermissions)
#include "tst_permissions.moc"
