#include "SqlFragment.h"

namespace Quellon {

SqlFragment SqlFragment::equals(const QString &column, const QVariant &value)
{
    return SqlFragment(column + QStringLiteral(" = ?"), {value});
}

SqlFragment SqlFragment::in(const QString &column, const QVariantList &values)
{
    if (values.isEmpty())
        return never();
    QString marks;
    marks.reserve(values.size() * 2);
    for (int i = 0; i < values.size(); ++i)
        marks += i == 0 ? QStringLiteral("?") : QStringLiteral(",?");
    return SqlFragment(column + QStringLiteral(" in (") + marks + QLatin1Char(')'), values);
}

SqlFragment SqlFragment::in(const QString &column, const QStringList &values)
{
    QVariantList list;
    list.reserve(values.size());
    for (const QString &v : values)
        list << v;
    return in(column, list);
}

SqlFragment SqlFragment::operator&&(const SqlFragment &other) const
{
    if (other.isEmpty())
        return *this;
    if (isEmpty())
        return other;
    return SqlFragment(QLatin1Char('(') + m_sql + QStringLiteral(") and (") + other.m_sql + QLatin1Char(')'),
                       m_values + other.m_values);
}

SqlFragment SqlFragment::operator||(const SqlFragment &other) const
{
    if (other.isEmpty())
        return *this;
    if (isEmpty())
        return other;
    return SqlFragment(QLatin1Char('(') + m_sql + QStringLiteral(") or (") + other.m_sql + QLatin1Char(')'),
                       m_values + other.m_values);
}

SqlFragment &SqlFragment::operator+=(const SqlFragment &other)
{
    m_sql += other.m_sql;
    m_values += other.m_values;
    return *this;
}

SqlFragment SqlFragment::where(const SqlFragment &condition)
{
    if (condition.isEmpty())
        return {};
    return SqlFragment(QStringLiteral(" where (") + condition.m_sql + QLatin1Char(')'), condition.m_values);
}

} // namespace Quellon
