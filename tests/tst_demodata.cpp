#include "Clock.h"
#include "DemoDataGenerator.h"
#include "TestSupport.h"

#include <QCryptographicHash>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

using namespace Quellon;
using QuellonTest::FixtureDatabase;
using QuellonTest::MessageRecorder;

namespace {

const QDate Today(2024, 3, 15);
const int Houses = 1001;

qint64 scalar(Database &dm, const QString &sql)
{
    QSqlQuery q(dm.database());
    if (!q.exec(sql) || !q.next())
        return -1;
    return q.value(0).toLongLong();
}

// Every value of every table the generator writes, in row order.
QByteArray digest(Database &dm)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const char *table :
         {"House", "Client", "T_gjREC", "T_KHgjREC", "T_cjREC", "T_FYcltLink", "t_code", "t_treecode"}) {
        QSqlQuery q(dm.database());
        if (!q.exec(QStringLiteral("select * from %1 order by rowid").arg(QLatin1String(table))))
            return {};
        while (q.next()) {
            for (int i = 0; i < q.record().count(); ++i)
                hash.addData((q.value(i).toString() + QLatin1Char('\x1f')).toUtf8());
        }
    }
    return hash.result();
}

QStringList indexDefinitions(Database &dm)
{
    QStringList list;
    QSqlQuery q(dm.database());
    q.exec("select name || ': ' || sql from sqlite_master where type = 'index' and sql is not null order by name");
    while (q.next())
        list << q.value(0).toString();
    return list;
}

QString day(int offset)
{
    return Today.addDays(offset).toString(Qt::ISODate);
}

} // namespace

class TestDemoData : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void counts_data();
    void counts();
    void consistency_data();
    void consistency();
    void progressRunsUpToTheTotal();
    void indexesAsInANewDatabase();
    void sameSeedSameRows();
    void nothingLeftBehind_data();
    void nothingLeftBehind();
    void refusesWhatItCannotFill();

private:
    FixtureDatabase m_db;
    QList<QPair<int, int>> m_progress;
};

void TestDemoData::initTestCase()
{
    Clock::setFixed(QDateTime(Today, QTime(10, 0)));
    QVERIFY(m_db.isValid());
    DemoDataGenerator generator(m_db.dm(), 42);
    generator.setProgress([this](int done, int total) {
        m_progress.append({done, total});
        return true;
    });
    QCOMPARE(generator.generate(Houses), DemoDataGenerator::Result::Done);
}

void TestDemoData::cleanupTestCase()
{
    Clock::setFixed({});
}

void TestDemoData::counts_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("atLeast");
    QTest::addColumn<int>("atMost");
    QTest::newRow("houses") << "select count(*) from House" << Houses << Houses;
    QTest::newRow("clients") << "select count(*) from Client" << Houses / 2 << Houses / 2;
    QTest::newRow("house follow-ups") << "select count(*) from T_gjREC" << Houses * 12 / 10 << Houses * 18 / 10;
    QTest::newRow("client follow-ups") << "select count(*) from T_KHgjREC" << Houses / 2 * 7 / 10
                                       << Houses / 2 * 13 / 10;
    QTest::newRow("deals") << "select count(*) from T_cjREC" << Houses / 20 << Houses * 15 / 100;
    QTest::newRow("matches") << "select count(*) from T_FYcltLink" << Houses / 40 << Houses / 10;
    QTest::newRow("houses in the recycle bin") << "select count(*) from House where F_flag = 2" << 1 << Houses / 20;
    QTest::newRow("clients in the recycle bin") << "select count(*) from Client where F_flag = 2" << 1 << Houses / 40;
    QTest::newRow("salespersons") << "select count(*) from t_code where F_type = 'empname'" << 12 << 12;
    QTest::newRow("deal salespersons") << "select count(*) from t_code where F_type = 'cjempname'" << 12 << 12;
    QTest::newRow("region leaves")
        << "select count(*) from t_treecode where F_flag = 'area' and length(F_code) = 9" << 24 << 99;
    QTest::newRow("client categories") << "select count(*) from t_treecode where F_flag = 'clttype'" << 3 << 30;
    QTest::newRow("every house type") << "select count(distinct F_FWtype) from House" << 9 << 9;
    QTest::newRow("overdue reminders")
        << QStringLiteral("select count(*) from T_gjREC where F_IFawoke = 1 and F_awokeDate < '%1'").arg(day(0))
        << 1 << Houses;
    QTest::newRow("reminders to come")
        << QStringLiteral("select count(*) from T_KHgjREC where F_IFawoke = 1 and F_SJdate > '%1'").arg(day(0))
        << 1 << Houses;
    QTest::newRow("deal reminders") << "select count(*) from T_cjREC where F_IFawoke = 1" << 1 << Houses;
}

