#include "LoginSession.h"

namespace Quellon {

int LoginSession::decimalPlaces(int row) const
{
    bool ok = false;
    const int places = setting(row).trimmed().toInt(&ok);
    return ok && places >= 0 && places <= 8 ? places : 2;
}

SqlFragment LoginSession::scopeFilter(const QString &alias) const
{
    const QString column = alias.isEmpty() ? QStringLiteral("F_empName") : alias + QStringLiteral(".F_empName");
    if (scope == OwnRecords)
        return SqlFragment::equals(column, operatorName);
    if (scope == ListedSalespersons)
        return SqlFragment::in(column, salespersons); // an empty list sees nothing
    return {};
}

QString LoginSession::maskContact(const QString &salesperson, const QString &value) const
{
    if (!masked || salesperson.trimmed() == operatorName)
        return value;
    return value.isEmpty() ? QString() : QStringLiteral("********");
}

bool LoginSession::mayChange(const QString &salesperson) const
{
    return isAdmin() || salesperson.trimmed() == operatorName;
}

} // namespace Quellon
