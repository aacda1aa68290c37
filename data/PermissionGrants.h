#pragma once

#include <QSet>
#include <QString>

namespace Quellon {

class Database;

// The permission keys granted to an operator (OperLimit joined to Limits),
// read with one query at each login.
class PermissionGrants
{
public:
    explicit PermissionGrants(Database &db) : m_db(db) {}

    // The keys ("101", "201", ...) granted to the operator; empty when none
    // are or the read failed (which is reported to the user).
    QSet<QString> grantedKeys(const QString &operatorName, bool *ok = nullptr);

private:
    Database &m_db;
};

} // namespace Quellon
