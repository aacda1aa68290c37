#include "TreeLoader.h"

#include "TreeCodeService.h"
#include "TreeIcons.h"
#include "TreeNodeItem.h"
#include "TreePath.h"
#include "TreeShape.h"

#include <QTreeWidget>

namespace Quellon {

QTreeWidgetItem *TreeLoader::load(QTreeWidget *tree, const QString &rootName, const QString &flag, Database &dm)
{
    tree->clear();
    auto *root = new QTreeWidgetItem(tree);
    TreeNodeItem::setData(root, {0, QStringLiteral("000"), rootName, TreePath::rootPath()});

    const QList<TreeNode> nodes = TreeCodeService(dm, flag).readNodes();
    QList<int> lengths;
    lengths.reserve(nodes.size());
    for (const TreeNode &node : nodes)
        lengths << node.codeLength;
    const QList<int> parents = TreeShape::parentsOf(lengths);

    QList<QTreeWidgetItem *> items;
    items.reserve(nodes.size());
    for (int row = 0; row < nodes.size(); ++row) {
        QTreeWidgetItem *parent = parents.at(row) == -1 ? root : items.at(parents.at(row));
        items << TreeNodeItem::addChild(parent, nodes.at(row));
    }
    // Expanding needs the children in place, so it waits for the last row.
    for (QTreeWidgetItem *item : std::as_const(items)) {
        if (TreeNodeItem::data(item).depth() == 1)
            item->setExpanded(true);
    }
    TreeIcons::refreshAll(tree);
    return root;
}

} // namespace Quellon
