#include "SqlDialect.h"
#include "SqlScript.h"
#include "TestSupport.h"

#include <QSqlQuery>
#include <QtTest>

using namespace Quellon;

// The dialect's helpers are checked against a real SQLite engine: what
// matters is what the engine reads back, not the text we build.
class TestSqlDialect : public QObject
{
    Q_OBJECT
private slots:
    void boundValuesRoundTrip_data();
    void boundValuesRoundTrip();
    void likeTakesWildcardsLiterally_data();
    void likeTakesWildcardsLiterally();
    void storedDatesCompareAsDates();
    void emptyDateDisplay_data();
    void emptyDateDisplay();
    void rightAndLength();
    void splitScript_data();
    void splitScript();

private:
    QuellonTest::FixtureDatabase m_db;
    QString selectText(const SqlFragment &expr)
    {
        QSqlQuery q(m_db.dm().database());
        if (!q.prepare(QStringLiteral("select ") + expr.sql()))
            return QStringLiteral("<error>");
        Database::bind(q, expr.values());
        if (!q.exec() || !q.next())
            return QStringLiteral("<error>");
        return q.value(0).toString();
    }
    QString selectText(const QString &expr) { return selectText(SqlFragment(expr)); }
};

void TestSqlDialect::boundValuesRoundTrip_data()
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

void TestSqlDialect::boundValuesRoundTrip()
{
    QFETCH(QString, value);
    QCOMPARE(selectText(SqlFragment(QStringLiteral("?"), {value})), value);
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
    const auto test = [&](const SqlFragment &condition) {
        return selectText(SqlFragment(QStringLiteral("case when ")) + condition + SqlFragment(QStringLiteral(" then 1 else 0 end")));
    };
    // The subject is bound too: its placeholder comes first in the text.
    const auto on = [&](const SqlFragment &like) {
        return SqlFragment(like.sql(), QVariantList{text} + like.values());
    };
    QCOMPARE(test(on(d.contains(QStringLiteral("?"), needle))), contains ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(test(on(d.startsWith(QStringLiteral("?"), needle))), startsWith ? QStringLiteral("1") : QStringLiteral("0"));
}

void TestSqlDialect::storedDatesCompareAsDates()
{
    // Stored ISO text must order like the dates, across months and years.
    const SqlFragment compare(QStringLiteral("case when ? < ? then 1 else 0 end"),
                              {SqlDialect::dateValue(QDate(2008, 9, 30)), SqlDialect::dateValue(QDate(2008, 10, 1))});
    QCOMPARE(selectText(compare), QStringLiteral("1"));
    QCOMPARE(selectText(SqlFragment(QStringLiteral("?"), {SqlDialect::dateValue(QDate(2008, 5, 1))})), QStringLiteral("2008-05-01"));
    QCOMPARE(SqlDialect::dateTimeValue(QDateTime(QDate(2008, 5, 1), QTime(9, 5, 7))).toString(),
             QStringLiteral("2008-05-01 09:05:07"));
    QVERIFY(SqlDialect::dateValue(QDate()).isNull());
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
    QCOMPARE(selectText(SqlFragment(d.right(QStringLiteral("?"), 8), {QStringLiteral("HF00000041")})), QStringLiteral("00000041"));
    QCOMPARE(selectText(SqlFragment(d.length(QStringLiteral("?")), {QStringLiteral("房源")})), QStringLiteral("2"));
    QCOMPARE(selectText(SqlFragment(d.concat({QStringLiteral("?"), QStringLiteral("?")}),
                                    {QStringLiteral("0000000"), QStringLiteral("1")})),
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
