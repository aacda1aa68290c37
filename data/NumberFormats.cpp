#include "NumberFormats.h"

#include <QtGlobal>

namespace Quellon {

QString NumberFormats::pattern(int places, Kind kind)
{
    if (kind == Quantity)
        return QStringLiteral("0.") + QString(qMax(0, places), QLatin1Char('#'));
    if (kind == Price || kind == Money) {
        QString format = QStringLiteral("￥,0.");
        for (int i = 1; i <= places; ++i)
            format += i <= 2 ? QLatin1Char('0') : QLatin1Char('#');
        return format;
    }
    return {};
}

} // namespace Quellon
