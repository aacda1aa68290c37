#include "Clock.h"
#include "CodeNumbering.h"
#include "NumberFormats.h"
#include "OperationLog.h"
#include "PermissionGrants.h"
#include "SchemaInstaller.h"
#include "DatabaseTransaction.h"
#include "DatabaseFiles.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

using namespace Quellon;
using namespace QuellonTest;

class TestDatabase : public QObject
{
    Q_OBJECT
private slots:
    void queryIntOfEmptyMaxIsZero();
    void fillComboSkipsBlanks();
    void nextCode_data();
    void nextCode();
    void nextCodeThroughDatabase();
    void numberFormat_data();
    void numberFormat();
    void deleteByIdDeletesOneRow();
    void failuresAreReported_data();
    void failuresAreReported();
    void typedQuotesAreStoredAsTyped();
    void writeLogUsesOperatorAndClock();
    void grantsAreReadByOperator();
    void nestedTransactions();
    void fullDiskLeavesNothingHalfWritten();
    void openRefusesWhatIsNotOurs_data();
    void openRefusesWhatIsNotOurs();
    void twoProgramsShareOneFile();
    void twoProgramsCreateTheFirstDatabaseAtOnce();
    void failedCreationLeavesNothing();
};

void TestDatabase::queryIntOfEmptyMaxIsZero()
{
    FixtureDatabase db;
    MessageRecorder messages;
    QCOMPARE(db.dm().queryInt("select max(F_mainID) from House"), 0);
    QCOMPARE(db.dm().queryText("select F_name from House"), QString());
    QCOMPARE(messages.count(), 0);
}

void TestDatabase::fillComboSkipsBlanks()
{
    FixtureDatabase db;
    QSqlQuery q(db.dm().database());
    for (const QString &name : {QStringLiteral("A"), QStringLiteral(" "), QString(), QStringLiteral("B ")})
        QVERIFY(db.dm().execute("insert into t_code(F_type,F_Name) values('test', :n)", {{":n", name}}));
    QVERIFY(q.exec("insert into t_code(F_type,F_Name) values('test', null)"));
    QStringList items{QStringLiteral("stale")};
    QVERIFY(db.dm().readList("select F_Name from t_code where F_type='test' order by F_ID", items));
    QCOMPARE(items, (QStringList{QStringLiteral("A"), QStringLiteral("B ")}));
}

void TestDatabase::nextCode_data()
{
    QTest::addColumn<QString>("maxCode");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("next");
    QTest::addColumn<bool>("ok");
    QTest::newRow("prefix kept") << "HF00000041" << 8 << "HF00000042" << true;
    QTest::newRow("no rows") << "" << 8 << "00000001" << true;
    QTest::newRow("short counter") << "12" << 8 << "13" << true;
    QTest::newRow("carry") << "00000099" << 8 << "00000100" << true;
    QTest::newRow("nines wrap") << "99999999" << 8 << "00000000" << true;
    QTest::newRow("six digits") << "KH000009" << 6 << "KH000010" << true;
    QTest::newRow("letter in counter") << "0000A041" << 8 << "0000A041" << false;
    QTest::newRow("long counter, no overflow") << "999999999999999999999" << 21 << "000000000000000000000" << true;
}

void TestDatabase::nextCode()
{
    QFETCH(QString, maxCode);
    QFETCH(int, digits);
    QFETCH(QString, next);
    QFETCH(bool, ok);
    bool done = !ok;
    QCOMPARE(CodeNumbering::after(maxCode, digits, &done), next);
    QCOMPARE(done, ok);
}

void TestDatabase::nextCodeThroughDatabase()
{
    FixtureDatabase db;
    CodeNumbering numbering(db.dm());
    const SqlFragment largest(QStringLiteral("select Max(F_code) as F_code from House "));
    QCOMPARE(numbering.next(largest, 8), QStringLiteral("00000001"));
    QVERIFY(db.dm().execute("insert into House(F_mainID,F_code) values(1,'00000041')"));
    QVERIFY(db.dm().execute("insert into House(F_mainID,F_code) values(2,'00000009')"));
    QCOMPARE(numbering.next(largest, 8), QStringLiteral("00000042"));
}

