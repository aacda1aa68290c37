#include "PubUnit.h"

#include "SqlDialect.h"

namespace Quellon {

LoginState &currentLogin()
{
    static LoginState state;
    return state;
}

int LoginState::decimalPlaces(int row) const
{
    bool ok = false;
    const int places = setting(row).trimmed().toInt(&ok);
    return ok && places >= 0 && places <= 8 ? places : 2;
}

QString LoginState::scopeCondition(const QString &alias) const
{
    const QString column = alias.isEmpty() ? QStringLiteral("F_empName") : alias + QStringLiteral(".F_empName");
    if (scope == 1)
        return QStringLiteral("and (%1 = %2) ").arg(column, SqlDialect::quote(operatorName));
    if (scope == 2) {
        // The stored list is re-quoted name by name, so a quote inside a name
        // cannot end the literal early.
        const QStringList names = SqlDialect::parseQuotedList(salespersonList);
        if (names.isEmpty())
            return QStringLiteral("and (1<>1) ");
        return QStringLiteral("and (%1 in (%2)) ").arg(column, SqlDialect::quoteList(names));
    }
    return {};
}

QString LoginState::maskContact(const QString &salesperson, const QString &value) const
{
    if (!masked || salesperson.trimmed() == operatorName)
        return value;
    return value.isEmpty() ? QString() : QStringLiteral("********");
}

bool LoginState::mayChange(const QString &salesperson) const
{
    return isAdmin() || salesperson.trimmed() == operatorName;
}

} // namespace Quellon
