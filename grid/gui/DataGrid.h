#pragma once

#include "GridColumn.h"
#include "GridQuery.h"

#include <QTimer>
#include <QWidget>

class QTableView;

namespace Quellon {

class GridFooter;
class GridModel;
class Database;

// The data grid of every list: a table view over a GridModel with one footer
// row, a sort marker set by clicks on the column titles, incremental search by
// typing, whole-row (optionally multi-row) selection and copying rows as
// shown. The current row is kept, by its key, when the list is run again.
class DataGrid : public QWidget
{
    Q_OBJECT
public:
    explicit DataGrid(Database &dm, QWidget *parent = nullptr);

    GridModel *model() const { return m_model; }
    QTableView *view() const { return m_view; }

    // Replaces the columns: their order, widths, visibility and formats.
    void setColumns(const GridColumns &columns);
    // The columns as the user arranged them: in screen order, with their
    // present widths and visibility.
    GridColumns columns() const;
    void setColumnVisible(int column, bool visible);

    bool setQuery(const GridQuery &query);
    // Runs a query without waiting for it (see GridModel::requestQuery()):
    // the rows listed so far stay until its keys are in.
    void requestQuery(const GridQuery &query);
    bool refresh();

    // Clicking a title sorts by that column, ascending then descending.
    void setTitleClickSort(bool enabled) { m_titleSort = enabled; }
    void setMultiSelect(bool enabled);

    // The sort dialog's text ("f_code ASC,f_editdate DESC,"); empty text
    // returns to the query's own order. The title markers stay as they are.
    bool setSortText(const QString &text);
    // The column showing the sort marker, or -1; and its direction.
    int sortMarkerColumn() const { return m_markerColumn; }
    bool sortMarkerAscending() const { return m_markerAscending; }

    int currentRow() const;
    qint64 currentKey() const;
    bool setCurrentKey(qint64 key);
    QList<qint64> selectedKeys() const;

    // The selected rows' visible cells as shown (a masked cell as its mask),
    // in screen order: cells apart by tabs, rows by line breaks. Ctrl+C puts
    // it on the clipboard.
    QString selectedText() const;
    void copySelection() const;

    QString searchText() const { return m_search; }

signals:
    void currentKeyChanged(qint64 key);
    // Double-click or Enter on a row.
    void rowActivated(qint64 key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void titleClicked(int column);
    void search(const QString &text);
    void restoreCurrent();

    GridModel *m_model;
    QTableView *m_view;
    GridFooter *m_footer;
    bool m_titleSort = false;
    int m_markerColumn = -1;
    bool m_markerAscending = true;
    qint64 m_keptKey = -1;
    int m_keptColumn = 0;
    QString m_search;
    QTimer m_searchPause;
};

} // namespace Quellon