void TestDatabase::numberFormat_data()
{
    QTest::addColumn<int>("places");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("format");
    QTest::newRow("quantity 2") << 2 << 1 << "0.##";
    QTest::newRow("quantity 0") << 0 << 1 << "0.";
    QTest::newRow("price 3") << 3 << 2 << QStringLiteral("￥,0.00#");
    QTest::newRow("price 2") << 2 << 2 << QStringLiteral("￥,0.00");
    QTest::newRow("value 4") << 4 << 3 << QStringLiteral("￥,0.00##");
    QTest::newRow("value 0") << 0 << 3 << QStringLiteral("￥,0.");
    QTest::newRow("unknown kind") << 2 << 4 << "";
}

void TestDatabase::numberFormat()
{
    QFETCH(int, places);
    QFETCH(int, kind);
    QFETCH(QString, format);
    QCOMPARE(NumberFormats::pattern(places, NumberFormats::Kind(kind)), format);
}

void TestDatabase::deleteByIdDeletesOneRow()
{
    FixtureDatabase db;
    for (int i = 1; i <= 9; ++i)
        QVERIFY(db.dm().execute("insert into t_imageREC(F_mainID, F_Caption) values(:m, 'p')", {{":m", i}}));
    QVERIFY(db.dm().execute("insert into House(F_mainID) values(7)"));
    QVERIFY(db.dm().deleteById("t_imageREC", 7));
    QCOMPARE(db.dm().queryInt("select count(*) from t_imageREC"), 8);
    QCOMPARE(db.dm().queryInt("select count(*) from t_imageREC where F_ID = 7"), 0);
    QCOMPARE(db.dm().queryInt("select count(*) from House"), 1);
}

void TestDatabase::failuresAreReported_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("message");
    QTest::newRow("openQuery") << "open" << QStringLiteral("打开操作失败，请检查数据连接... ");
    QTest::newRow("execute") << "exec" << QStringLiteral("操作失败，请检查数据连接... ");
    QTest::newRow("deleteById") << "delete" << QStringLiteral("删除操作失败，请检查数据连接... ");
    QTest::newRow("queryText") << "text" << QStringLiteral("操作失败，请检查数据连接... ");
    QTest::newRow("queryInt") << "int" << QStringLiteral("操作失败，请检查数据连接... ");
    QTest::newRow("readList") << "fill" << QStringLiteral("操作失败，请检查数据连接... ");
}

void TestDatabase::failuresAreReported()
{
    QFETCH(QString, operation);
    QFETCH(QString, message);
    FixtureDatabase db;
    MessageRecorder messages;
    const QString bad = QStringLiteral("select * from NoSuchTable");
    QSqlQuery q;
    QStringList items{QStringLiteral("kept?")};
    bool result = true;
    if (operation == "open")
        result = db.dm().openQuery(bad, q);
    else if (operation == "exec")
        result = db.dm().execute("update NoSuchTable set x = 1");
    else if (operation == "delete")
        result = db.dm().deleteById("NoSuchTable", 1);
    else if (operation == "text")
        result = !db.dm().queryText(bad).isEmpty();
    else if (operation == "int")
        result = db.dm().queryInt(bad) != 0;
    else if (operation == "fill")
        result = db.dm().readList(bad, items);
    QVERIFY(!result);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.lastKind(), int(MessageKind::Error));
    QVERIFY2(messages.lastText().startsWith(message), qPrintable(messages.lastText()));
}

