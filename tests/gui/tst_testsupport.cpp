#include "TestSupport.h"
#include "WhenModal.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

using namespace Quellon;

// Tests that fail on purpose, run in a child process by TestTestSupport.
class DeliberateFailures : public QObject
{
    Q_OBJECT
private slots:
    void checkFailsInsideAModalDialog()
    {
        QDialog dialog;
        QuellonTest::WhenModal<QDialog> answer([](QDialog *) { QVERIFY2(false, "deliberate failure inside the dialog"); });
        QElapsedTimer open;
        open.start();
        dialog.exec();
        // Reached at once because the failure closed the dialog.
        qInfo("dialog closed after %lld ms", open.elapsed());
    }
    void unexpectedQuestion()
    {
        QuellonTest::MessageRecorder messages;
        const bool yes = confirm(QStringLiteral("真的要删除吗？"));
        qInfo("answered %s", yes ? "yes" : "no");
    }
};

// The test harness itself: a failed check inside a modal dialog must end that
// dialog and fail the test at once rather than hang, and a question the test
// did not expect must fail it rather than be answered yes.
class TestTestSupport : public QObject
{
    Q_OBJECT
private slots:
    void failuresFailAndNeverHang()
    {
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--deliberate-failures")});
        QVERIFY(child.waitForStarted());
        QVERIFY2(child.waitForFinished(60000), "the failing tests hung");
        const QString output = QString::fromUtf8(child.readAll());
        QVERIFY2(child.exitCode() != 0, qPrintable(output));
        QCOMPARE(output.count(QStringLiteral("FAIL!")), 2);
        QVERIFY2(output.contains(QStringLiteral("dialog closed after")), qPrintable(output));
        QVERIFY2(output.contains(QStringLiteral("unexpected question: 真的要删除吗？")), qPrintable(output));
        QVERIFY2(output.contains(QStringLiteral("answered no")), qPrintable(output));
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--deliberate-failures") == 0) {
        DeliberateFailures failures;
        return QTest::qExec(&failures, 1, argv);
    }
    TestTestSupport test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_testsupport.moc"
