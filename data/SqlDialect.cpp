#include "SqlDialect.h"

namespace Quellon {

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

SqlFragment SqlDialect::like(const QString &expr, const QString &pattern) const
{
    // On SQLite the pattern goes in as "+?": a bare parameter on the right of
    // LIKE makes the engine prepare the statement again once the value is
    // bound, in case the pattern lets an index serve; with the default
    // case-insensitive LIKE on our columns none can, so that second prepare
    // would only cost time on every typed search. "+" leaves a text as it is.
    const QString op = m_engine == PostgreSQL ? QStringLiteral(" ILIKE ? ESCAPE '\\'") : QStringLiteral(" LIKE +? ESCAPE '\\'");
    return SqlFragment(expr + op, {pattern});
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

SqlFragment SqlDialect::contains(const QString &expr, const QString &value) const
{
    return like(expr, QLatin1Char('%') + escapeLike(value) + QLatin1Char('%'));
}

SqlFragment SqlDialect::startsWith(const QString &expr, const QString &value) const
{
    return like(expr, escapeLike(value) + QLatin1Char('%'));
}

QString SqlDialect::escapeEscape(const QString &typed)
{
    QString out = typed;
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return out;
}

SqlFragment SqlDialect::containsTyped(const QString &expr, const QString &typed) const
{
    return like(expr, QLatin1Char('%') + escapeEscape(typed) + QLatin1Char('%'));
}

SqlFragment SqlDialect::startsWithTyped(const QString &expr, const QString &typed) const
{
    return like(expr, escapeEscape(typed) + QLatin1Char('%'));
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
