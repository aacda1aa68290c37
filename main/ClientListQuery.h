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

// What the client page lists for the operator logged in: live clients within
// his data scope, in the order they were entered, narrowed by the page's
// search state.
class ClientListQuery
{
public:
    static QString table() { return QStringLiteral("Client"); }

    static GridQuery query(const ListSearch &search, const LoginSession &session, const SqlDialect &dialect);
    static SqlFragment filter(const ListSearch &search, const LoginSession &session, const SqlDialect &dialect);

    // The search-field drop-down: every field, and the indexes of those this
    // operator is offered, in order.
    static const QList<SearchField> &searchFields();
    static QList<int> offeredFields(const LoginSession &session);

    // The contact columns hidden from an operator whose session is masked,
    // on clients of other salespersons.
    static QStringList maskedFields();

    // The client as the page's summary shows it, from a row keyed by column name.
    static QString summaryText(const QVariantMap &client);
};

} // namespace Quellon
