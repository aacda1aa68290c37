#include "TreeNodeItem.h"

#include "TreePath.h"

#include <QTreeWidgetItem>

namespace Quellon {

TreeNode TreeNodeItem::data(const QTreeWidgetItem *item)
{
    return item ? item->data(0, Qt::UserRole).value<TreeNode>() : TreeNode{};
}

void TreeNodeItem::setData(QTreeWidgetItem *item, const TreeNode &node)
{
    item->setData(0, Qt::UserRole, QVariant::fromValue(node));
    item->setText(0, node.name);
}

QTreeWidgetItem *TreeNodeItem::addChild(QTreeWidgetItem *parent, const TreeNode &node)
{
    auto *item = new QTreeWidgetItem;
    setData(item, node);
    parent->addChild(item);
    return item;
}

void TreeNodeItem::rebaseDescendants(QTreeWidgetItem *item, const QString &oldPath, const QString &newPath)
{
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem *child = item->child(i);
        TreeNode node = data(child);
        if (TreePath::isAtOrBelow(node.path, oldPath)) {
            node.path = TreePath::rebased(node.path, oldPath, newPath);
            setData(child, node);
        }
        rebaseDescendants(child, oldPath, newPath);
    }
}

} // namespace Quellon
