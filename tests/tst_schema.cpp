#include "PasswordCodec.h"
#include "SchemaInstaller.h"
#include "TestSupport.h"

#include <QDir>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

using namespace Quellon;

// A new database holds every table, the seed rows the program relies on,
// and behaves as the program's statements expect.
class TestSchema : public QObject
{
    Q_OBJECT
private slots:
    void seedRows_data();
    void seedRows();
    void adminHasTheEmptyPassword();
    void everyPermissionKeyIsSeeded();
    void keyValueOrder();
    void flagDefaultsToLive();
    void namesIgnoreCase_data();
    void namesIgnoreCase();
    void addressFitsCompanyRow();
    void newDatabaseBacksUpBesideItself();
    void everyGridLayoutHasItsRows_data();
    void everyGridLayoutHasItsRows();
    void houseLayoutFieldsExist();
    void olderDatabaseIsUpgradedOnOpen();
    void versionIsStored();
    void indexesServeTheHouseList();

private:
    QuellonTest::FixtureDatabase m_db;
    int count(const QString &sql)
    {
        QSqlQuery q(m_db.dm().database());
        if (!q.exec(sql) || !q.next())
            return -1;
        return q.value(0).toInt();
    }
};

void TestSchema::seedRows_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("expected");
    QTest::newRow("one operator") << "select count(*) from OperList" << 1;
    QTest::newRow("fifteen settings") << "select count(*) from KeyValue" << 15;
    QTest::newRow("one company row") << "select count(*) from SysInfo" << 1;
    QTest::newRow("no houses") << "select count(*) from House" << 0;
    QTest::newRow("house types") << "select count(*) from t_code where F_type = 'fwtype'" << 9;
    QTest::newRow("no log") << "select count(*) from LogRec" << 0;
}

void TestSchema::seedRows()
{
    QVERIFY(m_db.isValid());
    QFETCH(QString, sql);
    QFETCH(int, expected);
    QCOMPARE(count(sql), expected);
}

void TestSchema::adminHasTheEmptyPassword()
{
    QSqlQuery q(m_db.dm().database());
    QVERIFY(q.exec("select F_PassWord, F_Flag, F_empFlag from OperList where F_Name = 'admin'") && q.next());
    bool ok = false;
    QCOMPARE(decodePassword(q.value(0).toString(), &ok), QString());
    QVERIFY(ok);
    QCOMPARE(q.value(1).toInt(), 0);
    QCOMPARE(q.value(2).toInt(), 0);
}

void TestSchema::everyPermissionKeyIsSeeded()
{
    const QList<int> keys = {101, 102, 103, 104, 105, 106, 201, 202, 203, 204, 205, 206, 207, 301, 302, 303, 304,
                             305, 306, 307, 401, 402, 403, 404, 405, 501, 502, 503, 504, 505, 506, 601, 602, 603,
                             604, 605, 606, 607, 608};
    for (int key : keys)
        QVERIFY2(count(QStringLiteral("select count(*) from Limits where F_code = '%1'").arg(key)) == 1,
                 qPrintable(QString::number(key)));
    QCOMPARE(count("select count(*) from Limits"), int(keys.size()));
    // Grants join by name, so names must be unique.
    QCOMPARE(count("select count(distinct F_name) from Limits"), int(keys.size()));
}

void TestSchema::keyValueOrder()
{
    QSqlQuery q(m_db.dm().database());
    QVERIFY(q.exec("select F_Value from KeyValue order by F_ID"));
    QStringList values;
    while (q.next())
        values << q.value(0).toString();
    QCOMPARE(values.value(0), QStringLiteral("字符项一"));
    QCOMPARE(values.value(6), QStringLiteral("数值项一"));
    QCOMPARE(values.value(9), QStringLiteral("日期项一"));
    QCOMPARE(values.mid(12), (QStringList{"2", "2", "2"}));
}

void TestSchema::flagDefaultsToLive()
{
    QSqlQuery q(m_db.dm().database());
    QVERIFY(q.exec("insert into House(F_mainID, F_code, F_name) values(1, '00000001', 'x')"));
    QVERIFY(q.exec("insert into Client(F_mainID, F_code) values(1, '00000001')"));
    QCOMPARE(count("select count(*) from House where F_flag=0"), 1);
    QCOMPARE(count("select count(*) from Client where F_flag=0"), 1);
    QVERIFY(q.exec("delete from House"));
    QVERIFY(q.exec("delete from Client"));
}

void TestSchema::namesIgnoreCase_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("expected");
    QTest::newRow("table name") << "select count(*) from operlist" << 1;
    QTest::newRow("column name") << "select count(f_name) from OPERLIST" << 1;
    QTest::newRow("operator name") << "select count(*) from OperList where F_Name = 'ADMIN'" << 1;
    QTest::newRow("code kind") << "select count(*) from t_code where F_type = 'FWTYPE'" << 9;
}