void TestDatabase::typedQuotesAreStoredAsTyped()
{
    FixtureDatabase db;
    MessageRecorder messages;
    const QString name = QStringLiteral("O'Brien");
    QVERIFY(db.dm().execute("insert into t_code(F_type,F_Name) values('empname', :n)", {{":n", name}}));
    QVERIFY(db.dm().execute(SqlFragment(QStringLiteral("insert into t_code(F_type,F_Name) values('empname', ?)"),
                                        {QStringLiteral("50%'s")})));
    QCOMPARE(db.dm().queryInt(SqlFragment::equals(QStringLiteral("select count(*) from t_code where F_Name"), name)), 1);
    QCOMPARE(db.dm().queryText("select F_Name from t_code where F_Name like '50%'"), QStringLiteral("50%'s"));
    QCOMPARE(messages.count(), 0);
}

void TestDatabase::writeLogUsesOperatorAndClock()
{
    FixtureDatabase db;
    Clock::setFixed(QDateTime(QDate(2008, 5, 1), QTime(9, 5, 7)));
    OperationLog(db.dm()).write(QStringLiteral("O'Brien"), QStringLiteral("登录失败！"));
    Clock::setFixed({});
    QSqlQuery q(db.dm().database());
    QVERIFY(q.exec("select F_EmpName,F_OperType,F_OperDate,F_OperTime from LogRec") && q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("O'Brien"));
    QCOMPARE(q.value(1).toString(), QStringLiteral("登录失败！"));
    QCOMPARE(q.value(2).toString(), QStringLiteral("2008-05-01"));
    QCOMPARE(q.value(3).toString(), QStringLiteral("09:05:07"));
    q.finish();

    // A log that cannot be written stays silent.
    MessageRecorder messages;
    QVERIFY(db.dm().execute("drop table LogRec"));
    OperationLog(db.dm()).write(QStringLiteral("O'Brien"), QStringLiteral("x"));
    QCOMPARE(messages.count(), 0);
}

void TestDatabase::grantsAreReadByOperator()
{
    FixtureDatabase db;
    Database &dm = db.dm();
    QVERIFY(dm.execute("insert into OperLimit(F_OperName,F_lmtName) values(:o, '新增')", {{":o", "O'Brien"}}));
    QVERIFY(dm.execute("insert into OperLimit(F_OperName,F_lmtName) values(:o, '删除')", {{":o", "O'Brien"}}));
    PermissionGrants grants(dm);
    bool ok = false;
    QCOMPARE(grants.grantedKeys(QStringLiteral("O'Brien"), &ok), (QSet<QString>{"201", "203"}));
    QVERIFY(ok);
    QVERIFY(grants.grantedKeys(QStringLiteral("' or '1'='1")).isEmpty());
    QVERIFY(grants.grantedKeys(QStringLiteral("张三")).isEmpty());
}

void TestDatabase::nestedTransactions()
{
    FixtureDatabase db;
    Database &dm = db.dm();
    {
        DatabaseTransaction outer(dm);
        QVERIFY(outer.isActive());
        QVERIFY(dm.execute("insert into House(F_mainID) values(1)"));
        {
            DatabaseTransaction inner(dm);
            QVERIFY(dm.execute("insert into House(F_mainID) values(2)"));
            // inner goes out of scope without commit: only its row is undone
        }
        QCOMPARE(dm.queryInt("select count(*) from House"), 1);
        QVERIFY(outer.commit());
    }
    QCOMPARE(dm.transactionDepth(), 0);
    {
        DatabaseTransaction t(dm);
        QVERIFY(dm.execute("insert into House(F_mainID) values(3)"));
    }
    QCOMPARE(dm.queryInt("select count(*) from House"), 1);
}

void TestDatabase::fullDiskLeavesNothingHalfWritten()
{
    FixtureDatabase db;
    Database &dm = db.dm();
    MessageRecorder messages;
    // Cap the file at its present size: the next pages cannot be had, as on a full disk.
    const qint64 pages = dm.queryInt("PRAGMA page_count");
    QSqlQuery q(dm.database());
    QVERIFY(q.exec(QStringLiteral("PRAGMA max_page_count = %1").arg(pages)));
    const QString big(4000, QLatin1Char('x'));
    bool ok = true;
    {
        DatabaseTransaction t(dm);
        for (int i = 0; ok && i < 200; ++i)
            ok = dm.execute("insert into House(F_mainID, F_memo1) values(:m, :b)", {{":m", i + 1}, {":b", big}});
        if (ok)
            ok = t.commit();
    }
    QVERIFY(!ok);
    QVERIFY2(messages.lastText().contains(QStringLiteral("磁盘空间已满")), qPrintable(messages.lastText()));
    QCOMPARE(dm.queryInt("select count(*) from House"), 0);
}

