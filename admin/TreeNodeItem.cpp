#include "TreeNodeItem.h"

#include "TreePath.h"

#include <QTreeWidgetItem>

namespace Quellon {

tNodeData TreeNodeItem::data(const QTreeWidgetItem *item)
{
    return item ? item->data(0, Qt::UserRole).value<tNodeData>() : tNodeData{};
}

void TreeNodeItem::setData(QTreeWidgetItem *item, const tNodeData &node)
{
    item->setData(0, Qt::UserRole, QVariant::fromValue(node));
    item->setText(0, node.name);
}

QTreeWidgetItem *TreeNodeItem::addChild(QTreeWidgetItem *parent, const tNodeData &node)
{
    auto *item = new QTreeWidgetItem;
    setData(item, node);
    parent->addChild(item);
    return item;
}

QString TreeNodeItem::buildPath(const QTreeWidgetItem *item, bool fromParent)
{
    const QTreeWidgetItem *node = fromParent && item ? item->parent() : item;
    if (!node || data(node).isRoot())
        return TreePath::rootPath();
    QString path = TreePath::separator() + data(node).name;
    while (data(node).depth() > 1 && node->parent()) {
        node = node->parent();
        path.prepend(TreePath::separator() + data(node).name);
    }
    return TreePath::separator() + path;
}

void TreeNodeItem::rebaseDescendants(QTreeWidgetItem *item, const QString &oldPath, const QString &newPath)
{
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem *child = item->child(i);
        tNodeData node = data(child);
        if (TreePath::isAtOrBelow(node.path, oldPath)) {
            node.path = TreePath::rebased(node.path, oldPath, newPath);
            setData(child, node);
        }
        rebaseDescendants(child, oldPath, newPath);
    }
}

} // namespace Quellon
