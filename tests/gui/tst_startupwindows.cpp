#include "SplashScreen.h"
#include "StartupController.h"
#include "SystemTranslations.h"
#include "WhenModal.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

using namespace Quellon;
using QuellonTest::WhenModal;

// The windows of start-up that are not dialogs of the program's own: the
// splash, and Qt's own words in the file dialog, standard buttons and a
// field's context menu.
class TestStartupWindows : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void splashIsHeldByATimer();
    void fieldMenuIsChinese();
    void standardButtonsAreChinese();
    void fileDialogIsChinese();

private:
    bool m_translated = false;
};

namespace {
// Words in Latin letters left in a text once its mnemonic, its shortcut and
// the names that stay as they are have been taken out.
QString latinWords(QString text)
{
    text = text.section(QLatin1Char('\t'), 0, 0);
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)"))).remove(QLatin1Char('&'));
    for (const QString &name : {QStringLiteral("House.db"), QStringLiteral("Unicode")})
        text.remove(name);
    QStringList words;
    for (const QRegularExpressionMatch &m : QRegularExpression(QStringLiteral("[A-Za-z]+")).globalMatch(text))
        words << m.captured();
    return words.join(QLatin1Char(' '));
}
} // namespace

void TestStartupWindows::initTestCase()
{
    m_translated = SystemTranslations::installChinese();
}

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

void TestStartupWindows::fieldMenuIsChinese()
{
    if (!m_translated)
        QSKIP("Qt's Chinese catalogue (qt6-translations-l10n) is not installed");
    QLineEdit field;
    field.setText(QStringLiteral("张三"));
    field.show();
    QVERIFY(QTest::qWaitForWindowExposed(&field));
    field.selectAll();
    // A right click, through the window as the system delivers it.
    QTest::mouseClick(field.windowHandle(), Qt::RightButton, {}, field.rect().center());
    QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QStringList texts;
    for (QAction *action : menu->actions())
        if (!action->isSeparator())
            texts << action->text();
    menu->close();
    QVERIFY2(texts.filter(QStringLiteral("复制")).size() == 1, qPrintable(texts.join(" | ")));
    QVERIFY2(texts.filter(QStringLiteral("粘贴")).size() == 1, qPrintable(texts.join(" | ")));
    for (const QString &text : texts)
        QVERIFY2(latinWords(text).isEmpty(), qPrintable(text));
}

void TestStartupWindows::standardButtonsAreChinese()
{
    if (!m_translated)
        QSKIP("Qt's Chinese catalogue (qt6-translations-l10n) is not installed");
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Yes | QDialogButtonBox::No
                         | QDialogButtonBox::Save | QDialogButtonBox::Close | QDialogButtonBox::Open);
    QStringList texts;
    for (QAbstractButton *button : box.buttons())
        texts << button->text();
    QVERIFY2(texts.contains(QStringLiteral("确定")), qPrintable(texts.join(" | ")));
    QVERIFY2(texts.filter(QStringLiteral("取消")).size() == 1, qPrintable(texts.join(" | ")));
    for (const QString &text : texts)
        QVERIFY2(latinWords(text).isEmpty(), qPrintable(text));
}

void TestStartupWindows::fileDialogIsChinese()
{
    if (!m_translated)
        QSKIP("Qt's Chinese catalogue (qt6-translations-l10n) is not installed");
    QTemporaryDir folder;
    QStringList english;
    int labels = 0;
    // The dialog start-up opens to find the database, answered from the event loop.
    WhenModal<QFileDialog> inspect([&](QFileDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), StartupController::recoveryTitle());
        for (QLabel *label : dialog->findChildren<QLabel *>()) {
            if (!label->isVisible())
                continue;
            ++labels;
            if (!latinWords(label->text()).isEmpty())
                english << label->text();
        }
        for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>()) {
            if (!button->isVisible())
                continue;
            for (const QString &text : {button->text(), button->toolTip()})
                if (!latinWords(text).isEmpty())
                    english << text;
        }
        for (QTreeView *view : dialog->findChildren<QTreeView *>()) {
            for (int column = 0; column < view->model()->columnCount(); ++column) {
                const QString title = view->model()->headerData(column, Qt::Horizontal).toString();
                if (!latinWords(title).isEmpty())
                    english << title;
            }
        }
        dialog->reject();
    });
    const QString chosen = QFileDialog::getOpenFileName(nullptr, StartupController::recoveryTitle(), folder.path(),
                                                        StartupController::recoveryFilter(), nullptr,
                                                        QFileDialog::DontUseNativeDialog);
    QCOMPARE(inspect.seen, 1);
    QVERIFY(chosen.isEmpty());
    QVERIFY(labels >= 2);
    QVERIFY2(english.isEmpty(), qPrintable(english.join(" | ")));
}

QTEST_MAIN(TestStartupWindows)
#include "tst_startupwindows.moc"
