#pragma once

#include "Database.h"

#include <QString>
#include <functional>

namespace Quellon {

class AppConfig;

// Connecting at start: find the database from config.ini, open it, and while
// that fails let the user point at the folder that holds it. The screens it
// drives (splash, file dialog) are hooks, so the sequence runs in tests.
class StartupController
{
public:
    struct Hooks
    {
        std::function<void(const QString &text)> status;
        std::function<void()> hideSplash;
        std::function<void()> showSplash;
        // Returns the chosen file, or empty text when the user cancels.
        std::function<QString(const QString &title, const QString &filter, const QString &startFolder)> chooseFile;
    };

    static QString recoveryTitle() { return QStringLiteral("连接网络数据库"); }
    static QString recoveryFilter();
    // What the user reads before the file dialog: why the database could not
    // be opened, and what the dialog is for.
    static QString recoveryMessage(const Database::OpenStatus &status);

    StartupController(Database &dm, AppConfig &config, const QString &programFolder, Hooks hooks);

    // Connects, asking again after every failure with the reason first.
    // False when the user gave up.
    bool connectDatabase();

private:
    Database &m_dm;
    AppConfig &m_config;
    QString m_programFolder;
    Hooks m_hooks;
};

} // namespace Quellon
