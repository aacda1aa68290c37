#pragma once

#include "GridQuery.h"

namespace Quellon {

// The grids below a page's list: what is stored about its current record,
// found by the record's link number (F_mainID of the house or client).
class DetailQueries
{
public:
    static GridQuery housePictures(qint64 linkNumber);
    static GridQuery houseFollowUps(qint64 linkNumber);
    static GridQuery houseDeals(qint64 linkNumber);
    static GridQuery houseMatches(qint64 linkNumber);
    static GridQuery clientFollowUps(qint64 linkNumber);
    static GridQuery clientMatches(qint64 linkNumber);
};

} // namespace Quellon
