#include "StartupController.h"

#include "AppConfig.h"
#include "Messages.h"
#include "Database.h"

#include <QFileInfo>

namespace Quellon {

QString StartupController::recoveryFilter()
{
    return QStringLiteral("数据库文件 (%1)").arg(Database::databaseFileName());
}

QString StartupController::recoveryMessage(const Database::OpenStatus &status)
{
    const QString reason = status.message.isEmpty() ? QStringLiteral("无法连接数据库。") : status.message;
    return reason + QStringLiteral("\n\n请在接下来的窗口中选择数据库文件 %1。").arg(Database::databaseFileName());
}

StartupController::StartupController(Database &dm, AppConfig &config, const QString &programFolder, Hooks hooks)
    : m_dm(dm), m_config(config), m_programFolder(programFolder), m_hooks(std::move(hooks))
{
}

bool StartupController::connectDatabase()
{
    for (;;) {
        const QString ds = m_config.databaseFolderSetting();
        const QString folder = AppConfig::databaseFolder(ds, m_programFolder);
        if (m_hooks.status)
            m_hooks.status(QStringLiteral("正在连接数据库 ....."));
        // Only the program's own data folder gets a new database: a configured
        // folder without one is a wrong folder, not a new office.
        const Database::OpenStatus status = m_dm.openDatabase(folder, AppConfig::isDefaultFolder(ds));
        if (status.ok()) {
            if (m_hooks.status)
                m_hooks.status(QStringLiteral("连接成功，正在登录 ..."));
            return true;
        }
        if (m_hooks.hideSplash)
            m_hooks.hideSplash();
        // A file dialog out of nowhere says nothing: the reason comes first,
        // every time.
        showMessage(recoveryMessage(status), MessageKind::Error);
        const QString file = m_hooks.chooseFile ? m_hooks.chooseFile(recoveryTitle(), recoveryFilter(), m_programFolder)
                                                 : QString();
        if (file.isEmpty())
            return false;
        m_config.setDatabaseFolder(QFileInfo(file).absolutePath());
        m_config.save();
        if (m_hooks.showSplash)
            m_hooks.showSplash();
    }
}

} // namespace Quellon
