#pragma once

#include "SqlFragment.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Quellon {

// What a grid lists: a statement without ORDER BY, the order it comes in by
// itself, the column that tells rows apart, and the user's sort. From these
// come every statement the grid runs, so the keys, the rows, the sums and the
// search always share one WHERE.
class GridQuery
{
public:
    struct SortKey
    {
        QString field;
        bool ascending = true;
        bool operator==(const SortKey &o) const { return field == o.field && ascending == o.ascending; }
    };
    using Sort = QList<SortKey>;

    GridQuery() = default;
    // The statement binds its values; defaultOrder and keyField are column
    // names of the program's own.
    GridQuery(const SqlFragment &statement, const QString &defaultOrder, const QString &keyField = QStringLiteral("F_ID"))
        : m_statement(statement), m_defaultOrder(defaultOrder), m_key(keyField)
    {
    }

    // For a statement of the form "select * from T where ...": rows are then
    // read straight from T by key, one lookup each, whatever indexes the
    // statement's own filter might tempt the planner with.
    void setRowTable(const QString &table) { m_rowTable = isIdentifier(table) ? table : QString(); }
    QString rowTable() const { return m_rowTable; }

    bool isEmpty() const { return m_statement.isEmpty(); }
    const SqlFragment &statement() const { return m_statement; }
    QString defaultOrder() const { return m_defaultOrder; }
    QString keyField() const { return m_key; }
    const Sort &sort() const { return m_sort; }
    void setSort(const Sort &sort) { m_sort = sort; }

    // The sort dialog's text form: "f_code ASC,f_editdate DESC," (trailing
    // comma optional). Anything that is not a plain column name is dropped.
    static Sort parseSort(const QString &text);
    static QString sortText(const Sort &sort);
    static bool isIdentifier(const QString &name);

    // Every key in list order.
    SqlFragment keysSql() const;
    // The rows of some keys, in no particular order.
    SqlFragment rowsSql(const QList<qint64> &keys) const;
    // The sums of some columns over every row of the list, in one row.
    SqlFragment sumsSql(const QStringList &fields) const;
    // The first key, in list order, that meets a condition on the columns
    // of the list (named "q.column").
    SqlFragment searchSql(const SqlFragment &condition) const;

private:
    SqlFragment from() const;
    QString orderBy() const;

    SqlFragment m_statement;
    QString m_defaultOrder;
    QString m_key = QStringLiteral("F_ID");
    QString m_rowTable;
    Sort m_sort;
};

} // namespace Quellon
