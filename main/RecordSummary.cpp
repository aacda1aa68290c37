#include "RecordSummary.h"

#include <QStringList>

namespace Quellon {

QVariant RecordSummary::value(const QVariantMap &record, const QString &column)
{
    const auto exact = record.constFind(column);
    if (exact != record.constEnd())
        return exact.value();
    for (auto it = record.constBegin(); it != record.constEnd(); ++it) {
        if (it.key().compare(column, Qt::CaseInsensitive) == 0)
            return it.value();
    }
    return {};
}

QString RecordSummary::text(const QVariantMap &record, const QList<Line> &lines)
{
    QStringList out{QString()};
    for (const Line &line : lines)
        out << (line.caption.isEmpty() ? QString() : line.caption + value(record, line.column).toString());
    return out.join(QLatin1Char('\n'));
}

} // namespace Quellon
