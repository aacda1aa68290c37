#include "AppConfig.h"
#include "StartupController.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace Quellon;
using QuellonTest::MessageRecorder;

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
    void unwritableDefaultFolderExplains();

private:
    struct Script
    {
        QStringList answers; // files the user picks, in order; empty = cancel
        QStringList statuses;
        int dialogs = 0;
        QString title, filter;
        StartupController::Hooks hooks()
        {
            StartupController::Hooks h;
            h.status = [this](const QString &s) { statuses << s; };
            h.hideSplash = [] {};
            h.showSplash = [] {};
            h.chooseFile = [this](const QString &t, const QString &f, const QString &) {
                ++dialogs;
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
    config.setDs(office.path());
    Database dm;
    Script script;
    MessageRecorder messages;
    QVERIFY(!StartupController(dm, config, program.path(), script.hooks()).connectDatabase());
    QCOMPARE(script.dialogs, 1);
    QCOMPARE(script.title, QStringLiteral("连接网络数据库"));
    QVERIFY(script.filter.contains("House.db"));
    // A configured folder never gets a new, empty database behind the user's back.
    QVERIFY(!QFile::exists(QDir(office.path()).filePath("House.db")));
    QCOMPARE(messages.count(), 0);
}

void TestStartup::recoveryRemembersTheFolder()
{
    QTemporaryDir program, office, wrong;
    {
        Database maker;
        QVERIFY(maker.openDatabase(office.path(), true).ok());
    }
    AppConfig config(program.filePath("config.ini"));
    config.setDs(wrong.path());
    Database dm;
    Script script;
    MessageRecorder messages;
    // First a file in a folder without House.db, then the right one.
    script.answers << QDir(wrong.path()).filePath("other.db") << QDir(office.path()).filePath("House.db");
    QVERIFY(StartupController(dm, config, program.path(), script.hooks()).connectDatabase());
    QCOMPARE(script.dialogs, 2);
    QCOMPARE(messages.count(), 1); // why the dialog came back after the first pick
    QCOMPARE(dm.databaseFile(), QDir(office.path()).filePath("House.db"));
    AppConfig saved(program.filePath("config.ini"));
    QCOMPARE(saved.ds(), QDir::toNativeSeparators(office.path()) + QDir::separator());
}

void TestStartup::cancelEndsTheProgram()
{
    QTemporaryDir program, office;
    AppConfig config(program.filePath("config.ini"));
    config.setDs(office.path());
    QVERIFY(config.save());
    Database dm;
    Script script;
    QVERIFY(!StartupController(dm, config, program.path(), script.hooks()).connectDatabase());
    QVERIFY(!dm.isConnected());
    QCOMPARE(AppConfig(program.filePath("config.ini")).ds(), QDir::toNativeSeparators(office.path()) + QDir::separator());
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

void TestStartup::unwritableDefaultFolderExplains()
{
    // The program folder's "data" is a file, so no database can be made there
    // (a permission test would not hold for root).
    QTemporaryDir program;
    QFile f(program.filePath("data"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    AppConfig config(program.filePath("config.ini"));
    Database dm;
    Script script;
    MessageRecorder messages;
    QVERIFY(!StartupController(dm, config, program.path(), script.hooks()).connectDatabase());
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.lastKind(), int(MessageKind::Error));
    QVERIFY2(messages.lastText().contains(QStringLiteral("无法")), qPrintable(messages.lastText()));
    QCOMPARE(script.dialogs, 1);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
