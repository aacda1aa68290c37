#include "GridQuery.h"

#include <QRegularExpression>

namespace Quellon {

bool GridQuery::isIdentifier(const QString &name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*(\\.[A-Za-z_][A-Za-z0-9_]*)?$"));
    return re.match(name).hasMatch();
}

GridQuery::Sort GridQuery::parseSort(const QString &text)
{
    Sort sort;
    const QStringList parts = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QStringList words = part.simplified().split(QLatin1Char(' '));
        if (words.isEmpty() || !isIdentifier(words.first()))
            continue;
        SortKey key{words.first(), true};
        if (words.size() > 1)
            key.ascending = words.at(1).compare(QLatin1String("DESC"), Qt::CaseInsensitive) != 0;
        sort << key;
    }
    return sort;
}

QString GridQuery::sortText(const Sort &sort)
{
    QString text;
    for (const SortKey &k : sort)
        text += k.field.toLower() + (k.ascending ? QStringLiteral(" ASC,") : QStringLiteral(" DESC,"));
    return text;
}

SqlFragment GridQuery::from() const
{
    // A derived table lets any statement, joins included, be ordered, counted
    // and summed alike; SQLite folds it back into the statement, so the
    // statement's indexes still serve.
    return SqlFragment(QStringLiteral(" from (")) + m_statement + SqlFragment(QStringLiteral(") q"));
}

QString GridQuery::orderBy() const
{
    QStringList terms;
    for (const SortKey &k : m_sort) {
        if (isIdentifier(k.field))
            terms << QStringLiteral("q.") + k.field.section(QLatin1Char('.'), -1) + (k.ascending ? QString() : QStringLiteral(" desc"));
    }
    if (terms.isEmpty() && !m_defaultOrder.trimmed().isEmpty())
        terms << m_defaultOrder;
    // Rows that compare equal keep one order from run to run. The key runs in
    // the direction of the last term, so an index on that term still serves
    // a descending order, read backwards.
    const bool descending = !terms.isEmpty() && terms.constLast().trimmed().endsWith(QLatin1String(" desc"), Qt::CaseInsensitive);
    terms << QStringLiteral("q.") + m_key + (descending ? QStringLiteral(" desc") : QString());
    return QStringLiteral(" order by ") + terms.join(QStringLiteral(", "));
}

SqlFragment GridQuery::keysSql() const
{
    return SqlFragment(QStringLiteral("select q.") + m_key) + from() + SqlFragment(orderBy());
}

SqlFragment GridQuery::rowsSql(const QList<qint64> &keys) const
{
    QVariantList values;
    values.reserve(keys.size());
    for (qint64 k : keys)
        values << k;
    if (!m_rowTable.isEmpty())
        return SqlFragment(QStringLiteral("select * from ") + m_rowTable + QStringLiteral(" where "))
               + SqlFragment::in(m_key.section(QLatin1Char('.'), -1), values);
    return SqlFragment(QStringLiteral("select *")) + from() + SqlFragment(QStringLiteral(" where "))
           + SqlFragment::in(QStringLiteral("q.") + m_key, values);
}

SqlFragment GridQuery::sumsSql(const QStringList &fields) const
{
    QStringList sums;
    for (const QString &f : fields)
        sums << (isIdentifier(f) ? QStringLiteral("sum(q.%1)").arg(f.section(QLatin1Char('.'), -1)) : QStringLiteral("null"));
    return SqlFragment(QStringLiteral("select ") + sums.join(QStringLiteral(", "))) + from();
}

SqlFragment GridQuery::searchSql(const SqlFragment &condition) const
{
    return SqlFragment(QStringLiteral("select q.") + m_key) + from() + SqlFragment::where(condition)
           + SqlFragment(orderBy() + QStringLiteral(" limit 1"));
}

} // namespace Quellon
