#pragma once

#include "tNodeData.h"

class QTreeWidgetItem;

namespace Quellon {

// The tree nodes as the windows hold them: a QTreeWidgetItem whose text is
// the node's name and whose data is its tNodeData.
class TreeNodeItem
{
public:
    static tNodeData data(const QTreeWidgetItem *item);
    // Stores the data and shows the name.
    static void setData(QTreeWidgetItem *item, const tNodeData &node);
    // A new item for node, appended under parent.
    static QTreeWidgetItem *addChild(QTreeWidgetItem *parent, const tNodeData &node);

    // The path composed from the names of the nodes above item (or above its
    // parent when fromParent is set) up to the first level. The root's path
    // is the two backslashes alone.
    static QString buildPath(const QTreeWidgetItem *item, bool fromParent);

    // After a rename: the paths held by the items below item that started
    // with oldPath now start with newPath, as they do in the table.
    static void rebaseDescendants(QTreeWidgetItem *item, const QString &oldPath, const QString &newPath);
};

} // namespace Quellon
