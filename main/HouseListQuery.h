#pragma once

#include "GridQuery.h"
#include "ListSearch.h"
#include "SearchField.h"

#include <QList>
#include <QStringList>
#include <QVariantMap>

namespace Quellon {

struct LoginSession;
class SqlDialect;

// What the house page lists for the operator logged in: live houses within
// his data scope, in code order, narrowed by the page's search state.
class HouseListQuery
{
public:
    static QString table() { return QStringLiteral("House"); }

    static GridQuery forSession(const LoginSession &session);
    static GridQuery query(const ListSearch &search, const LoginSession &session, const SqlDialect &dialect);
    static SqlFragment filter(const ListSearch &search, const LoginSession &session, const SqlDialect &dialect);

    // The search-field drop-down: every field, and the indexes of those this
    // operator is offered, in order.
    static const QList<SearchField> &searchFields();
    static QList<int> offeredFields(const LoginSession &session);

    // The contact columns hidden from an operator whose session is masked,
    // on houses of other salespersons.
    static QStringList maskedFields();

    // The house as the page's summary shows it, from a row keyed by column name.
    static QString summaryText(const QVariantMap &house);
};

} // namespace Quellon
