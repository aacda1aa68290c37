#pragma once

#include <QList>

namespace Quellon {

// Where each stored node goes when the rows are read in code order. Only the
// code lengths matter: parents sort before their children, so a row hangs
// below the nearest earlier row that is shorter.
class TreeShape
{
public:
    // For each row the index of its parent row, or -1 for the root.
    static QList<int> parentsOf(const QList<int> &codeLengths);
};

} // namespace Quellon
