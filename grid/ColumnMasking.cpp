#include "ColumnMasking.h"

namespace Quellon {

namespace {
QString columnName(const QString &field)
{
    return field.section(QLatin1Char('.'), -1).trimmed();
}
} // namespace

bool ColumnMasking::masksField(const QString &field) const
{
    if (!enabled)
        return false;
    const QString column = columnName(field);
    for (const QString &masked : maskedFields) {
        if (!column.isEmpty() && columnName(masked).compare(column, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool ColumnMasking::isOwnRow(const QVariant &salesperson) const
{
    // Without a name to compare with, no row can be told to be his: hiding
    // too much is the mistake that does no harm.
    const QString name = operatorName.trimmed();
    return salesperson.isValid() && !name.isEmpty() && salesperson.toString().trimmed() == name;
}

QVariant ColumnMasking::shown(const QVariant &salesperson, const QVariant &stored) const
{
    if (!enabled || isOwnRow(salesperson))
        return stored;
    if (stored.isNull() || stored.toString().isEmpty())
        return QString();
    return mask();
}

} // namespace Quellon
