#pragma once

#include <QString>

namespace Quellon {

// The display formats of quantities, prices and amounts of money, from the
// number of decimal places the agency set (KeyValue rows 13 to 15).
class NumberFormats
{
public:
    enum Kind { Quantity = 1, Price = 2, Money = 3 };

    // "0.##" for quantities; "￥,0.00" and further optional places for
    // prices and money. Empty for an unknown kind.
    static QString pattern(int places, Kind kind);
};

} // namespace Quellon
