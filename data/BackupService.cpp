#include "BackupService.h"

#include "Database.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace Quellon {

bool BackupService::isDue(int choice, const QDate &today)
{
    switch (choice) {
    case 1:
        return true;
    case 2:
        return today.dayOfWeek() == Qt::Monday;
    case 3:
        return today.day() == 1;
    default:
        return false;
    }
}

QString BackupService::fileName(const QDate &day)
{
    return QStringLiteral("dp") + day.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".back");
}

BackupService::Outcome BackupService::runAutomatic(const QDate &today, bool createMissingFolder)
{
    Outcome outcome;
    bool read = false;
    outcome.folder = m_db.queryText(QStringLiteral("select f_BakPath from sysInfo"), {}, &read).trimmed();
    if (!read) {
        // The read failure has been reported already.
        outcome.result = Outcome::AlreadyThere;
        return outcome;
    }
    // An empty folder would mean "the current directory" to the file system.
    if (outcome.folder.isEmpty() || !QFileInfo(outcome.folder).isDir()) {
        if (!createMissingFolder) {
            outcome.result = Outcome::FolderMissing;
            return outcome;
        }
        if (outcome.folder.isEmpty() || !QDir().mkpath(outcome.folder)) {
            outcome.result = Outcome::Failed;
            outcome.message = QStringLiteral("目录") + outcome.folder + QStringLiteral(" 创建失败,请检测路径是否合法!");
            return outcome;
        }
    }
    const QString target = QDir(outcome.folder).filePath(fileName(today));
    if (QFileInfo::exists(target)) {
        outcome.result = Outcome::AlreadyThere;
        return outcome;
    }
    QString error;
    if (!backupTo(target, false, &error)) {
        qWarning().noquote() << "automatic backup failed:" << error;
        outcome.result = Outcome::Failed;
        outcome.message = QStringLiteral("数据备份失败！") + QLatin1Char('\n') + error;
        return outcome;
    }
    outcome.result = Outcome::Copied;
    return outcome;
}

bool BackupService::backupTo(const QString &target, bool overwrite, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!m_db.isConnected())
        return fail(QStringLiteral("数据库未连接。"));
    if (!overwrite && QFileInfo::exists(target))
        return fail(QStringLiteral("备份文件已存在。"));
    // The copy is written beside the target and renamed at the end, so the
    // target name only ever holds a whole copy.
    const QString part = target + QStringLiteral(".part");
    QFile::remove(part);
    QSqlQuery q(m_db.database());
    if (!q.prepare(QStringLiteral("VACUUM INTO ?"))) {
        qWarning().noquote() << "backup failed:" << q.lastError().text();
        return fail(Database::explainError(q.lastError()));
    }
    q.addBindValue(part);
    if (!q.exec()) {
        qWarning().noquote() << "backup failed:" << q.lastError().text();
        QFile::remove(part);
        return fail(Database::explainError(q.lastError()));
    }
    if (overwrite && QFileInfo::exists(target) && !QFile::remove(target)) {
        QFile::remove(part);
        return fail(QStringLiteral("无法替换已有的备份文件。"));
    }
    if (!QFile::rename(part, target)) {
        QFile::remove(part);
        return fail(QStringLiteral("无法写入备份文件。"));
    }
    return true;
}

} // namespace Quellon
