#include "AppConfig.h"

#include "Messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace Quellon {

QString AppConfig::programFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString AppConfig::defaultPath()
{
    const QString beside = QDir(programFolder()).filePath(FileName);
    const QFileInfo info(beside);
    if (info.exists() ? info.isWritable() : QFileInfo(programFolder()).isWritable())
        return beside;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(folder);
    const QString own = QDir(folder).filePath(FileName);
    // A read-only installation may ship its settings beside the program: start from them.
    if (!QFileInfo::exists(own) && info.exists())
        QFile::copy(beside, own);
    return own;
}

AppConfig::AppConfig(const QString &path) : m_ini(path)
{
    QString error;
    if (!m_ini.load(&error))
        showMessage(QStringLiteral("无法读取配置文件“%1”：%2\n将使用默认设置。").arg(QDir::toNativeSeparators(path), error),
                 MessageKind::Warning);
}

bool AppConfig::save()
{
    QString error;
    if (m_ini.save(&error))
        return true;
    showMessage(QStringLiteral("无法保存配置文件“%1”：%2").arg(QDir::toNativeSeparators(path()), error), MessageKind::Warning);
    return false;
}

void AppConfig::setDs(const QString &folder)
{
    QString f = QDir::toNativeSeparators(folder);
    if (!f.isEmpty() && !f.endsWith(QDir::separator()))
        f += QDir::separator();
    m_ini.setValue(ConfigSection, DatabaseFolderKey, f);
}

void AppConfig::setIbak(int choice)
{
    m_ini.setValue(ConfigSection, AutoBackupKey, QString::number(choice));
}

void AppConfig::setCurOperName(const QString &name)
{
    m_ini.setValue(OperatorSection, OperatorNameKey, name);
}

void AppConfig::setCurImeName(const QString &name)
{
    m_ini.setValue(OperatorSection, InputMethodKey, name);
}

QString AppConfig::databaseFolder(const QString &ds, const QString &programFolder)
{
    const QString trimmed = ds.trimmed();
    if (trimmed.isEmpty())
        return QDir(programFolder).filePath(QStringLiteral("data"));
    // Older files name Windows folders with backslashes; both separators work.
    QString folder = trimmed;
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::cleanPath(QDir(programFolder).absoluteFilePath(folder));
}

} // namespace Quellon
