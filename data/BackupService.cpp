#include "BackupService.h"

#include "Database.h"
#include "FileMover.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

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
        // Another copy of the program made today's backup first.
        if (QFileInfo::exists(target)) {
            outcome.result = Outcome::AlreadyThere;
            return outcome;
        }
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
    // The copy is written beside the target under a name of its own and moved
    // over it at the end, so the target name only ever holds a whole copy;
    // two programs backing up into one shared folder at once write two parts.
    const QString part = QStringLiteral("%1.%2.part").arg(target, QUuid::createUuid().toString(QUuid::Id128).left(12));
    QSqlQuery q(m_db.database());
    if (!q.prepare(QStringLiteral("VACUUM INTO ?"))) {
        qWarning().noquote() << "backup failed:" << q.lastError().text();
        return fail(Database::explainError(q.lastError()));
    }
    q.addBindValue(part);
    if (!q.exec()) {
        qWarning().noquote() << "backup to" << part << "failed:" << q.lastError().text();
        QFile::remove(part);
        return fail(Database::explainError(q.lastError()));
    }
    q.finish();
    // VACUUM INTO leaves its output to the system's write-back: the copy is on
    // the disk before its name says it is a backup.
    QString why;
    if (!FileMover::flushFile(part, &why)) {
        qWarning().noquote() << "backup not flushed:" << why;
        QFile::remove(part);
        return fail(QStringLiteral("备份文件未能写入磁盘。"));
    }
    if (overwrite) {
        // One rename over the old copy: there is never a moment without a backup.
        if (!FileMover::replace(part, target, &why)) {
            qWarning().noquote() << "backup not moved into place:" << why;
            QFile::remove(part);
            return fail(QStringLiteral("无法替换已有的备份文件。"));
        }
    } else {
        const FileMover::Result moved = FileMover::moveUnlessExists(part, target, &why);
        if (moved != FileMover::Result::Moved) {
            if (moved == FileMover::Result::Failed)
                qWarning().noquote() << "backup not moved into place:" << why;
            QFile::remove(part);
            return fail(moved == FileMover::Result::TargetExists ? QStringLiteral("备份文件已存在。")
                                                                  : QStringLiteral("无法写入备份文件。"));
        }
    }
    if (!FileMover::flushFolder(QFileInfo(target).absolutePath(), &why))
        qWarning().noquote() << "backup folder not flushed:" << why;
    return true;
}

} // namespace Quellon
