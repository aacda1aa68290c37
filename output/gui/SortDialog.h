#pragma once

#include "GridColumn.h"
#include "SortRows.h"

#include <QDialog>

class QTableWidget;

namespace Quellon {

class DataGrid;

// The sort dialog: the grid's columns in a list, each with a direction, moved
// up and down to set their priority.
class SortDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SortDialog(const GridColumns &columns, QWidget *parent = nullptr);

    // The sort text after OK, empty after Cancel.
    QString result() const { return m_result; }
    QTableWidget *list() const { return m_list; }

    // Opens the dialog for a grid and applies its answer: a new sort, or the
    // query's own order after Cancel or no direction at all.
    static void sortGrid(DataGrid &grid, QWidget *parent = nullptr);

private:
    void fill();
    void move(bool up);
    void setDirection(int row, SortRows::Direction d);

    SortRows m_rows;
    QTableWidget *m_list;
    QString m_result;
};

} // namespace Quellon
