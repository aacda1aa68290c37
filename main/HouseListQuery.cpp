#include "HouseListQuery.h"

#include "LoginSession.h"

namespace Quellon {

GridQuery HouseListQuery::forSession(const LoginSession &session)
{
    const SqlFragment live(QStringLiteral("F_flag=0"));
    GridQuery query(SqlFragment(QStringLiteral("select * from House")) + SqlFragment::where(live && session.scopeFilter()),
                    QStringLiteral("F_code"));
    query.setRowTable(QStringLiteral("House"));
    return query;
}

} // namespace Quellon
