#pragma once

#include <QDate>
#include <QDateTime>

namespace Quellon {

// The one source of "now": reminders, daily backups and the log depend on the
// date, and tests need to pin it.
class Clock
{
public:
    static QDateTime now();
    static QDate today() { return now().date(); }

    // Pins the clock to a fixed moment; an invalid value returns to the system clock.
    static void setFixed(const QDateTime &moment);
};

} // namespace Quellon
