#include "ListFilter.h"

#include "LoginSession.h"
#include "SqlDialect.h"
#include "TreePath.h"

namespace Quellon {

ListFilter::ListFilter(const QList<SearchField> &fields, const Columns &columns)
    : m_fields(fields)
    , m_columns(columns)
{
}

QList<int> ListFilter::offeredFields(const LoginSession &session) const
{
    QList<int> offered;
    for (int i = 0; i < m_fields.size(); ++i) {
        if (!m_fields.at(i).maskedOnly || session.masked)
            offered << i;
    }
    return offered;
}

SqlFragment ListFilter::filter(const ListSearch &search, const LoginSession &session, const SqlDialect &dialect) const
{
    return live() && session.scopeFilter() && fieldClause(search, session, dialect) && treeClause(search.treePath, dialect)
           && transactionClause(search.transaction, dialect);
}

SqlFragment ListFilter::fieldClause(const ListSearch &search, const LoginSession &session, const SqlDialect &dialect) const
{
    // A field the page does not offer this operator may still be selected in
    // a search state kept from an earlier login; it must not search.
    if (!offeredFields(session).contains(search.field))
        return {};
    const SearchField &field = m_fields.at(search.field);
    const QString typed = (field.takesValue() ? search.value : search.text).trimmed();
    // Nothing typed lists everything, records that leave the column empty
    // (NULL) included, which a "%" pattern would drop.
    if (typed.isEmpty())
        return {};
    return field.match == SearchField::StartsWith ? dialect.startsWithTyped(field.column, typed)
                                                  : dialect.containsTyped(field.column, typed);
}

SqlFragment ListFilter::treeClause(const QString &path, const SqlDialect &dialect) const
{
    if (path.isEmpty() || path == TreePath::rootPath())
        return {};
    // Node names may hold "%", "_" or quotes; the path is matched as stored.
    // The node itself and what lies below it: a sibling whose name merely
    // begins with the node's name (杭州 and 杭州湾) is not below it.
    return SqlFragment::equals(m_columns.tree, path)
           || dialect.startsWith(m_columns.tree, path + TreePath::separator());
}

SqlFragment ListFilter::transactionClause(int transaction, const SqlDialect &dialect) const
{
    switch (transaction) {
    case ListSearch::Rent:
        return dialect.contains(m_columns.transaction, m_columns.rentWord);
    case ListSearch::Sale:
        return dialect.contains(m_columns.transaction, m_columns.saleWord);
    default:
        return {};
    }
}

} // namespace Quellon
