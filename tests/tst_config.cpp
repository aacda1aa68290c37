#include "AppConfig.h"
#include "IniFile.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace Quellon;

class TestConfig : public QObject
{
    Q_OBJECT
private slots:
    void readsHandEditedFiles_data();
    void readsHandEditedFiles();
    void writingKeepsOtherLines();
    void missingFileGivesDefaults();
    void databaseFolder_data();
    void databaseFolder();
    void dsIsWrittenAsAFolder();
    void gbkFileIsRead();
};

void TestConfig::readsHandEditedFiles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("ds");
    QTest::addColumn<int>("ibak");
    QTest::addColumn<QString>("oper");
    QTest::newRow("plain") << "[config]\nds=/srv/house/\nibak=2\n[Config]\nCurOperName=张三\n" << "/srv/house/" << 2 << "张三";
    QTest::newRow("case of names") << "[CONFIG]\nDS=/a/\nIBAK=1\n[config]\ncuropername=admin\n" << "/a/" << 1 << "admin";
    QTest::newRow("garbage lines") << "garbage\n\x01\x02\n[config\nds\n[config]\n=x\nnonsense line\nds = /b/ \nibak=abc\n"
                                   << "/b/" << 0 << "";
    QTest::newRow("crlf and bom") << "\xEF\xBB\xBF[config]\r\nds=/c/\r\nibak=3\r\n" << "/c/" << 3 << "";
    QTest::newRow("comments") << "; note\n[config]\n# ds=/wrong/\nds=/d/\n" << "/d/" << 0 << "";
}

void TestConfig::readsHandEditedFiles()
{
    QFETCH(QString, text);
    QFETCH(QString, ds);
    QFETCH(int, ibak);
    QFETCH(QString, oper);
    QTemporaryDir dir;
    const QString path = dir.filePath("config.ini");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
    f.close();
    QuellonTest::MessageRecorder messages;
    AppConfig config(path);
    QCOMPARE(config.databaseFolderSetting(), ds);
    QCOMPARE(config.autoBackupChoice(), ibak);
    QCOMPARE(config.lastOperatorName(), oper);
    QCOMPARE(messages.count(), 0);
}

void TestConfig::writingKeepsOtherLines()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("config.ini");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("; kept comment\n[config]\nds=/x/\nother=1\n[set]\nawokeflag=1\n");
    f.close();
    {
        AppConfig config(path);
        config.setLastOperatorName(QStringLiteral("李四"));
        config.setAutoBackupChoice(2);
        QVERIFY(config.save());
    }
    AppConfig again(path);
    QCOMPARE(again.lastOperatorName(), QStringLiteral("李四"));
    QCOMPARE(again.autoBackupChoice(), 2);
    QCOMPARE(again.databaseFolderSetting(), QStringLiteral("/x/"));
    QVERIFY(again.remindersAtStart());
    // [config] and [Config] are one section: names compare without regard to case.
    QCOMPARE(again.ini().text(),
             QStringLiteral("; kept comment\n[config]\nds=/x/\nother=1\nCurOperName=李四\nibak=2\n[set]\nawokeflag=1\n"));
}

void TestConfig::missingFileGivesDefaults()
{
    QTemporaryDir dir;
    AppConfig config(dir.filePath("config.ini"));
    QCOMPARE(config.databaseFolderSetting(), QString());
    QCOMPARE(config.autoBackupChoice(), 0);
    QVERIFY(!config.remindersAtStart());
    QVERIFY(!QFile::exists(dir.filePath("config.ini")));
}

void TestConfig::databaseFolder_data()
{
    QTest::addColumn<QString>("ds");
    QTest::addColumn<QString>("folder");
    QTest::newRow("empty") << "" << "/opt/quellon/data";
    QTest::newRow("blanks") << "   " << "/opt/quellon/data";
    QTest::newRow("trailing separator") << "/srv/office/" << "/srv/office";
    QTest::newRow("no trailing separator") << "/srv/office" << "/srv/office";
    QTest::newRow("windows separators") << "\\\\srv\\office\\" << "/srv/office";
    QTest::newRow("relative") << "shared/" << "/opt/quellon/shared";
}

void TestConfig::databaseFolder()
{
    QFETCH(QString, ds);
    QFETCH(QString, folder);
    QCOMPARE(AppConfig::databaseFolder(ds, "/opt/quellon"), folder);
}

void TestConfig::dsIsWrittenAsAFolder()
{
    QTemporaryDir dir;
    AppConfig config(dir.filePath("config.ini"));
    config.setDatabaseFolder("/srv/office");
    QCOMPARE(config.databaseFolderSetting(), QStringLiteral("/srv/office/"));
    config.setDatabaseFolder("/srv/office/");
    QCOMPARE(config.databaseFolderSetting(), QStringLiteral("/srv/office/"));
}

void TestConfig::gbkFileIsRead()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("config.ini");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    // "[Config]\nCurOperName=张三\n" in the old code page.
    f.write("[Config]\nCurOperName=\xD5\xC5\xC8\xFD\n");
    f.close();
    AppConfig config(path);
    QCOMPARE(config.lastOperatorName(), QStringLiteral("张三"));
}

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