void TestDemoData::counts()
{
    QFETCH(QString, sql);
    QFETCH(int, atLeast);
    QFETCH(int, atMost);
    const qint64 count = scalar(m_db.dm(), sql);
    QVERIFY2(count >= atLeast && count <= atMost, qPrintable(QString::number(count)));
}

// Each statement counts the rows that break a rule the program relies on.
void TestDemoData::consistency_data()
{
    QTest::addColumn<QString>("sql");
    const QString notDetail = QStringLiteral("select count(*) from %1 where F_mainID not in (select F_mainID from %2)");
    QTest::newRow("house follow-ups") << notDetail.arg("T_gjREC", "House");
    QTest::newRow("client follow-ups") << notDetail.arg("T_KHgjREC", "Client");
    QTest::newRow("deals") << notDetail.arg("T_cjREC", "House");
    QTest::newRow("unique house codes") << "select count(*) - count(distinct F_code) from House";
    QTest::newRow("unique client codes") << "select count(*) - count(distinct F_code) from Client";
    QTest::newRow("codes follow the link numbers")
        << "select count(*) from (select F_mainID, F_code from House union all select F_mainID, F_code from Client)"
           " where F_code <> substr('0000000' || F_mainID, -8)";
    QTest::newRow("house regions in the tree")
        << "select count(*) from House where F_area not in (select F_likecode from t_treecode where F_flag = 'area')";
    QTest::newRow("client categories in the tree")
        << "select count(*) from Client"
           " where F_cltType not in (select F_likecode from t_treecode where F_flag = 'clttype')";
    QTest::newRow("tree codes and paths") << R"(select count(*) from t_treecode t
        where length(t.F_code) % 3 <> 0
           or (length(t.F_code) = 3 and t.F_likecode <> '\\' || t.F_name)
           or (length(t.F_code) > 3 and not exists (select 1 from t_treecode p
                 where p.F_flag = t.F_flag and p.F_code = substr(t.F_code, 1, length(t.F_code) - 3)
                   and t.F_likecode = p.F_likecode || '\' || t.F_name)))";
    QTest::newRow("unique tree codes")
        << "select count(*) from (select 1 from t_treecode group by F_flag, F_code having count(*) > 1)";
    for (const char *table : {"T_gjREC", "T_KHgjREC", "T_cjREC"}) {
        QTest::addRow("%s reminder lead", table)
            << QStringLiteral("select count(*) from %1 where F_IFawoke = 1 and (F_TSnum not between 0 and 31"
                              " or F_SJdate <> date(F_awokeDate, '-' || F_TSnum || ' days'))")
                   .arg(table);
        QTest::addRow("%s without reminder", table)
            << QStringLiteral("select count(*) from %1 where F_IFawoke = 0 and (F_awokeDate <> '1900-08-14'"
                              " or F_SJdate <> '1900-08-14' or F_TSnum <> 0)")
                   .arg(table);
        QTest::addRow("%s reminders around today", table)
            << QStringLiteral("select count(*) from %1 where F_IFawoke = 1 and F_awokeDate not between '%2' and '%3'")
                   .arg(table, day(-31), day(31));
    }
    QTest::newRow("entry dates in the last three years")
        << QStringLiteral("select count(*) from (select F_editDate from House union all select F_editDate from Client)"
                          " where F_editDate not between '%1' and '%2 23:59:59'")
               .arg(day(-3 * 365), day(0));
    QTest::newRow("follow-ups after entry, not ahead")
        << QStringLiteral("select count(*) from T_gjREC g join House h on h.F_mainID = g.F_mainID"
                          " where g.F_GJdate < substr(h.F_editDate, 1, 10) or g.F_GJdate > '%1'")
               .arg(day(0));
    QTest::newRow("unset house dates")
        << "select count(*) from House where F_RQ1 <> '1900-08-14' or F_RQ2 <> '1900-08-14' or F_RQ3 <> '1900-08-14'";
    QTest::newRow("trade flags") << "select count(*) from House where (F_IFzu = 1) <> (F_JYtype in ('出租', '租售'))"
                                    " or (F_IFsale = 1) <> (F_JYtype in ('出售', '租售'))";
    QTest::newRow("prices") << "select count(*) from House where (F_IFzu = 1 and F_zuPrice not between 800 and 20000)"
                               " or (F_IFsale = 1 and F_salePrice not between 30 and 2000)"
                               " or (F_IFsale = 1 and abs(F_dprice2 - F_salePrice * 10000 / F_jzMianji) > 1)";
    const QString notListed = QStringLiteral("select count(*) from %1 where %2 not in "
                                             "(select F_Name from t_code where F_type = '%3')");
    QTest::newRow("house salespersons") << notListed.arg("House", "F_EmpName", "empname");
    QTest::newRow("client salespersons") << notListed.arg("Client", "F_empName", "empname");
    QTest::newRow("deal salespersons") << notListed.arg("T_cjREC", "F_empName", "cjempname");
    QTest::newRow("house types") << notListed.arg("House", "F_FWtype", "fwtype");
    QTest::newRow("house status") << notListed.arg("House", "F_status", "status");
    QTest::newRow("house sources") << notListed.arg("House", "F_Laiyuan", "laiyuan");
    QTest::newRow("client wishes") << notListed.arg("Client", "F_JYtype", "jytype");
    QTest::newRow("follow-up modes") << notListed.arg("T_gjREC", "F_GJmode", "gjmode");
    QTest::newRow("dealt houses") << "select count(*) from House where F_mainID in (select F_mainID from T_cjREC)"
                                     " and F_status <> '已成交'";
    QTest::newRow("matches copy live houses and clients") << R"(select count(*) from T_FYcltLink l
        left join House h on h.F_mainID = l.F_fyID left join Client c on c.F_mainID = l.F_cltID
        where h.F_flag is not 0 or c.F_flag is not 0
           or l.F_FYcode is not h.F_code or l.F_fyName is not h.F_name or l.F_fyArea is not h.F_area
           or l.F_fyZuPrice is not h.F_zuPrice or l.F_fySalePrice is not h.F_salePrice
           or l.F_fyEmpName is not h.F_EmpName or l.F_cltCode is not c.F_code or l.F_cltName is not c.F_cltName
           or l.F_cltphone is not c.F_cltPhone or l.F_cltType is not c.F_cltType or l.F_cltJYtype is not c.F_JYtype)";
    QTest::newRow("matched clients want what the house offers") << R"(select count(*) from T_FYcltLink l
        join House h on h.F_mainID = l.F_fyID join Client c on c.F_mainID = l.F_cltID
        where (h.F_JYtype = '出租' and c.F_JYtype not like '%租%')
           or (h.F_JYtype = '出售' and c.F_JYtype not like '%购%'))";
}

