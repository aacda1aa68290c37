#include "CheckListRule.h"

namespace Quellon {

QList<bool> CheckListRule::preChecked(const QStringList &items, const QString &text)
{
    QString entries = text;
    entries.replace(QStringLiteral("，"), separator());
    entries = separator() + entries + separator();
    QList<bool> checked;
    checked.reserve(items.size());
    for (const QString &item : items)
        checked << entries.contains(separator() + item + separator());
    return checked;
}

} // namespace Quellon
