#pragma once

#include <QString>

namespace Quellon {

// The names under which cfg_grid keeps each grid's columns. Stored: spelled
// as they are in every database, compared without regard to letter case.
namespace GridLayoutNames {
inline const QString HouseMain = QStringLiteral("housemain");
inline const QString ClientMain = QStringLiteral("clientmain");
inline const QString HouseRecycleBin = QStringLiteral("houseHuishou");
inline const QString ClientRecycleBin = QStringLiteral("ClientHuishou");
inline const QString HouseFollowUpReminders = QStringLiteral("houseGJ");
inline const QString HouseDealReminders = QStringLiteral("houseCJ");
inline const QString ClientFollowUpReminders = QStringLiteral("clientGJ");
// The house page's two detail layouts carry each other's name: the one named
// for deals (CJ) holds the follow-up columns and the other way round. Every
// database stores them so, and the names stay as stored.
inline const QString HouseFollowUps = QStringLiteral("HouseCJdetail");
inline const QString HouseDeals = QStringLiteral("HouseGJdetail");
inline const QString HouseMatches = QStringLiteral("HousePPdetail");
inline const QString ClientFollowUps = QStringLiteral("clientGJdetail");
inline const QString ClientMatches = QStringLiteral("clientPPdetail");
inline const QString HousePicker = QStringLiteral("DLGhouseXZ");
inline const QString ClientPicker = QStringLiteral("DLGclientXZ");
inline const QString HouseFollowUpStatistics = QStringLiteral("fygjdetailtj");
inline const QString HouseDealStatistics = QStringLiteral("fycjdetailtj");
inline const QString ClientFollowUpStatistics = QStringLiteral("khgjdetailtj");
inline const QString MatchStatistics = QStringLiteral("fykhpsdetailtj");
} // namespace GridLayoutNames

} // namespace Quellon
