#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "SqlFragment.h"

namespace Quellon {

// The SQL text the program writes must run on SQLite (the embedded default) and
// on PostgreSQL (offices sharing one database). Everything that differs between
// the two goes through here. Values never become SQL text: helpers that take
// one return a fragment that binds it.
class SqlDialect
{
public:
    enum Engine { SQLite, PostgreSQL };

    explicit SqlDialect(Engine engine = SQLite) : m_engine(engine) {}
    Engine engine() const { return m_engine; }

    // Values to bind for date columns, in their stored form: ISO text on
    // SQLite, so that comparing and sorting the text compares the dates.
    static QVariant dateValue(const QDate &date);
    static QVariant dateTimeValue(const QDateTime &moment);

    QString boolLiteral(bool value) const;

    // "expr LIKE pattern" without regard to letter case on both engines; the
    // pattern is bound, and "%" and "_" in it keep their wildcard meaning.
    SqlFragment like(const QString &expr, const QString &pattern) const;
    // "expr contains value" and "expr starts with value", with %, _ and \ in
    // the value taken literally (an explicit escape character, so paths with
    // backslashes match alike on both engines).
    SqlFragment contains(const QString &expr, const QString &value) const;
    SqlFragment startsWith(const QString &expr, const QString &value) const;
    // The same for what a user typed into a search: "%" and "_" keep the
    // wildcard meaning he may know them by, while a backslash is data like
    // any other letter, so that it cannot quote the "%" we add after it.
    SqlFragment containsTyped(const QString &expr, const QString &typed) const;
    SqlFragment startsWithTyped(const QString &expr, const QString &typed) const;

    // Statements that set up every new connection to the database: WAL so that
    // readers never block the writer and a crash mid-write leaves the file
    // intact, full syncs, and reads through a memory map (whole-list scans
    // such as sums and sorts by unindexed columns take half the time).
    QStringList connectionSetup() const;

    // Opens a write transaction. On SQLite it takes the write lock at once, so
    // a transaction that reads before it writes cannot fail half-way against a
    // second copy of the program.
    QString beginWriteTransaction() const;

    QString concat(const QStringList &parts) const;
    QString length(const QString &expr) const;
    QString right(const QString &expr, int count) const;

    // The unset-date sentinel and the display rule for it.
    static QDate emptyDate() { return QDate(1900, 8, 14); }
    static QString emptyDateText() { return QStringLiteral("1900-08-14"); }
    static bool displaysAsEmpty(const QDate &date);
    static QString displayDate(const QVariant &stored);

private:
    static QString escapeLike(const QString &value);
    static QString escapeEscape(const QString &typed);

    Engine m_engine;
};

} // namespace Quellon
