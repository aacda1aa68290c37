#include "EntrySequence.h"

#include "AppConfig.h"
#include "WindowPlacement.h"
#include "MessageBoxPresenter.h"
#include "LoginSession.h"
#include "StartupController.h"
#include "SplashScreen.h"
#include "Database.h"
#include "LoginDialog.h"
#include "LogFile.h"
#include "SystemTranslations.h"

#include <QApplication>
#include <QFileDialog>
#include <QWidget>

namespace Quellon {

int runEntrySequence(int &argc, char **argv, const MainWindowFactory &createMainWindow)
{
    // Used for the per-user folders only; window titles carry the Chinese title.
    QApplication::setApplicationName(QStringLiteral("quellon"));
    QApplication::setOrganizationName(QStringLiteral("quellon"));
    // Before anything else, so that Qt's own warnings at start are kept too.
    LogFile::install(LogFile::defaultPath());
    QApplication app(argc, argv);
    // Before the first window: file dialogs, standard buttons and context
    // menus take their words from Qt's catalogues when they are built.
    SystemTranslations::installChinese();
    installMessageBoxPresenter();

    // Read before the splash is up: a warning about config.ini would open
    // under a window that stays on top.
    AppConfig config;

    auto splash = std::make_unique<SplashScreen>();
    splash->show();
    splash->repaint();
    QCoreApplication::processEvents();

    Database dm;
    StartupController::Hooks hooks;
    hooks.status = [&splash](const QString &text) {
        if (splash)
            splash->setStatus(text);
    };
    hooks.hideSplash = [&splash] { splash.reset(); };
    hooks.showSplash = [&splash] {
        splash = std::make_unique<SplashScreen>();
        splash->show();
        splash->repaint();
        QCoreApplication::processEvents();
    };
    hooks.chooseFile = [](const QString &title, const QString &filter, const QString &folder) {
        return QFileDialog::getOpenFileName(nullptr, title, folder, filter);
    };
    StartupController startup(dm, config, AppConfig::programFolder(), hooks);
    if (!startup.connectDatabase())
        return 0;

    hooks.status(QStringLiteral("连接成功，正在登录 ....."));
    std::unique_ptr<MainWindowHost> mainWindow = createMainWindow(dm, config);
    // A local database opens in a blink; leave the splash up long enough to be read.
    if (splash)
        splash->keepShownFor(1200);
    splash.reset();

    {
        LoginDialog login(dm, &config, LoginService::Mode::FirstLogin);
        placeWindow(&login, Placement::CentredOnScreen);
        if (login.exec() != QDialog::Accepted)
            return 0;
        mainWindow->applyLogin(login.session());
    }
    mainWindow->window()->show();
    return app.exec();
}

} // namespace Quellon
