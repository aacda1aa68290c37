#pragma once

#include "TreeNode.h"

class QTreeWidgetItem;

namespace Quellon {

// The tree nodes as the windows hold them: a QTreeWidgetItem whose text is
// the node's name and whose data is its TreeNode.
class TreeNodeItem
{
public:
    static TreeNode data(const QTreeWidgetItem *item);
    // Stores the data and shows the name.
    static void setData(QTreeWidgetItem *item, const TreeNode &node);
    // A new item for node, appended under parent.
    static QTreeWidgetItem *addChild(QTreeWidgetItem *parent, const TreeNode &node);

    // After a rename: the paths held by the items below item that started
    // with oldPath now start with newPath, as they do in the table.
    static void rebaseDescendants(QTreeWidgetItem *item, const QString &oldPath, const QString &newPath);
};

} // namespace Quellon