void TestDatabase::openRefusesWhatIsNotOurs_data()
{
    QTest::addColumn<int>("kind"); // DatabaseFileKind, or -1 for no file
    QTest::addColumn<QString>("readOnly"); // "", "file" or "folder"
    QTest::addColumn<bool>("folderExists");
    QTest::addColumn<int>("result");
    const int none = -1;
    using K = DatabaseFileKind;
    using R = Database::OpenResult;
    QTest::newRow("text file") << int(K::Text) << "" << true << int(R::NotADatabase);
    QTest::newRow("damaged") << int(K::Damaged) << "" << true << int(R::NotADatabase);
    QTest::newRow("other sqlite file") << int(K::Foreign) << "" << true << int(R::NotOurs);
    QTest::newRow("newer version") << int(K::Newer) << "" << true << int(R::TooNew);
    QTest::newRow("missing") << none << "" << true << int(R::Missing);
    QTest::newRow("folder missing") << none << "" << false << int(R::FolderMissing);
    QTest::newRow("read-only file") << int(K::Ours) << "file" << true << int(R::ReadOnly);
    QTest::newRow("read-only folder") << int(K::Ours) << "folder" << true << int(R::ReadOnly);
}

void TestDatabase::openRefusesWhatIsNotOurs()
{
    QFETCH(int, kind);
    QFETCH(QString, readOnly);
    QFETCH(bool, folderExists);
    QFETCH(int, result);
    if (!readOnly.isEmpty() && runningAsRoot())
        QSKIP("permissions do not bind root");
    QTemporaryDir root;
    const QString folder = folderExists ? root.path() : root.filePath("gone");
    const QString file = QDir(folder).filePath(Database::databaseFileName());
    if (kind >= 0)
        QVERIFY(writeDatabaseFile(folder, DatabaseFileKind(kind)));
    QByteArray content;
    if (QFile f(file); f.open(QIODevice::ReadOnly))
        content = f.readAll();
    const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);

    PermissionsRestorer restoreFile(file), restoreFolder(folder);
    if (readOnly == "file")
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadUser));
    if (readOnly == "folder")
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser));

    Database dm;
    const Database::OpenStatus status = dm.openDatabase(folder, false);
    QCOMPARE(int(status.result), result);
    QVERIFY(!status.message.isEmpty());
    QVERIFY(!dm.isConnected());
    // A file the program cannot use is left as it was, and nothing is added beside it.
    if (QFile f(file); f.open(QIODevice::ReadOnly))
        QVERIFY(f.readAll() == content);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), files);
}

void TestDatabase::twoProgramsShareOneFile()
{
    FixtureDatabase first;
    Database second;
    QVERIFY(second.openDatabase(first.folder(), false).ok());
    QCOMPARE(first.dm().queryText("PRAGMA journal_mode"), QStringLiteral("wal"));
    // A reader in one copy does not stop the other copy from writing.
    QSqlQuery reader(first.dm().database());
    QVERIFY(reader.exec("select * from t_code") && reader.next());
    QVERIFY(second.execute("insert into House(F_mainID) values(1)"));
    reader.finish();
    QCOMPARE(first.dm().queryInt("select count(*) from House"), 1);
    // A write of one copy waits for the other's transaction to end instead of failing.
    std::atomic<bool> locked{false};
    std::thread other([&] {
        const QString name = QStringLiteral("other-writer");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
            db.setDatabaseName(first.file());
            db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=10000");
            if (db.open()) {
                QSqlQuery q(db);
                q.exec("BEGIN IMMEDIATE");
                q.exec("insert into House(F_mainID) values(2)");
                locked = true;
                QThread::msleep(300);
                q.exec("COMMIT");
            }
            locked = true;
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    });
    while (!locked)
        QThread::msleep(5);
    MessageRecorder messages;
    const bool written = second.execute("insert into House(F_mainID) values(3)");
    other.join();
    QVERIFY(written);
    QCOMPARE(messages.count(), 0);
    QCOMPARE(second.queryInt("select count(*) from House"), 3);
}

