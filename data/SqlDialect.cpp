#include "SqlDialect.h"

namespace Quellon {

QString SqlDialect::quote(const QString &value)
{
    QString out;
    out.reserve(value.size() + 2);
    out += QLatin1Char('\'');
    for (const QChar c : value) {
        if (c == QLatin1Char('\''))
            out += QLatin1Char('\'');
        // A NUL would end the statement early in the C interfaces below us.
        if (c == QChar(0))
            continue;
        out += c;
    }
    out += QLatin1Char('\'');
    return out;
}

QString SqlDialect::quoteList(const QStringList &values)
{
    if (values.isEmpty())
        return QStringLiteral("''");
    QStringList quoted;
    quoted.reserve(values.size());
    for (const QString &v : values)
        quoted << quote(v);
    return quoted.join(QLatin1Char(','));
}

QStringList SqlDialect::parseQuotedList(const QString &stored)
{
    QStringList names;
    QString current;
    bool inside = false;
    for (int i = 0; i < stored.size(); ++i) {
        const QChar c = stored.at(i);
        if (!inside) {
            if (c == QLatin1Char('\'')) {
                inside = true;
                current.clear();
            }
            continue;
        }
        if (c == QLatin1Char('\'')) {
            if (i + 1 < stored.size() && stored.at(i + 1) == QLatin1Char('\'')) {
                current += c;
                ++i;
            } else {
                inside = false;
                names << current;
            }
        } else {
            current += c;
        }
    }
    return names;
}

QString SqlDialect::dateLiteral(const QDate &date) const
{
    const QString text = quote(date.toString(QStringLiteral("yyyy-MM-dd")));
    return m_engine == PostgreSQL ? QStringLiteral("DATE ") + text : text;
}

QString SqlDialect::dateTimeLiteral(const QDateTime &moment) const
{
    const QString text = quote(moment.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    return m_engine == PostgreSQL ? QStringLiteral("TIMESTAMP ") + text : text;
}

QVariant SqlDialect::dateValue(const QDate &date)
{
    if (!date.isValid())
        return QVariant(QMetaType(QMetaType::QString));
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QVariant SqlDialect::dateTimeValue(const QDateTime &moment)
{
    if (!moment.isValid())
        return QVariant(QMetaType(QMetaType::QString));
    return moment.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QString SqlDialect::boolLiteral(bool value) const
{
    // SQLite (3.23+) and PostgreSQL both read the keywords.
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

QString SqlDialect::like(const QString &expr, const QString &patternLiteral) const
{
    if (m_engine == PostgreSQL)
        return expr + QStringLiteral(" ILIKE ") + patternLiteral + QStringLiteral(" ESCAPE '\\'");
    return expr + QStringLiteral(" LIKE ") + patternLiteral + QStringLiteral(" ESCAPE '\\'");
}

QString SqlDialect::escapeLike(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

QString SqlDialect::likeContains(const QString &expr, const QString &value) const
{
    return like(expr, quote(QLatin1Char('%') + escapeLike(value) + QLatin1Char('%')));
}

QString SqlDialect::likeStartsWith(const QString &expr, const QString &value) const
{
    return like(expr, quote(escapeLike(value) + QLatin1Char('%')));
}

QStringList SqlDialect::connectionSetup() const
{
    if (m_engine == PostgreSQL)
        return {};
    return {QStringLiteral("PRAGMA journal_mode=WAL"), QStringLiteral("PRAGMA synchronous=FULL"),
            QStringLiteral("PRAGMA mmap_size=1073741824")};
}

QString SqlDialect::beginWriteTransaction() const
{
    return m_engine == PostgreSQL ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE");
}

QString SqlDialect::concat(const QStringList &parts) const
{
    // "||" on both; Jet's "+" would be numeric addition here.
    return QLatin1Char('(') + parts.join(QStringLiteral(" || ")) + QLatin1Char(')');
}

QString SqlDialect::length(const QString &expr) const
{
    return QStringLiteral("length(") + expr + QLatin1Char(')');
}

QString SqlDialect::right(const QString &expr, int count) const
{
    if (m_engine == PostgreSQL)
        return QStringLiteral("right(%1, %2)").arg(expr).arg(count);
    return QStringLiteral("substr(%1, -%2)").arg(expr).arg(count);
}

bool SqlDialect::displaysAsEmpty(const QDate &date)
{
    return !date.isValid() || date < QDate(1901, 8, 14);
}

QString SqlDialect::displayDate(const QVariant &stored)
{
    if (stored.isNull())
        return {};
    QDate date = stored.toDate();
    if (!date.isValid())
        date = QDate::fromString(stored.toString().left(10), QStringLiteral("yyyy-MM-dd"));
    return displaysAsEmpty(date) ? QString() : date.toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace Quellon
