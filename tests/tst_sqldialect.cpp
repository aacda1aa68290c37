#include "SqlDialect.h"
#include "SqlScript.h"
#include "TestSupport.h"

#include <QSqlQuery>
#include <QtTest>

using namespace Quellon;

// Quoting and LIKE helpers are checked against a real SQLite engine: what
// matters is what the engine reads back, not the text we build.
class TestSqlDialect : public QObject
{
    Q_OBJECT
private slots:
    void quoteRoundTrips_data();
    void quoteRoundTrips();
    void likeTakesWildcardsLiterally_data();
    void likeTakesWildcardsLiterally();
    void quotedListRoundTrips_data();
    void quotedListRoundTrips();
    void dateLiteralsCompareAsDates();
    void emptyDateDisplay_data();
    void emptyDateDisplay();
    void rightAndLength();
    void splitScript_data();
    void splitScript();

private:
    QuellonTest::FixtureDatabase m_db;
    QString selectText(const QString &expr)
    {
        QSqlQuery q(m_db.dm().database());
        if (!q.exec(QStringLiteral("select ") + expr) || !q.next())
            return QStringLiteral("<error>");
        return q.value(0).toString();
    }
};

void TestSqlDialect::quoteRoundTrips_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << QStringLiteral("幸福路12号");
    QTest::newRow("apostrophe") << QStringLiteral("O'Brien");
    QTest::newRow("only quotes") << QStringLiteral("''");
    QTest::newRow("percent and underscore") << QStringLiteral("50%_off");
    QTest::newRow("backslash path") << QStringLiteral("\\\\华东\\杭州");
    QTest::newRow("injection") << QStringLiteral("x'); delete from OperList; --");
    QTest::newRow("empty") << QString();
}

void TestSqlDialect::quoteRoundTrips()
{
    QFETCH(QString, value);
    QCOMPARE(selectText(SqlDialect::quote(value)), value);
    QSqlQuery q(m_db.dm().database());
    QVERIFY(q.exec(QStringLiteral("select count(*) from OperList")) && q.next());
    QCOMPARE(q.value(0).toInt(), 1);
}

void TestSqlDialect::likeTakesWildcardsLiterally_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("contains");
    QTest::addColumn<bool>("startsWith");
    QTest::newRow("chinese") << QStringLiteral("幸福路12号") << QStringLiteral("福路1") << true << false;
    QTest::newRow("percent literal") << QStringLiteral("打9折") << QStringLiteral("%") << false << false;
    QTest::newRow("percent present") << QStringLiteral("降价10%") << QStringLiteral("10%") << true << false;
    QTest::newRow("underscore literal") << QStringLiteral("AB") << QStringLiteral("_") << false << false;
    QTest::newRow("quote") << QStringLiteral("O'Brien家") << QStringLiteral("O'B") << true << true;
    QTest::newRow("path prefix") << QStringLiteral("\\\\华东\\杭州") << QStringLiteral("\\\\华东") << true << true;
    QTest::newRow("ascii case") << QStringLiteral("Building A") << QStringLiteral("building") << true << true;
}

void TestSqlDialect::likeTakesWildcardsLiterally()
{
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(bool, contains);
    QFETCH(bool, startsWith);
    const SqlDialect d;
    const QString subject = SqlDialect::quote(text);
    QCOMPARE(selectText(QStringLiteral("case when %1 then 1 else 0 end").arg(d.likeContains(subject, needle))),
             contains ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(selectText(QStringLiteral("case when %1 then 1 else 0 end").arg(d.likeStartsWith(subject, needle))),
             startsWith ? QStringLiteral("1") : QStringLiteral("0"));
}

void TestSqlDialect::quotedListRoundTrips_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::newRow("two") << QStringList{QStringLiteral("张三"), QStringLiteral("李四")};
    QTest::newRow("quote in a name") << QStringList{QStringLiteral("O'Brien"), QStringLiteral("王五")};
    QTest::newRow("comma in a name") << QStringList{QStringLiteral("a,b")};
    QTest::newRow("one") << QStringList{QStringLiteral("赵六")};
}

void TestSqlDialect::quotedListRoundTrips()
{
    QFETCH(QStringList, names);
    QCOMPARE(SqlDialect::parseQuotedList(SqlDialect::quoteList(names)), names);
}

void TestSqlDialect::dateLiteralsCompareAsDates()
{
    const SqlDialect d;
    // Stored ISO text must order like the dates, across months and years.
    const QString early = d.dateLiteral(QDate(2008, 9, 30));
    const QString late = d.dateLiteral(QDate(2008, 10, 1));
    QCOMPARE(selectText(QStringLiteral("case when %1 < %2 then 1 else 0 end").arg(early, late)), QStringLiteral("1"));
    QCOMPARE(selectText(SqlDialect::quote(SqlDialect::dateValue(QDate(2008, 5, 1)).toString())), QStringLiteral("2008-05-01"));
    QCOMPARE(SqlDialect::dateTimeValue(QDateTime(QDate(2008, 5, 1), QTime(9, 5, 7))).toString(),
             QStringLiteral("2008-05-01 09:05:07"));
    QCOMPARE(SqlDialect(SqlDialect::PostgreSQL).dateLiteral(QDate(2008, 5, 1)), QStringLiteral("DATE '2008-05-01'"));
}

void TestSqlDialect::emptyDateDisplay_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("sentinel") << QVariant(QStringLiteral("1900-08-14")) << QString();
    QTest::newRow("before cut-off") << QVariant(QStringLiteral("1901-08-13")) << QString();
    QTest::newRow("cut-off day") << QVariant(QStringLiteral("1901-08-14")) << QStringLiteral("1901-08-14");
    QTest::newRow("moment") << QVariant(QStringLiteral("2008-05-01 10:00:00")) << QStringLiteral("2008-05-01");
    QTest::newRow("null") << QVariant() << QString();
    QTest::newRow("garbage") << QVariant(QStringLiteral("abc")) << QString();
}

void TestSqlDialect::emptyDateDisplay()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, shown);
    QCOMPARE(SqlDialect::displayDate(stored), shown);
}

void TestSqlDialect::rightAndLength()
{
    const SqlDialect d;
    QCOMPARE(selectText(d.right(SqlDialect::quote(QStringLiteral("HF00000041")), 8)), QStringLiteral("00000041"));
    QCOMPARE(selectText(d.length(SqlDialect::quote(QStringLiteral("房源")))), QStringLiteral("2"));
    QCOMPARE(selectText(d.concat({SqlDialect::quote(QStringLiteral("0000000")), SqlDialect::quote(QStringLiteral("1"))})),
             QStringLiteral("00000001"));
    QCOMPARE(SqlDialect(SqlDialect::PostgreSQL).right(QStringLiteral("F_code"), 3), QStringLiteral("right(F_code, 3)"));
}

void TestSqlDialect::splitScript_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("count");
    QTest::newRow("two") << QStringLiteral("create table a(x);\ninsert into a values(1);") << 2;
    QTest::newRow("semicolon in string") << QStringLiteral("insert into a values('x;y');") << 1;
    QTest::newRow("comment with semicolon") << QStringLiteral("-- a; b\ninsert into a values(1);") << 1;
    QTest::newRow("doubled quote") << QStringLiteral("insert into a values('it''s;');\n;\n") << 1;
}

void TestSqlDialect::splitScript()
{
    QFETCH(QString, script);
    QFETCH(int, count);
    QCOMPARE(splitSqlScript(script).size(), count);
}

QTEST_GUILESS_MAIN(TestSqlDialect)
#include "tst_sqldialect.moc"
