#pragma once

#include <QDialog>

class QListWidget;

namespace Quellon {

class DataGrid;

// The field chooser: the grid's columns as a check list, ticked when shown.
class ColumnChooserDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ColumnChooserDialog(DataGrid &grid, QWidget *parent = nullptr);

    QListWidget *list() const { return m_list; }

    // Shows the chooser for a grid; on OK shows and hides its columns.
    static void chooseFields(DataGrid &grid, QWidget *parent = nullptr);

private:
    void apply();

    DataGrid &m_grid;
    QListWidget *m_list;
};

} // namespace Quellon
