#pragma once

#include "SqlDialect.h"
#include "SqlFragment.h"

#include <QObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class QSqlError;

namespace Quellon {

// Named values bound to ":name" placeholders of a statement.
using SqlParams = QVariantMap;

// The one connection to the database and the statement helpers every window
// uses. It belongs to the user-interface thread; a worker thread opens a
// connection of its own (see connectionSetup()).
// The helpers report a failure to the user (a fixed Chinese message of kind
// Error, the engine's detail to the log) and answer false, empty text or 0;
// callers decide whether to go on. The try...() forms report nothing, for
// paths that must not open a window, such as painting.
class Database : public QObject
{
    Q_OBJECT
public:
    static QString databaseFileName() { return QStringLiteral("House.db"); }

    // Why a database could not be opened. ReadOnly covers the file, its
    // folder and SQLite's -wal and -shm files beside it; a file in a place the
    // program may not write is never taken for a damaged one.
    enum class OpenResult { Ok, Missing, NotADatabase, NotOurs, TooNew, ReadOnly, CannotCreate, Failed, FolderMissing };
    struct OpenStatus
    {
        OpenResult result = OpenResult::Failed;
        // Chinese, for the user, naming the file or folder; empty on success.
        // The engine's own words go to the log.
        QString message;
        bool ok() const { return result == OpenResult::Ok; }
    };

    explicit Database(QObject *parent = nullptr);
    ~Database() override;

    // Opens House.db in the folder. A missing file is created with the schema
    // and seed rows only when createIfMissing is set; it is built under a name
    // of its own and moved into place, so a failed creation leaves nothing
    // and two programs creating it at once end up sharing one file. A file
    // that is not ours or made by a newer program is left as it was.
    OpenStatus openDatabase(const QString &folder, bool createIfMissing);
    void closeDatabase();
    // Reopens the file last opened (after compacting or restoring it).
    bool reopenDatabase();
    bool isConnected() const { return m_connected; }
    QString databaseFile() const { return m_file; }
    QSqlDatabase database() const;
    const SqlDialect &dialect() const { return m_dialect; }

    // Runs a statement into a caller's query object; the rows are read with next().
    bool openQuery(const QString &sql, QSqlQuery &query, const SqlParams &params = {});
    bool openQuery(const SqlFragment &statement, QSqlQuery &query);
    bool execute(const QString &sql, const SqlParams &params = {});
    bool execute(const SqlFragment &statement);
    // Rows changed by the last execute(), or -1 when unknown.
    int rowsAffected() const { return m_rowsAffected; }
    // The table name comes from the program, never from the user.
    bool deleteById(const QString &table, qint64 id);
    QString queryText(const QString &sql, const SqlParams &params = {}, bool *ok = nullptr);
    QString queryText(const SqlFragment &statement, bool *ok = nullptr);
    qint64 queryInt(const QString &sql, const SqlParams &params = {}, bool *ok = nullptr);
    qint64 queryInt(const SqlFragment &statement, bool *ok = nullptr);
    // The first column of every row that is not blank. On failure the items
    // read so far stay.
    bool readList(const SqlFragment &statement, QStringList &items);
    bool readList(const QString &sql, QStringList &items) { return readList(SqlFragment(sql), items); }

    // Runs a statement without telling the user anything on failure;
    // *error receives the engine's text for the log.
    bool tryQuery(const SqlFragment &statement, QSqlQuery &query, QString *error = nullptr) const;

    // Transactions nest: the outermost begins and commits, inner ones are
    // savepoints. Every multi-row write runs inside one.
    bool beginTransaction();
    bool commitTransaction();
    bool rollbackTransaction();
    int transactionDepth() const { return m_txDepth; }

    // A Chinese explanation of a database error, for messages. The engine's
    // own text never reaches the user; it goes to the log.
    static QString explainError(const QSqlError &error);

    // Binds the values of a fragment or a parameter map to a prepared query.
    static void bind(QSqlQuery &query, const QVariantList &values);
    static void bind(QSqlQuery &query, const SqlParams &params);

signals:
    void connectionChanged(bool connected);

private:
    bool prepareAndExec(QSqlQuery &query, const QString &sql, const SqlParams &params);
    bool prepareAndExec(QSqlQuery &query, const SqlFragment &statement);
    // Runs a statement on the scratch query, reporting a failure with the message.
    template<typename Exec>
    bool run(QSqlQuery &query, const QString &failureMessage, const QString &sql, Exec exec);
    QVariant firstValue(const SqlFragment &statement, const SqlParams &params, bool named, bool *ok);
    void reportFailure(const QString &message, const QSqlQuery &query, const QString &sql);
    OpenStatus openFile(const QString &file);
    static OpenStatus createDatabase(const QString &file);
    static void refreshStatistics(QSqlDatabase db);

    QString m_connectionName;
    QString m_file;
    bool m_connected = false;
    int m_txDepth = 0;
    int m_rowsAffected = -1;
    SqlDialect m_dialect;
    QSqlQuery m_scratch;
};

} // namespace Quellon
