#include "BackupService.h"
#include "Clock.h"
#include "DatabaseCompactor.h"
#include "FileMover.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QtTest>

#include <atomic>
#include <thread>

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
    void backupOverAnOlderCopy_data();
    void backupOverAnOlderCopy();
    void failedCopyLeavesNothing();
    void moveUnlessExists_data();
    void moveUnlessExists();
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

namespace {
// The marker row of a backup file, read without touching the file.
QString markerOf(const QString &file)
{
    const QString name = QStringLiteral("marker-reader");
    QString marker;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(file);
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        QSqlQuery q(db);
        if (db.open() && q.exec("select F_name from House where F_mainID = 1") && q.next())
            marker = q.value(0).toString();
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return marker;
}
} // namespace

void TestBackup::backupOverAnOlderCopy_data()
{
    QTest::addColumn<bool>("overwrite");
    QTest::newRow("replace") << true;
    QTest::newRow("keep") << false;
}

void TestBackup::backupOverAnOlderCopy()
{
    QFETCH(bool, overwrite);
    FixtureDatabase db;
    QTemporaryDir backups;
    const QString target = backups.filePath("House.back");
    QVERIFY(db.dm().execute("insert into House(F_mainID, F_name) values(1, '旧')"));
    BackupService backup(db.dm());
    QVERIFY(backup.backupTo(target, false));
    QVERIFY(db.dm().execute("update House set F_name = '新'"));

    // Someone looking for the backup while it is being replaced always finds one.
    std::atomic<bool> done{false};
    std::atomic<int> missing{0};
    std::thread watcher([&] {
        while (!done)
            if (!QFile::exists(target))
                ++missing;
    });
    bool copied = true;
    QString error;
    for (int i = 0; copied && i < 20; ++i)
        copied = backup.backupTo(target, overwrite, &error);
    done = true;
    watcher.join();

    QCOMPARE(copied, overwrite);
    if (!overwrite)
        QCOMPARE(error, QStringLiteral("备份文件已存在。"));
    QCOMPARE(missing.load(), 0);
    QCOMPARE(markerOf(target), overwrite ? QStringLiteral("新") : QStringLiteral("旧"));
    QCOMPARE(QDir(backups.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"House.back"});
}

void TestBackup::failedCopyLeavesNothing()
{
    FixtureDatabase db;
    QTemporaryDir backups;
    // A folder of that name stands where the copy should go.
    const QString target = backups.filePath("House.back");
    QVERIFY(QDir().mkpath(target));
    QString error;
    QVERIFY(!BackupService(db.dm()).backupTo(target, true, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(target).isDir());
    QCOMPARE(QDir(backups.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestBackup::moveUnlessExists_data()
{
    QTest::addColumn<bool>("taken");
    QTest::newRow("free name") << false;
    QTest::newRow("taken name") << true;
}

void TestBackup::moveUnlessExists()
{
    QFETCH(bool, taken);
    QTemporaryDir dir;
    auto write = [](const QString &file, const QByteArray &content) {
        QFile f(file);
        return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
    };
    auto read = [](const QString &file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QString source = dir.filePath("new.part"), target = dir.filePath("House.db");
    QVERIFY(write(source, "new"));
    if (taken)
        QVERIFY(write(target, "old"));
    const FileMover::Result result = FileMover::moveUnlessExists(source, target);
    QCOMPARE(int(result), int(taken ? FileMover::Result::TargetExists : FileMover::Result::Moved));
    QCOMPARE(read(target), taken ? QByteArray("old") : QByteArray("new"));
    QCOMPARE(QFile::exists(source), taken);
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
