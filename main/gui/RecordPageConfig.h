#pragma once

#include "GridQuery.h"
#include "ListSearch.h"
#include "RecordActions.h"
#include "SearchField.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace Quellon {

class SqlDialect;
struct LoginSession;

// What makes the house page and the client page differ: their table, tree,
// search fields, filters, detail tabs and texts. The page itself is one class.
struct RecordPageConfig
{
    struct Field
    {
        QString caption;
        QString column;
        bool multiLine = false;
    };
    struct DetailTab
    {
        QString entry;          // caption in the detail list
        QList<Field> fields;    // a tab of fields of the current record ...
        QString gridLayout;     // ... or a grid of its detail records
        std::function<GridQuery(qint64 mainId)> gridQuery;
        bool multiSelect = false;
        // Contact columns of the detail rows, hidden by each row's salesperson.
        QStringList maskedFields;
        bool hidesEditAction = false; // the detail edit command does not apply here
    };

    QString kind;              // "house" or "client": object names of the page's controls
    QString table;             // House or Client
    QString treeFlag;          // t_treecode.F_flag
    QString treeRootCaption;
    QStringList transactionCaptions; // the radio group: all, rent, sale
    QString gridLayout;        // cfg_grid name of the main grid
    QString countText;         // with %1 for the number of rows
    QString nameColumn;        // shown in the delete question
    RecordActions::Kind actions = RecordActions::Houses;
    QList<DetailTab> detailTabs;

    std::function<const QList<SearchField> &()> searchFields;
    std::function<QList<int>(const LoginSession &)> offeredFields;
    std::function<GridQuery(const ListSearch &, const LoginSession &, const SqlDialect &)> listQuery;
    std::function<QStringList()> maskedFields;

    static RecordPageConfig houses();
    static RecordPageConfig clients();
};

} // namespace Quellon
