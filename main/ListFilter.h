#pragma once

#include "ListSearch.h"
#include "SearchField.h"
#include "SqlFragment.h"

#include <QList>
#include <QString>

namespace Quellon {

struct LoginSession;
class SqlDialect;

// The WHERE of a house or client page: live records within the operator's
// data scope, narrowed by the search bar, the tree and the transaction radio
// buttons. The two pages differ only in their fields and columns.
class ListFilter
{
public:
    struct Columns
    {
        QString tree;         // holds the tree node's path
        QString transaction;  // holds the kind of transaction wanted
        QString rentWord;     // what a record to rent holds in it
        QString saleWord;     // what a record for sale holds in it
    };

    ListFilter(const QList<SearchField> &fields, const Columns &columns);

    const QList<SearchField> &fields() const { return m_fields; }
    QList<int> offeredFields(const LoginSession &session) const;
    SqlFragment filter(const ListSearch &search, const LoginSession &session, const SqlDialect &dialect) const;

    // Records not in the recycle bin.
    static SqlFragment live() { return SqlFragment(QStringLiteral("F_flag=0")); }

private:
    SqlFragment fieldClause(const ListSearch &search, const LoginSession &session, const SqlDialect &dialect) const;
    SqlFragment treeClause(const QString &path, const SqlDialect &dialect) const;
    SqlFragment transactionClause(int transaction, const SqlDialect &dialect) const;

    QList<SearchField> m_fields;
    Columns m_columns;
};

} // namespace Quellon