void TestDemoData::consistency()
{
    QFETCH(QString, sql);
    QCOMPARE(scalar(m_db.dm(), sql), 0);
}

void TestDemoData::progressRunsUpToTheTotal()
{
    const int total = Houses + Houses / 2;
    QVERIFY(m_progress.size() >= 2);
    QCOMPARE(m_progress.constLast(), qMakePair(total, total));
    for (int i = 1; i < m_progress.size(); ++i) {
        QVERIFY(m_progress[i].first >= m_progress[i - 1].first);
        QCOMPARE(m_progress[i].second, total);
    }
}

void TestDemoData::indexesAsInANewDatabase()
{
    FixtureDatabase fresh;
    QCOMPARE(indexDefinitions(m_db.dm()), indexDefinitions(fresh.dm()));
}

void TestDemoData::sameSeedSameRows()
{
    QByteArray digests[3];
    const quint64 seeds[3] = {7, 7, 8};
    for (int i = 0; i < 3; ++i) {
        FixtureDatabase db;
        QCOMPARE(DemoDataGenerator(db.dm(), seeds[i]).generate(300), DemoDataGenerator::Result::Done);
        digests[i] = digest(db.dm());
        QVERIFY(!digests[i].isEmpty());
    }
    QCOMPARE(digests[0], digests[1]);
    QVERIFY(digests[0] != digests[2]);
}

