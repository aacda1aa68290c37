#include "PermissionGrants.h"

#include "Database.h"

namespace Quellon {

QSet<QString> PermissionGrants::grantedKeys(const QString &operatorName, bool *ok)
{
    QSet<QString> keys;
    QStringList codes;
    const bool read = m_db.readList(SqlFragment(QStringLiteral("select L.F_code from OperLimit O join Limits L on O.F_lmtName = L.F_name "
                                                               "where O.F_OperName = ?"),
                                                {operatorName}),
                                    codes);
    for (const QString &code : std::as_const(codes))
        keys.insert(code.trimmed());
    if (ok)
        *ok = read;
    return keys;
}

} // namespace Quellon
