#include "AppConfig.h"
#include "StartupController.h"
#include "DatabaseFiles.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace Quellon;
using namespace QuellonTest;

// The connection sequence with its splash and file dialog replaced by a script.
class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void firstStartCreatesTheDatabase();
    void blankDsMeansDefault();
    void configuredFolderWithoutDatabaseAsks();
    void recoveryRemembersTheFolder();
    void cancelEndsTheProgram();
    void brokenFileLeadsToRecovery();
    void reasonComesBeforeTheDialog_data();
    void reasonComesBeforeTheDialog();
    void configProblemsAreToldInChinese_data();
    void configProblemsAreToldInChinese();

private:
    struct Script
    {
        QStringList answers; // files the user picks, in order; empty = cancel
        QStringList statuses;
        int dialogs = 0;
        QString title, filter;
        const MessageRecorder *messages = nullptr;
        QList<int> messagesAtDialog; // messages shown before each dialog, counted from the start
        StartupController::Hooks hooks()
        {
            StartupController::Hooks h;
            h.status = [this](const QString &s) { statuses << s; };
            h.hideSplash = [] {};
            h.showSplash = [] {};
            h.chooseFile = [this](const QString &t, const QString &f, const QString &) {
                ++dialogs;
                if (messages)
                    messagesAtDialog << messages->count();
                title = t;
                filter = f;
                return answers.isEmpty() ? QString() : answers.takeFirst();
            };
            return h;
        }
    };
};

void TestStartup::firstStartCreatesTheDatabase()
{
    QTemporaryDir program;
    AppConfig config(program.filePath("config.ini"));
    Database dm;
    Script script;
    StartupController startup(dm, config, program.path(), script.hooks());
    QVERIFY(startup.connectDatabase());
    QVERIFY(dm.isConnected());
    QCOMPARE(dm.databaseFile(), QDir(program.path()).filePath("data/House.db"));
    QCOMPARE(script.dialogs, 0);
    QCOMPARE(script.statuses, (QStringList{QStringLiteral("正在连接数据库 ....."), QStringLiteral("连接成功，正在登录 ...")}));
    // Nothing is left of building it under a name of its own.
    const QStringList files = QDir(program.filePath("data")).entryList(QDir::Files | QDir::Hidden);
    QVERIFY2(files.filter(QRegularExpression("\\.new$")).isEmpty(), qPrintable(files.join(' ')));
}

