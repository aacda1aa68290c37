#include "SplashScreen.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

using namespace Quellon;

// The windows of start-up that are not dialogs of the program's own.
class TestStartupWindows : public QObject
{
    Q_OBJECT
private slots:
    void splashIsHeldByATimer();
};

void TestStartupWindows::splashIsHeldByATimer()
{
    QElapsedTimer clock;
    clock.start();
    SplashScreen splash;
    splash.show();
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start(10);
    splash.keepShownFor(300);
    QVERIFY2(clock.elapsed() >= 300, qPrintable(QString::number(clock.elapsed())));
    // The event loop ran while it waited: a sleeping thread lets no timer fire.
    QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
    QVERIFY(splash.isVisible());

    // Up long enough already: nothing more to wait for.
    clock.restart();
    splash.keepShownFor(300);
    QVERIFY(clock.elapsed() < 100);
}

QTEST_MAIN(TestStartupWindows)
#include "tst_startupwindows.moc"
