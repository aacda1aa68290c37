#include "TreeShape.h"

namespace Quellon {

QList<int> TreeShape::parentsOf(const QList<int> &codeLengths)
{
    QList<int> parents;
    parents.reserve(codeLengths.size());
    int previous = -1;
    for (int row = 0; row < codeLengths.size(); ++row) {
        const int length = codeLengths.at(row);
        // Climb from the previous row to the first node not deeper than this
        // one: a node of equal length is a sibling, a shorter one the parent.
        // Climbing past a missing level (a parent row lost from the table)
        // still finds the nearest ancestor instead of giving up.
        int node = previous;
        while (node != -1 && codeLengths.at(node) > length)
            node = parents.at(node);
        parents << (node != -1 && codeLengths.at(node) == length ? parents.at(node) : node);
        previous = row;
    }
    return parents;
}

} // namespace Quellon
