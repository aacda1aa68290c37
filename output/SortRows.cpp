#include "SortRows.h"

namespace Quellon {

SortRows::SortRows(const GridColumns &columns)
{
    for (const GridColumn &c : columns) {
        m_rows << Row{c.caption, None};
        m_fields << qMakePair(c.caption, c.field.toLower());
    }
}

QString SortRows::directionText(Direction d)
{
    switch (d) {
    case Ascending:
        return QStringLiteral("升序");
    case Descending:
        return QStringLiteral("降序");
    default:
        return {};
    }
}

void SortRows::setDirection(int row, Direction d)
{
    if (row >= 0 && row < m_rows.size())
        m_rows[row].direction = d;
}

void SortRows::cycle(int row)
{
    if (row >= 0 && row < m_rows.size())
        m_rows[row].direction = Direction((m_rows.at(row).direction + 1) % 3);
}

int SortRows::moveUp(int row)
{
    if (row <= 0 || row >= m_rows.size())
        return row;
    m_rows.swapItemsAt(row, row - 1);
    return row - 1;
}

int SortRows::moveDown(int row)
{
    if (row < 0 || row >= m_rows.size() - 1)
        return row;
    m_rows.swapItemsAt(row, row + 1);
    return row + 1;
}

QString SortRows::result() const
{
    QString text;
    for (const Row &row : m_rows) {
        if (row.direction == None)
            continue;
        for (const auto &field : m_fields) {
            if (field.first == row.caption) {
                text += field.second + (row.direction == Ascending ? QStringLiteral(" ASC,") : QStringLiteral(" DESC,"));
                break;
            }
        }
    }
    return text;
}

} // namespace Quellon
