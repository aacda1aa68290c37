#pragma once

#include <QDate>
#include <QString>

namespace Quellon {

class Database;

// Copies of the open database: the automatic start-up copy, one a day, into
// the backup folder named in SysInfo, and copies to a chosen file. It asks
// nobody anything: a window decides whether a missing folder is created.
class BackupService
{
public:
    explicit BackupService(Database &db) : m_db(db) {}

    // Whether the automatic backup choice (config.ini "ibak") asks for a copy today.
    static bool isDue(int choice, const QDate &today);
    // "dp" + yyyyMMdd + ".back"
    static QString fileName(const QDate &day);

    struct Outcome
    {
        enum Result {
            Copied,
            AlreadyThere,  // today's copy exists: nothing to do
            FolderMissing, // the backup folder is missing and was not to be created
            Failed,        // message says why, for the user
        };
        Result result = Failed;
        QString folder;
        QString message;
    };
    // Today's automatic copy into the backup folder of SysInfo. A missing
    // folder is created only when createMissingFolder is set: the caller asks
    // the user first.
    Outcome runAutomatic(const QDate &today, bool createMissingFolder);

    // A consistent copy of the open database to target. The copy is on the
    // disk before it takes the target's name, the name never holds a
    // half-written file, and an older copy is replaced in one step. Fails
    // when target exists and !overwrite.
    bool backupTo(const QString &target, bool overwrite, QString *error = nullptr);

private:
    Database &m_db;
};

} // namespace Quellon
