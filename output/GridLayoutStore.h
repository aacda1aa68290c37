#pragma once

#include "GridColumn.h"

#include <QString>

namespace Quellon {

class Database;

// Saved column layouts of the grids, one cfg_grid row per layout and column.
// Names compare without regard to letter case. Only existing rows are
// updated: a column without a row under the layout is not stored.
class GridLayoutStore
{
public:
    explicit GridLayoutStore(Database &dm) : m_dm(dm) {}

    // The stored columns in their order; empty when the layout has no rows
    // or could not be read (which is reported to the user).
    GridColumns load(const QString &layout);
    // Writes every column (hidden ones too) with its position, all or nothing.
    bool save(const QString &layout, const GridColumns &columns);
    // The operator's number formats on the columns whose field name speaks of
    // a price, a value or an amount.
    static GridColumns withNumberFormats(GridColumns columns, const QString &amountFormat, const QString &priceFormat,
                                         const QString &valueFormat);

private:
    Database &m_dm;
};

} // namespace Quellon
