#include "LogFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using namespace Quellon;

// The log the program keeps for whoever supports an office.
class TestLogFile : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { LogFile::uninstall(); }
    void warningsAreKeptWithTheirTime();
    void staysWithinItsSize();
};

namespace {
QString read(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}
} // namespace

void TestLogFile::warningsAreKeptWithTheirTime()
{
    QTemporaryDir dir;
    // The folder is made when missing, as on a first start.
    const QString file = dir.filePath("logs/quellon.log");
    LogFile::install(file);
    QCOMPARE(LogFile::path(), file);
    qDebug("chatter for the console only");
    QTest::ignoreMessage(QtWarningMsg, "no such table: House 引擎的原话");
    qWarning("no such table: House 引擎的原话");
    QTest::ignoreMessage(QtCriticalMsg, "second");
    qCritical("second");
    LogFile::uninstall();
    QTest::ignoreMessage(QtWarningMsg, "after uninstall");
    qWarning("after uninstall");

    const QStringList lines = read(file).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    const QRegularExpression stamped(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} (warning|critical): )");
    QVERIFY2(stamped.match(lines.at(0)).hasMatch(), qPrintable(lines.at(0)));
    QVERIFY(lines.at(0).endsWith(QStringLiteral("warning: no such table: House 引擎的原话")));
    QVERIFY(lines.at(1).endsWith("critical: second"));
}

void TestLogFile::staysWithinItsSize()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("quellon.log");
    const qint64 limit = 4096;
    LogFile::install(file, limit);
    const QString line = QStringLiteral("statement failed: ") + QString(100, QLatin1Char('x'));
    for (int i = 0; i < 200; ++i) {
        QTest::ignoreMessage(QtWarningMsg, qPrintable(line + QString::number(i)));
        qWarning().noquote() << line + QString::number(i);
    }
    // The newest lines are in the file, the ones before in the one older file, no more.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"quellon.log", "quellon.log.1"}));
    QVERIFY(QFileInfo(file).size() <= limit + 200);
    QVERIFY(QFileInfo(file + ".1").size() <= limit + 200);
    QVERIFY(read(file).contains(line + "199\n"));
}

QTEST_GUILESS_MAIN(TestLogFile)
#include "tst_logfile.moc"
