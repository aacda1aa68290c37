#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace Quellon {

// Display formats of grid cells and footers, in the notation the layouts
// store: "0" a required digit, "#" an optional one, "," thousands, "." the
// decimal point, anything before or after printed as it is ("￥,0.00");
// dates as "yyyy-mm-dd hh:nn:ss" (m month, n minute).
namespace DisplayFormat {

bool isDateFormat(const QString &format);
QString formatNumber(double value, const QString &format);
// A date as shown: empty for the unset-date sentinel and anything before
// 1901-08-14; "yyyy-MM-dd" unless a date format says otherwise.
QString formatDate(const QDateTime &moment, const QString &format);
// A stored value as shown in a cell: dates recognised by their stored text,
// numbers with a number format, everything else as it stands.
QString format(const QVariant &value, const QString &format);
// Parses the stored text of a date or moment; invalid for anything else.
QDateTime storedDate(const QVariant &value);

} // namespace DisplayFormat
} // namespace Quellon