namespace {
// Copies of database-opener on one folder, each waiting for the signal to open it.
class Openers
{
public:
    Openers(const QString &folder, int count, const QStringList &extra = {})
    {
        for (int i = 0; i < count; ++i) {
            auto program = std::make_unique<QProcess>();
            program->setProcessChannelMode(QProcess::SeparateChannels);
            program->start(QStringLiteral(DATABASE_OPENER), QStringList{folder} + extra);
            m_programs.push_back(std::move(program));
        }
    }
    ~Openers()
    {
        for (auto &program : m_programs)
            if (program->state() != QProcess::NotRunning) {
                program->kill();
                program->waitForFinished(5000);
            }
    }
    // Lets them all go at once, once every one of them is ready.
    bool go()
    {
        for (auto &program : m_programs) {
            while (!program->canReadLine())
                if (!program->waitForReadyRead(30000))
                    return false;
            if (program->readLine().trimmed() != "ready")
                return false;
        }
        // QProcess keeps what is written until asked to hand it over.
        for (auto &program : m_programs)
            program->write("go\n");
        for (auto &program : m_programs)
            if (!program->waitForBytesWritten(30000))
                return false;
        for (auto &program : m_programs)
            if (!program->waitForFinished(60000) || program->exitStatus() != QProcess::NormalExit)
                return false;
        return true;
    }
    int exitCode(int i) const { return m_programs.at(i)->exitCode(); }
    QString output(int i) const { return QString::fromUtf8(m_programs.at(i)->readAllStandardOutput()).trimmed(); }

private:
    std::vector<std::unique_ptr<QProcess>> m_programs;
};

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}
} // namespace

void TestDatabase::twoProgramsCreateTheFirstDatabaseAtOnce()
{
    // Two computers of a new office started together on an empty shared folder.
    for (int round = 0; round < 5; ++round) {
        QTemporaryDir root;
        const QString folder = root.filePath("data");
        Openers programs(folder, 2);
        QVERIFY(programs.go());
        for (int i = 0; i < 2; ++i)
            QVERIFY2(programs.exitCode(i) == 0, qPrintable(programs.output(i)));
        // The database's own -wal and -shm stay when both programs close at
        // the same moment; nothing else may.
        const QStringList files = filesIn(folder);
        QStringList others = files;
        others.removeOne(Database::databaseFileName() + "-wal");
        others.removeOne(Database::databaseFileName() + "-shm");
        QVERIFY2(others == QStringList{Database::databaseFileName()}, qPrintable(files.join(' ')));
        Database check;
        QVERIFY(check.openDatabase(folder, false).ok());
        QCOMPARE(check.queryInt("PRAGMA user_version"), qint64(SchemaInstaller::currentVersion()));
    }
}

void TestDatabase::failedCreationLeavesNothing()
{
    // The disk fills up while the new database is being built.
    QTemporaryDir root;
    const QString folder = root.filePath("data");
    Openers program(folder, 1, {QStringLiteral("--file-size-limit=16384")});
    QVERIFY(program.go());
    QCOMPARE(program.exitCode(0), 1);
    const QString output = program.output(0);
    QVERIFY2(output.startsWith(QString::number(int(Database::OpenResult::CannotCreate)) + QLatin1Char(' ')),
             qPrintable(output));
    QCOMPARE(filesIn(folder), QStringList());
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
