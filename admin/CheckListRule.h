#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace Quellon {

// How the multi-select picker reads a field's text: entries joined by ",",
// where a full-width "，" typed by hand counts as the same separator.
class CheckListRule
{
public:
    static QString separator() { return QStringLiteral(","); }

    // For each item whether the text holds it as a whole entry; an item that
    // is only the beginning of an entry is not held.
    static QList<bool> preChecked(const QStringList &items, const QString &text);
};

} // namespace Quellon
