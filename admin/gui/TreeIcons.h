#pragma once

class QTreeWidget;
class QTreeWidgetItem;

namespace Quellon {

// The node pictures shared by every tree of the program: 0 the root, 1 a
// first-level node with children (also when selected), 2 any other node and
// 3 the same when selected.
class TreeIcons
{
public:
    static int imageIndex(const QTreeWidgetItem *item, bool selected);

    // Gives the item the icon its place in the tree calls for; to be redone
    // when it gains or loses its last child.
    static void refresh(QTreeWidgetItem *item);
    static void refreshAll(QTreeWidget *tree);
};

} // namespace Quellon
