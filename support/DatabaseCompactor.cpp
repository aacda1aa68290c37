#include "DatabaseCompactor.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace Quellon {

bool compactDatabase(const QString &databaseFile, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!QFileInfo(databaseFile).isFile())
        return fail(QStringLiteral("数据库文件“%1”不存在。").arg(QDir::toNativeSeparators(databaseFile)));

    const QString name = QStringLiteral("compact-") + QUuid::createUuid().toString(QUuid::Id128);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(databaseFile);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open()) {
            qWarning().noquote() << "compacting" << databaseFile << "failed:" << db.lastError().text();
            fail(QStringLiteral("无法打开数据库文件“%1”。").arg(QDir::toNativeSeparators(databaseFile)));
        } else {
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("PRAGMA integrity_check")) || !q.next()
                || q.value(0).toString() != QLatin1String("ok")) {
                fail(QStringLiteral("数据库完整性检查未通过"));
            } else if (!q.exec(QStringLiteral("VACUUM"))) {
                qWarning().noquote() << "compacting" << databaseFile << "failed:" << q.lastError().text();
                fail(QStringLiteral("数据库压缩失败，请确认没有其他人正在使用该数据库、磁盘空间是否足够。"));
            } else {
                ok = true;
            }
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace Quellon