void TestStartup::blankDsMeansDefault()
{
    QTemporaryDir program;
    QFile f(program.filePath("config.ini"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[config]\nds=   \n");
    f.close();
    AppConfig config(program.filePath("config.ini"));
    Database dm;
    Script script;
    QVERIFY(StartupController(dm, config, program.path(), script.hooks()).connectDatabase());
    QCOMPARE(dm.databaseFile(), QDir(program.path()).filePath("data/House.db"));
}

void TestStartup::configuredFolderWithoutDatabaseAsks()
{
    QTemporaryDir program, office;
    AppConfig config(program.filePath("config.ini"));
    config.setDatabaseFolder(office.path());
    Database dm;
    Script script;
    MessageRecorder messages;
    QVERIFY(!StartupController(dm, config, program.path(), script.hooks()).connectDatabase());
    QCOMPARE(script.dialogs, 1);
    QCOMPARE(script.title, QStringLiteral("连接网络数据库"));
    QVERIFY(script.filter.contains("House.db"));
    // A configured folder never gets a new, empty database behind the user's back.
    QVERIFY(!QFile::exists(QDir(office.path()).filePath("House.db")));
    QCOMPARE(messages.count(), 1);
}

void TestStartup::recoveryRemembersTheFolder()
{
    QTemporaryDir program, office, wrong;
    {
        Database maker;
        QVERIFY(maker.openDatabase(office.path(), true).ok());
    }
    AppConfig config(program.filePath("config.ini"));
    config.setDatabaseFolder(wrong.path());
    Database dm;
    Script script;
    MessageRecorder messages;
    script.messages = &messages;
    // First a file in a folder without House.db, then the right one.
    script.answers << QDir(wrong.path()).filePath("other.db") << QDir(office.path()).filePath("House.db");
    QVERIFY(StartupController(dm, config, program.path(), script.hooks()).connectDatabase());
    QCOMPARE(script.dialogs, 2);
    // Why the dialog opens, and why it came back after the first pick.
    QCOMPARE(script.messagesAtDialog, (QList<int>{1, 2}));
    QCOMPARE(messages.count(), 2);
    QCOMPARE(dm.databaseFile(), QDir(office.path()).filePath("House.db"));
    AppConfig saved(program.filePath("config.ini"));
    QCOMPARE(saved.databaseFolderSetting(), QDir::toNativeSeparators(office.path()) + QDir::separator());
}

void TestStartup::cancelEndsTheProgram()
{
    QTemporaryDir program, office;
    AppConfig config(program.filePath("config.ini"));
    config.setDatabaseFolder(office.path());
    QVERIFY(config.save());
    Database dm;
    Script script;
    QVERIFY(!StartupController(dm, config, program.path(), script.hooks()).connectDatabase());
    QVERIFY(!dm.isConnected());
    QCOMPARE(AppConfig(program.filePath("config.ini")).databaseFolderSetting(), QDir::toNativeSeparators(office.path()) + QDir::separator());
}

void TestStartup::brokenFileLeadsToRecovery()
{
    QTemporaryDir program;
    QDir(program.path()).mkpath("data");
    QFile f(program.filePath("data/House.db"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("not a database").repeated(200));
    f.close();
    AppConfig config(program.filePath("config.ini"));
    Database dm;
    Script script;
    QVERIFY(!StartupController(dm, config, program.path(), script.hooks()).connectDatabase());
    QCOMPARE(script.dialogs, 1);
    QCOMPARE(QFileInfo(program.filePath("data/House.db")).size(), qint64(14 * 200));
}

void TestStartup::reasonComesBeforeTheDialog_data()
{
    // Where the database is looked for: "office" (ds names a folder), "missing"
    // (ds names a folder that is not there), "default" (data/ beside the
    // program), "blocked" (data/ beside the program is a file) or "locked"
    // (data/ is missing and the program folder read-only).
    QTest::addColumn<QString>("place");
    QTest::addColumn<int>("kind");            // DatabaseFileKind of House.db there, -1 for none
    QTest::addColumn<QString>("readOnly");    // "", "file", "folder" or "program"
    QTest::addColumn<QString>("reason");      // what the message must say
    QTest::addColumn<QString>("named");       // the path it names: "folder", "file" or "program"
    const int none = -1;
    using K = DatabaseFileKind;
    QTest::newRow("folder missing") << "missing" << none << "" << QStringLiteral("找不到数据库所在的文件夹") << "folder";
    QTest::newRow("file missing") << "office" << none << "" << QStringLiteral("找不到数据库文件") << "file";
    QTest::newRow("not a database") << "office" << int(K::Text) << "" << QStringLiteral("不是数据库文件") << "file";
    QTest::newRow("damaged") << "office" << int(K::Damaged) << "" << QStringLiteral("已损坏") << "file";
    QTest::newRow("not ours") << "office" << int(K::Foreign) << "" << QStringLiteral("不是本系统的数据库") << "file";
    QTest::newRow("newer version") << "office" << int(K::Newer) << "" << QStringLiteral("更新版本") << "file";
    // The program folder's "data" is a file, so no database can be made there.
    QTest::newRow("cannot create") << "blocked" << none << "" << QStringLiteral("无法创建数据文件夹") << "folder";
    QTest::newRow("read-only file") << "office" << int(K::Ours) << "file" << QStringLiteral("只读") << "file";
    QTest::newRow("read-only folder") << "office" << int(K::Ours) << "folder" << QStringLiteral("只读") << "folder";
    QTest::newRow("read-only data folder") << "default" << none << "folder" << QStringLiteral("只读") << "folder";
    QTest::newRow("read-only program folder") << "locked" << none << "program" << QStringLiteral("只读") << "program";
}

void TestStartup::reasonComesBeforeTheDialog()
{
    QFETCH(QString, place);
    QFETCH(int, kind);
    QFETCH(QString, readOnly);
    QFETCH(QString, reason);
    QFETCH(QString, named);
    if (!readOnly.isEmpty() && runningAsRoot())
        QSKIP("permissions do not bind root");
    QTemporaryDir program, office;
    AppConfig config(program.filePath("config.ini"));
    QString folder = program.filePath("data");
    if (place == "office" || place == "missing") {
        folder = place == "office" ? office.path() : office.filePath("moved");
        config.setDatabaseFolder(folder);
    } else if (place == "blocked") {
        QFile f(folder);
        QVERIFY(f.open(QIODevice::WriteOnly));
    } else if (place == "default") {
        QVERIFY(QDir().mkpath(folder));
    }
    const QString file = QDir(folder).filePath(Database::databaseFileName());
    if (kind >= 0)
        QVERIFY(writeDatabaseFile(folder, DatabaseFileKind(kind)));
    PermissionsRestorer restoreFile(file), restoreFolder(folder), restoreProgram(program.path());
    const QFile::Permissions readAndList = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser;
    if (readOnly == "file")
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadUser));
    if (readOnly == "folder")
        QVERIFY(QFile::setPermissions(folder, readAndList));
    if (readOnly == "program")
        QVERIFY(QFile::setPermissions(program.path(), readAndList));

    Database dm;
    Script script;
    MessageRecorder messages;
    script.messages = &messages;
    QVERIFY(!StartupController(dm, config, program.path(), script.hooks()).connectDatabase());
    QCOMPARE(script.dialogs, 1);
    QCOMPARE(script.messagesAtDialog, QList<int>{1});
    QCOMPARE(messages.lastKind(), int(MessageKind::Error));
    const QString text = messages.lastText();
    QVERIFY2(text.contains(reason), qPrintable(text));
    const QString path = QDir::toNativeSeparators(named == "file" ? file : named == "folder" ? folder : program.path());
    QVERIFY2(text.contains(QStringLiteral("“%1”").arg(path)), qPrintable(text));
    if (!readOnly.isEmpty())
        QVERIFY2(!text.contains(QStringLiteral("损坏")), qPrintable(text));
    // Chinese throughout: apart from the quoted path and the file's name, no
    // words of the engine.
    QString words = text;
    words.remove(QRegularExpression(QStringLiteral("“[^”]*”"))).remove(Database::databaseFileName());
    QVERIFY2(!words.contains(QRegularExpression("[A-Za-z]")), qPrintable(text));
}

void TestStartup::configProblemsAreToldInChinese_data()
{
    QTest::addColumn<bool>("reading");
    QTest::newRow("reading") << true;
    QTest::newRow("saving") << false;
}

void TestStartup::configProblemsAreToldInChinese()
{
    QFETCH(bool, reading);
    QTemporaryDir program;
    // A folder named config.ini cannot be read; one in a folder that is gone cannot be saved.
    const QString path = reading ? program.filePath("config.ini") : program.filePath("gone/config.ini");
    if (reading)
        QVERIFY(QDir().mkpath(path));
    MessageRecorder messages;
    AppConfig config(path);
    if (!reading) {
        QCOMPARE(messages.count(), 0);
        config.setDatabaseFolder(program.path());
        QVERIFY(!config.save());
    }
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.lastKind(), int(MessageKind::Warning));
    const QString text = messages.lastText();
    QVERIFY2(text.contains(QStringLiteral("“%1”").arg(QDir::toNativeSeparators(path))), qPrintable(text));
    QString words = text;
    words.remove(QRegularExpression(QStringLiteral("“[^”]*”")));
    QVERIFY2(!words.contains(QRegularExpression("[A-Za-z]")), qPrintable(text));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
