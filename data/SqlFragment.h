#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

namespace Quellon {

// A piece of SQL with "?" placeholders and the values they stand for, in
// order. Conditions, searches and whole statements are built from these, so
// typed text only ever reaches the database as a bound value: a quote, a
// percent sign or "' or 1=1 --" is data, never SQL. The text itself comes
// from the program (column names from fixed lists, keywords), never from the
// user.
class SqlFragment
{
public:
    SqlFragment() = default;
    explicit SqlFragment(const QString &sql, const QVariantList &values = {}) : m_sql(sql), m_values(values) {}

    const QString &sql() const { return m_sql; }
    const QVariantList &values() const { return m_values; }
    bool isEmpty() const { return m_sql.trimmed().isEmpty(); }

    // "column = ?"
    static SqlFragment equals(const QString &column, const QVariant &value);
    // "column in (?, ?, ...)"; an empty list matches nothing.
    static SqlFragment in(const QString &column, const QVariantList &values);
    static SqlFragment in(const QString &column, const QStringList &values);
    // A condition no row meets.
    static SqlFragment never() { return SqlFragment(QStringLiteral("1<>1")); }

    // Both conditions, each in parentheses; an empty side drops out.
    SqlFragment operator&&(const SqlFragment &other) const;
    SqlFragment &operator&=(const SqlFragment &other) { return *this = *this && other; }
    // Either condition; an empty side drops out (an empty condition is no
    // condition, so it cannot widen the other).
    SqlFragment operator||(const SqlFragment &other) const;

    // Text and values one after the other, as parts of one statement.
    SqlFragment &operator+=(const SqlFragment &other);
    friend SqlFragment operator+(SqlFragment left, const SqlFragment &right) { return left += right; }
    SqlFragment &append(const QString &sql) { m_sql += sql; return *this; }

    // " where (condition)", or nothing for an empty condition.
    static SqlFragment where(const SqlFragment &condition);

private:
    QString m_sql;
    QVariantList m_values;
};

} // namespace Quellon
