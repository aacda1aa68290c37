#pragma once

#include "GridColumn.h"

#include <QList>
#include <QString>

namespace Quellon {

// The rows of the sort dialog: one per grid column, each with a direction,
// in the order of priority the user arranges.
class SortRows
{
public:
    enum Direction { None = 0, Ascending = 1, Descending = 2 };
    struct Row
    {
        QString caption;
        Direction direction = None;
    };

    explicit SortRows(const GridColumns &columns);

    const QList<Row> &rows() const { return m_rows; }
    static QString directionText(Direction d);

    void setDirection(int row, Direction d);
    // Empty, then ascending, then descending, then empty again.
    void cycle(int row);
    // Moves a row one place; returns its new position (unchanged at the ends).
    int moveUp(int row);
    int moveDown(int row);

    // "f_code ASC,f_editdate DESC," for the rows with a direction, top first.
    // A caption shared by two columns stands for the first of them.
    QString result() const;

private:
    QList<Row> m_rows;
    QList<QPair<QString, QString>> m_fields; // caption -> lower-case field, in column order
};

} // namespace Quellon
