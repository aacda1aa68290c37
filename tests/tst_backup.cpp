#include "BackupService.h"
#include "Clock.h"
#include "DatabaseCompactor.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QtTest>

using namespace Quellon;
using QuellonTest::FixtureDatabase;
using QuellonTest::MessageRecorder;

class TestBackup : public QObject
{
    Q_OBJECT
private slots:
    void init() { Clock::setFixed(QDateTime(QDate(2008, 5, 1), QTime(8, 30))); }
    void cleanup() { Clock::setFixed({}); }
    void oneCopyADay();
    void copiesTheDatabaseInUse();
    void missingFolderIsCreatedOnConfirmation();
    void emptyFolderNeverCopies();
    void due_data();
    void due();
    void compactKeepsRows();
    void compactRefusesGarbage();
};

void TestBackup::oneCopyADay()
{
    FixtureDatabase db;
    QTemporaryDir backups;
    MessageRecorder messages;
    QVERIFY(db.dm().execute("update SysInfo set F_BakPath = :p", {{":p", backups.path()}}));
    BackupService backup(db.dm());
    QCOMPARE(backup.runAutomatic(Clock::today(), false).result, BackupService::Outcome::Copied);
    const QString target = QDir(backups.path()).filePath("dp20080501.back");
    QVERIFY(QFile::exists(target));
    const QDateTime written = QFileInfo(target).lastModified();
    QVERIFY(db.dm().execute("insert into House(F_mainID) values(1)"));
    QCOMPARE(backup.runAutomatic(Clock::today(), false).result, BackupService::Outcome::AlreadyThere);
    QCOMPARE(QDir(backups.path()).entryList(QDir::Files), QStringList{"dp20080501.back"});
    QCOMPARE(QFileInfo(target).lastModified(), written);
    QCOMPARE(messages.count(), 0);
    Clock::setFixed(QDateTime(QDate(2008, 5, 2), QTime(8, 30)));
    QCOMPARE(backup.runAutomatic(Clock::today(), false).result, BackupService::Outcome::Copied);
    QVERIFY(QFile::exists(QDir(backups.path()).filePath("dp20080502.back")));
}

void TestBackup::copiesTheDatabaseInUse()
{
    // The database is somewhere else than data/ beside the program: the copy
    // must still be of this one, with its latest committed rows.
    FixtureDatabase db;
    QTemporaryDir backups;
    QVERIFY(db.dm().execute("update SysInfo set F_BakPath = :p", {{":p", backups.path()}}));
    QVERIFY(db.dm().execute("insert into House(F_mainID, F_name) values(1, '备份标记')"));
    QCOMPARE(BackupService(db.dm()).runAutomatic(Clock::today(), false).result, BackupService::Outcome::Copied);
    const QString copy = QDir(backups.path()).filePath("dp20080501.back");
    QVERIFY(!QFile::exists(copy + ".part"));
    Database check;
    QDir().mkpath(backups.filePath("open"));
    QVERIFY(QFile::copy(copy, backups.filePath("open/House.db")));
    QVERIFY(check.openDatabase(backups.filePath("open"), false).ok());
    QCOMPARE(check.queryText("select F_name from House"), QStringLiteral("备份标记"));
}

void TestBackup::missingFolderIsCreatedOnConfirmation()
{
    FixtureDatabase db;
    QTemporaryDir root;
    const QString folder = root.filePath("a/b/备份");
    QVERIFY(db.dm().execute("update SysInfo set F_BakPath = :p", {{":p", folder}}));
    MessageRecorder messages;
    BackupService backup(db.dm());
    const BackupService::Outcome asked = backup.runAutomatic(Clock::today(), false);
    QCOMPARE(asked.result, BackupService::Outcome::FolderMissing);
    QCOMPARE(asked.folder, folder);
    QVERIFY(!QFileInfo::exists(folder));
    QCOMPARE(backup.runAutomatic(Clock::today(), true).result, BackupService::Outcome::Copied);
    QVERIFY(QFile::exists(QDir(folder).filePath("dp20080501.back")));
    QCOMPARE(messages.count(), 0);
}

void TestBackup::emptyFolderNeverCopies()
{
    FixtureDatabase db;
    QVERIFY(db.dm().execute("update SysInfo set F_BakPath = ''"));
    const QString here = QDir::currentPath();
    BackupService backup(db.dm());
    QCOMPARE(backup.runAutomatic(Clock::today(), false).result, BackupService::Outcome::FolderMissing);
    const BackupService::Outcome created = backup.runAutomatic(Clock::today(), true);
    QCOMPARE(created.result, BackupService::Outcome::Failed);
    QCOMPARE(created.message, QStringLiteral("目录 创建失败,请检测路径是否合法!"));
    QVERIFY(!QFile::exists(QDir(here).filePath("dp20080501.back")));
}

void TestBackup::due_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<QDate>("day");
    QTest::addColumn<bool>("due");
    QTest::newRow("never") << 0 << QDate(2008, 5, 5) << false;
    QTest::newRow("every start") << 1 << QDate(2008, 5, 6) << true;
    QTest::newRow("monday") << 2 << QDate(2008, 5, 5) << true;
    QTest::newRow("tuesday") << 2 << QDate(2008, 5, 6) << false;
    QTest::newRow("first of month") << 3 << QDate(2008, 5, 1) << true;
    QTest::newRow("second of month") << 3 << QDate(2008, 5, 2) << false;
    QTest::newRow("unknown choice") << 7 << QDate(2008, 5, 1) << false;
}

void TestBackup::due()
{
    QFETCH(int, choice);
    QFETCH(QDate, day);
    QFETCH(bool, due);
    QCOMPARE(BackupService::isDue(choice, day), due);
}

void TestBackup::compactKeepsRows()
{
    FixtureDatabase db;
    for (int i = 1; i <= 50; ++i)
        QVERIFY(db.dm().execute("insert into House(F_mainID, F_memo1) values(:m, :b)", {{":m", i}, {":b", QString(2000, 'x')}}));
    QVERIFY(db.dm().execute("delete from House where F_mainID > 5"));
    const QString file = db.file();
    db.dm().closeDatabase();
    QString error;
    QVERIFY2(compactDatabase(file, &error), qPrintable(error));
    QVERIFY(db.dm().reopenDatabase());
    QCOMPARE(db.dm().queryInt("select count(*) from House"), 5);
}

void TestBackup::compactRefusesGarbage()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("House.db");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("garbage").repeated(1000));
    f.close();
    QString error;
    QVERIFY(!compactDatabase(file, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(QFileInfo(file).size(), qint64(7000));
    QVERIFY(!compactDatabase(dir.filePath("missing.db")));
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
