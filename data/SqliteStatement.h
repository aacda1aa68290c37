#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <QtGlobal>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace Quellon {

// A prepared statement on the engine's own interface, for the bulk paths where
// the Qt driver's per-value conversions cost more than the engine's work.
// Parameters are bound in order and the statement is reused row after row.
class SqliteStatement
{
public:
    SqliteStatement() = default;
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    // The engine handle under a connection of the QSQLITE driver, or null for
    // any other driver or a closed connection.
    static sqlite3 *handleOf(const QSqlDatabase &db);

    bool prepare(sqlite3 *db, std::string_view sql);

    // The next parameter. The engine keeps its own copy of the text.
    SqliteStatement &text(std::string_view value);
    SqliteStatement &integer(qint64 value);
    SqliteStatement &real(double value);
    SqliteStatement &null();
    // The next parameters from Qt values: whole numbers, reals, null and
    // anything else as text.
    SqliteStatement &values(const QVariantList &values);

    // Runs a statement that yields no rows with every parameter bound, and
    // readies it for the next set of values.
    bool exec();
    // Steps a query: true while a row is there.
    bool next();
    qint64 columnInt(int column) const;
    std::string_view columnText(int column) const;
    // Readies a query to run again after its rows were read.
    void reset();

    // The engine's explanation of the last failure, with the statement.
    QString errorText() const { return m_error; }

private:
    bool fail(std::string_view sql);

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    int m_bound = 0;
    QString m_error;
};

} // namespace Quellon
