#pragma once

#include <QSqlDatabase>
#include <QString>

namespace Quellon {

// Creates the tables and seed rows of a new database and brings an older one
// up to the current schema version (kept in PRAGMA user_version). Each step
// runs in one transaction: a failure leaves the database at its previous
// version.
class SchemaInstaller
{
public:
    static int currentVersion();

    // The version stored in the database; -1 when it cannot be read.
    static int storedVersion(QSqlDatabase db);

    // True when the database holds the program's tables (any version).
    static bool looksLikeQuellonDatabase(QSqlDatabase db);

    // Runs every step above the stored version. An empty database gets the
    // whole schema and its seed rows. *error receives the engine's text and
    // the statement that failed: for the log, never for a message.
    static bool upgrade(QSqlDatabase db, QString *error = nullptr);
};

} // namespace Quellon