// A cancelled or failed run leaves the database as it was, and usable.
void TestDemoData::nothingLeftBehind_data()
{
    QTest::addColumn<int>("cancelAt"); // -1: never
    QTest::addColumn<bool>("failingDeals");
    QTest::addColumn<DemoDataGenerator::Result>("result");
    QTest::newRow("cancelled at the first report") << 0 << false << DemoDataGenerator::Result::Cancelled;
    QTest::newRow("cancelled at the end") << 4500 << false << DemoDataGenerator::Result::Cancelled;
    QTest::newRow("a write fails") << -1 << true << DemoDataGenerator::Result::Failed;
}

void TestDemoData::nothingLeftBehind()
{
    QFETCH(int, cancelAt);
    QFETCH(bool, failingDeals);
    QFETCH(DemoDataGenerator::Result, result);
    FixtureDatabase db;
    MessageRecorder messages;
    Database &dm = db.dm();
    if (failingDeals) {
        QVERIFY(dm.execute("create trigger no_deals before insert on T_cjREC when new.F_mainID > 2000"
                           " begin select raise(abort, 'disk full'); end"));
    }
    const QByteArray before = digest(dm);
    const QStringList indexes = indexDefinitions(dm);

    DemoDataGenerator generator(dm);
    generator.setProgress([cancelAt](int done, int) { return cancelAt < 0 || done < cancelAt; });
    QCOMPARE(generator.generate(3000), result);
    QVERIFY(!generator.errorText().isEmpty());
    if (failingDeals)
        QVERIFY2(generator.errorText().contains("disk full"), qPrintable(generator.errorText()));

    QCOMPARE(digest(dm), before);
    QCOMPARE(indexDefinitions(dm), indexes);
    QCOMPARE(dm.transactionDepth(), 0);
    if (failingDeals)
        QVERIFY(dm.execute("drop trigger no_deals"));
    QCOMPARE(DemoDataGenerator(dm).generate(10), DemoDataGenerator::Result::Done);
    QCOMPARE(scalar(dm, "select count(*) from House"), 10);
    QCOMPARE(messages.count(), 0);
}

void TestDemoData::refusesWhatItCannotFill()
{
    FixtureDatabase db;
    DemoDataGenerator generator(db.dm());
    QCOMPARE(generator.generate(-1), DemoDataGenerator::Result::Failed);
    QVERIFY(!generator.errorText().isEmpty());
    QCOMPARE(generator.generate(20), DemoDataGenerator::Result::Done);
    const QByteArray filled = digest(db.dm());
    // A second run would give its houses the link numbers and codes of the first.
    QCOMPARE(generator.generate(20), DemoDataGenerator::Result::Failed);
    QVERIFY(generator.errorText().contains(QStringLiteral("新建的数据库")));
    QCOMPARE(digest(db.dm()), filled);

    db.dm().closeDatabase();
    QCOMPARE(generator.generate(20), DemoDataGenerator::Result::Failed);
}

QTEST_GUILESS_MAIN(TestDemoData)
#include "tst_demodata.moc"
