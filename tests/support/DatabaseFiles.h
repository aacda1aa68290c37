#pragma once

#include "Database.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>

#include <unistd.h>

namespace QuellonTest {

// The House.db files a start-up may come across.
enum class DatabaseFileKind {
    Ours,    // made by this program
    Text,    // a text file under the name
    Damaged, // ours, with its first page overwritten
    Foreign, // an SQLite database of some other program
    Newer,   // ours, from a later schema version
};

namespace Detail {
inline bool runStatement(const QString &file, const QString &sql)
{
    const QString name = QStringLiteral("fixture-") + QUuid::createUuid().toString(QUuid::Id128);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        ok = db.open() && QSqlQuery(db).exec(sql);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}
} // namespace Detail

// Writes House.db of the given kind into folder, which is made if missing.
inline bool writeDatabaseFile(const QString &folder, DatabaseFileKind kind)
{
    const QString file = QDir(folder).filePath(Quellon::Database::databaseFileName());
    if (!QDir().mkpath(folder))
        return false;
    switch (kind) {
    case DatabaseFileKind::Text: {
        QFile f(file);
        return f.open(QIODevice::WriteOnly) && f.write(QByteArray("this is not a database\n").repeated(100)) > 0;
    }
    case DatabaseFileKind::Foreign:
        return Detail::runStatement(file, QStringLiteral("create table t(x)"));
    case DatabaseFileKind::Ours:
    case DatabaseFileKind::Damaged:
    case DatabaseFileKind::Newer:
        break;
    }
    {
        Quellon::Database maker;
        if (!maker.openDatabase(folder, true).ok())
            return false;
    }
    if (kind == DatabaseFileKind::Newer)
        return Detail::runStatement(file, QStringLiteral("PRAGMA user_version = 999"));
    if (kind == DatabaseFileKind::Damaged) {
        // The header stays, the table of tables after it is gone.
        QFile f(file);
        return f.open(QIODevice::ReadWrite) && f.seek(100) && f.write(QByteArray(2000, '\xa5')) == 2000;
    }
    return true;
}

// Permissions do not bind root: read-only places cannot be made there.
inline bool runningAsRoot()
{
    return ::geteuid() == 0;
}

// Gives a file or folder back its permissions when it goes, so that a
// temporary folder made read-only by a test can still be removed.
class PermissionsRestorer
{
public:
    explicit PermissionsRestorer(const QString &path) : m_path(path), m_saved(QFile::permissions(path)) {}
    ~PermissionsRestorer() { QFile::setPermissions(m_path, m_saved); }
    PermissionsRestorer(const PermissionsRestorer &) = delete;
    PermissionsRestorer &operator=(const PermissionsRestorer &) = delete;

private:
    QString m_path;
    QFile::Permissions m_saved;
};

} // namespace QuellonTest
