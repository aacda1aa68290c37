#include "SalespersonList.h"

namespace Quellon {

QStringList SalespersonList::parse(const QString &stored)
{
    QStringList names;
    QString current;
    bool inside = false;
    for (int i = 0; i < stored.size(); ++i) {
        const QChar c = stored.at(i);
        if (!inside) {
            if (c == QLatin1Char('\'')) {
                inside = true;
                current.clear();
            }
            continue;
        }
        if (c == QLatin1Char('\'')) {
            if (i + 1 < stored.size() && stored.at(i + 1) == QLatin1Char('\'')) {
                current += c;
                ++i;
            } else {
                inside = false;
                names << current;
            }
        } else {
            current += c;
        }
    }
    return names;
}

QString SalespersonList::format(const QStringList &names)
{
    QStringList quoted;
    quoted.reserve(names.size());
    for (QString name : names)
        quoted << QLatin1Char('\'') + name.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
    return quoted.join(QLatin1Char(','));
}

} // namespace Quellon
