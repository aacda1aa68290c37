#include "DetailQueries.h"

namespace Quellon {

namespace {

const QString PictureTable = QStringLiteral("t_imageREC");
const QString HouseFollowUpTable = QStringLiteral("T_gjREC");
const QString DealTable = QStringLiteral("T_cjREC");
const QString ClientFollowUpTable = QStringLiteral("T_KHgjREC");
const QString MatchTable = QStringLiteral("T_FYcltLink");
const QString LinkColumn = QStringLiteral("F_mainID");

// Every row of table whose linkColumn holds the link number. Records from
// before link numbers were given out hold 0 or nothing; their details would
// be everybody's unlinked rows, so they have none.
GridQuery linked(const QString &table, const QString &linkColumn, qint64 linkNumber, const QString &order = {})
{
    const SqlFragment condition = linkNumber >= 1 ? SqlFragment::equals(linkColumn, linkNumber) : SqlFragment::never();
    GridQuery query(SqlFragment(QStringLiteral("select * from ") + table) + SqlFragment::where(condition), order);
    query.setRowTable(table);
    return query;
}

} // namespace

GridQuery DetailQueries::housePictures(qint64 linkNumber)
{
    return linked(PictureTable, LinkColumn, linkNumber);
}

GridQuery DetailQueries::houseFollowUps(qint64 linkNumber)
{
    return linked(HouseFollowUpTable, LinkColumn, linkNumber);
}

GridQuery DetailQueries::houseDeals(qint64 linkNumber)
{
    return linked(DealTable, LinkColumn, linkNumber);
}

GridQuery DetailQueries::houseMatches(qint64 linkNumber)
{
    return linked(MatchTable, QStringLiteral("F_fyID"), linkNumber, QStringLiteral("F_cltCode"));
}

GridQuery DetailQueries::clientFollowUps(qint64 linkNumber)
{
    return linked(ClientFollowUpTable, LinkColumn, linkNumber);
}

GridQuery DetailQueries::clientMatches(qint64 linkNumber)
{
    return linked(MatchTable, QStringLiteral("F_cltID"), linkNumber, QStringLiteral("F_cltCode"));
}

} // namespace Quellon
