#include "AppConfig.h"

#include "Messages.h"

#include <QCoreApplication>
#include <QDebug>
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
    if (!m_ini.load(&error)) {
        // The system's reason is English: it is for the log, not the message.
        qWarning().noquote() << "reading" << path << "failed:" << error;
        showMessage(QStringLiteral("无法读取配置文件“%1”，将使用默认设置。").arg(QDir::toNativeSeparators(path)),
                    MessageKind::Warning);
    }
}

bool AppConfig::save()
{
    QString error;
    if (m_ini.save(&error))
        return true;
    qWarning().noquote() << "saving" << path() << "failed:" << error;
    showMessage(QStringLiteral("无法保存配置文件“%1”，请检查该文件及其所在的文件夹是否可写。").arg(QDir::toNativeSeparators(path())),
                MessageKind::Warning);
    return false;
}

void AppConfig::setDatabaseFolder(const QString &folder)
{
    QString f = QDir::toNativeSeparators(folder);
    if (!f.isEmpty() && !f.endsWith(QDir::separator()))
        f += QDir::separator();
    m_ini.setValue(ConfigSection, DatabaseFolderKey, f);
}

void AppConfig::setAutoBackupChoice(int choice)
{
    m_ini.setValue(ConfigSection, AutoBackupKey, QString::number(choice));
}

void AppConfig::setLastOperatorName(const QString &name)
{
    m_ini.setValue(OperatorSection, OperatorNameKey, name);
}

void AppConfig::setInputMethodName(const QString &name)
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
