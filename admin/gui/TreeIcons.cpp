#include "TreeIcons.h"

#include "TreeNodeItem.h"

#include <QPainter>
#include <QPixmap>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace Quellon {

namespace {
QPixmap paintImage(int index)
{
    QPixmap pix(16, 16);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    switch (index) {
    case 0: { // a house
        p.setBrush(QColor(70, 130, 200));
        const QPointF roof[] = {{1.5, 8}, {8, 1.5}, {14.5, 8}};
        p.drawPolygon(roof, 3);
        p.setBrush(QColor(240, 235, 220));
        p.drawRect(QRectF(3.5, 8, 9, 6.5));
        p.setBrush(QColor(150, 90, 40));
        p.drawRect(QRectF(6.5, 10, 3, 4.5));
        break;
    }
    case 1: // an open folder
        p.setBrush(QColor(230, 190, 70));
        p.drawRect(QRectF(1.5, 3.5, 6, 3));
        p.setBrush(QColor(250, 215, 100));
        p.drawRect(QRectF(1.5, 5.5, 13, 9));
        break;
    default: { // a leaf: green when resting, orange when selected
        p.setBrush(index == 3 ? QColor(240, 140, 40) : QColor(120, 170, 110));
        p.drawEllipse(QRectF(3.5, 3.5, 9, 9));
        break;
    }
    }
    return pix;
}

const QPixmap &image(int index)
{
    static const QPixmap images[] = {paintImage(0), paintImage(1), paintImage(2), paintImage(3)};
    return images[index];
}
} // namespace

int TreeIcons::imageIndex(const QTreeWidgetItem *item, bool selected)
{
    const TreeNode node = TreeNodeItem::data(item);
    if (node.isRoot())
        return 0;
    if (node.depth() == 1 && item->childCount() > 0)
        return 1;
    return selected ? 3 : 2;
}

void TreeIcons::refresh(QTreeWidgetItem *item)
{
    if (!item)
        return;
    // The view draws the Selected form of the icon for a selected item.
    QIcon icon;
    icon.addPixmap(image(imageIndex(item, false)), QIcon::Normal);
    icon.addPixmap(image(imageIndex(item, true)), QIcon::Selected);
    item->setIcon(0, icon);
}

void TreeIcons::refreshAll(QTreeWidget *tree)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        refresh(*it);
}

} // namespace Quellon
