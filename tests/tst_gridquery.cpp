#include "DisplayFormat.h"
#include "GridQuery.h"
#include "RowCache.h"

#include <QtTest>

using namespace Quellon;

// The grid's plain parts: display formats, sort texts and the row cache.
// (Its statements are run in tst_boundfilters.)
class TestGridQuery : public QObject
{
    Q_OBJECT
private slots:
    void numbers_data();
    void numbers();
    void dates_data();
    void dates();
    void sortText_data();
    void sortText();
    void cacheIsBounded();
};

void TestGridQuery::numbers_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("shown");
    QTest::newRow("quantity") << 12.5 << "0.##" << "12.5";
    QTest::newRow("quantity whole") << 12.0 << "0.##" << "12";
    QTest::newRow("quantity no places") << 12.6 << "0." << "13";
    QTest::newRow("price") << 1234567.891 << QStringLiteral("￥,0.00") << QStringLiteral("￥1,234,567.89");
    QTest::newRow("price optional digit") << 1234.5 << QStringLiteral("￥,0.00#") << QStringLiteral("￥1,234.50");
    QTest::newRow("price optional digit used") << 1234.567 << QStringLiteral("￥,0.00#") << QStringLiteral("￥1,234.567");
    QTest::newRow("value no places") << 999.5 << QStringLiteral("￥,0.") << QStringLiteral("￥1,000");
    QTest::newRow("negative") << -1500.0 << QStringLiteral("￥,0.00") << QStringLiteral("-￥1,500.00");
    QTest::newRow("zero") << 0.0 << "0.##" << "0";
    QTest::newRow("negative rounding to zero") << -0.001 << "0.00" << "0.00";
    QTest::newRow("suffix") << 88.0 << QStringLiteral("0.0㎡") << QStringLiteral("88.0㎡");
}

void TestGridQuery::numbers()
{
    QFETCH(double, value);
    QFETCH(QString, format);
    QFETCH(QString, shown);
    QCOMPARE(DisplayFormat::formatNumber(value, format), shown);
    QCOMPARE(DisplayFormat::format(QVariant(value), format), shown);
}

void TestGridQuery::dates_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("shown");
    QTest::newRow("date") << QVariant("2008-05-01") << "yyyy-mm-dd" << "2008-05-01";
    QTest::newRow("moment, no format") << QVariant("2008-05-01 14:05:09") << "" << "2008-05-01";
    QTest::newRow("moment with time") << QVariant("2008-05-01 14:05:09") << "yyyy-mm-dd hh:nn:ss" << "2008-05-01 14:05:09";
    QTest::newRow("sentinel") << QVariant("1900-08-14") << "yyyy-mm-dd" << "";
    QTest::newRow("before cut-off") << QVariant("1901-08-13") << "" << "";
    QTest::newRow("text that is no date") << QVariant("幸福路12号") << "yyyy-mm-dd" << QStringLiteral("幸福路12号");
    QTest::newRow("null") << QVariant() << "yyyy-mm-dd" << "";
}

void TestGridQuery::dates()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, format);
    QFETCH(QString, shown);
    QCOMPARE(DisplayFormat::format(stored, format), shown);
}

void TestGridQuery::sortText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("normalised");
    QTest::newRow("two keys") << "f_code ASC,f_editdate DESC," << "f_code ASC,f_editdate DESC,";
    QTest::newRow("no trailing comma") << "F_Code asc" << "f_code ASC,";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("injection dropped") << "f_code; drop table House ASC,f_name DESC" << "f_name DESC,";
}

void TestGridQuery::sortText()
{
    QFETCH(QString, text);
    QFETCH(QString, normalised);
    QCOMPARE(GridQuery::sortText(GridQuery::parseSort(text)), normalised);
}

void TestGridQuery::cacheIsBounded()
{
    RowCache cache(10, 3);
    for (int chunk = 0; chunk < 5; ++chunk)
        cache.store(chunk, QVector<RowCache::Row>(10, RowCache::Row{QVariant(chunk)}));
    QCOMPARE(cache.chunkCount(), 3);
    QVERIFY(!cache.contains(0));
    QVERIFY(cache.row(45));
    QCOMPARE(cache.row(45)->at(0).toInt(), 4);
    // Using chunk 2 keeps it when another chunk arrives.
    QVERIFY(cache.row(25));
    cache.store(7, QVector<RowCache::Row>(10));
    QVERIFY(cache.contains(25));
    QVERIFY(!cache.contains(35));
    // A short last chunk has no rows past its end.
    cache.store(9, QVector<RowCache::Row>(4));
    QVERIFY(!cache.row(95));
}

QTEST_GUILESS_MAIN(TestGridQuery)
#include "tst_gridquery.moc"
