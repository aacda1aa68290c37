#pragma once

#include <QList>
#include <QString>

namespace Quellon {

// One column of a data grid as the layout store keeps it.
struct GridColumn
{
    enum Alignment { AlignLeft = 0, AlignCenter = 1, AlignRight = 2 };
    enum Footer { FooterNone = 0, FooterText = 1, FooterSum = 2 };

    QString field;
    QString caption;
    int width = 80;
    bool visible = true;
    bool readOnly = true;
    int alignment = AlignLeft;
    QString displayFormat; // numbers and dates, for cells and footer
    int footer = FooterNone;
    QString footerText;

    // Memo columns show a marker on a title click but are not sorted.
    bool sortable() const { return !field.toLower().contains(QLatin1String("mem")); }
};

using GridColumns = QList<GridColumn>;

} // namespace Quellon