void TestSchema::namesIgnoreCase()
{
    QFETCH(QString, sql);
    QFETCH(int, expected);
    QCOMPARE(count(sql), expected);
}

void TestSchema::addressFitsCompanyRow()
{
    const QString address = QStringLiteral("浙江省杭州市西湖区文三路某某大厦十二层1203室（地铁二号线出口向北二百米）");
    QVERIFY(m_db.dm().execute("update SysInfo set F_Name = :a", {{":a", address}}));
    QCOMPARE(m_db.dm().queryText("select F_Name from SysInfo"), address);
}

void TestSchema::newDatabaseBacksUpBesideItself()
{
    QCOMPARE(m_db.dm().queryText("select F_BakPath from SysInfo"), QDir(m_db.folder()).filePath("backup"));
}

void TestSchema::everyGridLayoutHasItsRows_data()
{
    QTest::addColumn<QString>("layout");
    // Saved under a name that differs only in letter case from the loaded one
    // for some grids: both must find the rows.
    for (const char *name : {"housemain", "HouseMain", "clientmain", "ClientMain", "HouseCJdetail", "HouseGJdetail",
                             "HousePPdetail", "clientGJdetail", "clientPPdetail", "houseHuishou", "HouseHuishou",
                             "ClientHuishou", "houseGJ", "houseCJ", "clientGJ", "ClientGJ", "fygjdetailtj",
                             "fycjdetailtj", "khgjdetailtj", "fykhpsdetailtj", "fycltlinkedit1", "fycltlinkedit2",
                             "DLGclientXZ", "DLGhouseXZ"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestSchema::everyGridLayoutHasItsRows()
{
    QFETCH(QString, layout);
    const SqlParams name{{":n", layout}};
    const qint64 rows = m_db.dm().queryInt("select count(*) from cfg_grid where F_name = :n and F_fieldname <> ''", name);
    QVERIFY(rows > 0);
    // One row per field, positions 0 .. n-1, so the stored order is a whole order.
    QCOMPARE(m_db.dm().queryInt("select count(distinct lower(F_fieldname)) from cfg_grid where F_name = :n", name), rows);
    QCOMPARE(m_db.dm().queryInt("select count(distinct F_Order) from cfg_grid where F_name = :n", name), rows);
    QCOMPARE(m_db.dm().queryInt("select max(F_Order) from cfg_grid where F_name = :n", name), rows - 1);
}

void TestSchema::houseLayoutFieldsExist()
{
    // Every field of the house list's layout is a column of House.
    QSqlQuery q(m_db.dm().database());
    QVERIFY(q.exec("select F_fieldname from cfg_grid where F_name = 'housemain'"));
    QSqlQuery columns(m_db.dm().database());
    QVERIFY(columns.exec("select * from House where 1<>1"));
    const QSqlRecord record = columns.record();
    while (q.next())
        QVERIFY2(record.indexOf(q.value(0).toString()) >= 0, qPrintable(q.value(0).toString()));
}

void TestSchema::olderDatabaseIsUpgradedOnOpen()
{
    QuellonTest::FixtureDatabase db;
    // A database of the first version: no layouts yet.
    QVERIFY(db.dm().execute("delete from cfg_grid"));
    QVERIFY(db.dm().execute("PRAGMA user_version = 1"));
    QVERIFY(db.dm().execute("insert into House(F_mainID, F_name) values(1, '保留')"));
    db.dm().closeDatabase();
    Database reopened;
    QVERIFY(reopened.openDatabase(db.folder(), false).ok());
    QCOMPARE(SchemaInstaller::storedVersion(reopened.database()), SchemaInstaller::currentVersion());
    QVERIFY(reopened.queryInt("select count(*) from cfg_grid where F_name = 'housemain'") > 0);
    QCOMPARE(reopened.queryText("select F_name from House"), QStringLiteral("保留"));
}

void TestSchema::versionIsStored()
{
    QCOMPARE(SchemaInstaller::storedVersion(m_db.dm().database()), SchemaInstaller::currentVersion());
    // A second upgrade has nothing to do and changes nothing.
    QVERIFY(SchemaInstaller::upgrade(m_db.dm().database()));
    QCOMPARE(count("select count(*) from KeyValue"), 15);
}

void TestSchema::indexesServeTheHouseList()
{
    // Without an index on both the filter and the order, the first rows of the
    // list wait for a sort of every house.
    QSqlQuery q(m_db.dm().database());
    QVERIFY(q.exec("explain query plan select * from House where F_flag=0 order by F_code"));
    QString plan;
    while (q.next())
        plan += q.value(3).toString() + QLatin1Char('\n');
    QVERIFY2(!plan.contains("TEMP B-TREE"), qPrintable(plan));
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
