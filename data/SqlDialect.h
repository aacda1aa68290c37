#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace Quellon {

// The SQL text the program writes must run on SQLite (the embedded default) and
// on PostgreSQL (offices sharing one database). Everything that differs between
// the two, and every typed value that ends up inside SQL text, goes through here.
class SqlDialect
{
public:
    enum Engine { SQLite, PostgreSQL };

    explicit SqlDialect(Engine engine = SQLite) : m_engine(engine) {}
    Engine engine() const { return m_engine; }

    // A text value as a literal: 'O''Brien'. The one place where typed text is
    // put into SQL; a null string becomes ''.
    static QString quote(const QString &value);
    // Several values for an "in (...)" list: 'A','B'. An empty list gives ''
    // so that "in ('')" stays valid SQL and matches nothing useful.
    static QString quoteList(const QStringList &values);
    // Parses a stored list of single-quoted names ('A','B') back into names.
    // Doubled quotes inside a name are undone; text outside quotes is ignored.
    static QStringList parseQuotedList(const QString &stored);

    // Date and date-time literals. Dates are stored as ISO text on SQLite so
    // that comparing and sorting the text compares the dates.
    QString dateLiteral(const QDate &date) const;
    QString dateTimeLiteral(const QDateTime &moment) const;
    // Values to bind for date columns, in the same stored form.
    static QVariant dateValue(const QDate &date);
    static QVariant dateTimeValue(const QDateTime &moment);

    QString boolLiteral(bool value) const;

    // "expr LIKE pattern" matching without regard to letter case on both engines.
    QString like(const QString &expr, const QString &patternLiteral) const;
    // A LIKE test for "contains value", with % and _ in the value taken literally.
    QString likeContains(const QString &expr, const QString &value) const;
    // A LIKE test for "starts with value" (tree paths), % and _ taken literally.
    QString likeStartsWith(const QString &expr, const QString &value) const;

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

    Engine m_engine;
};

} // namespace Quellon
