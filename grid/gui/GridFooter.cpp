#include "GridFooter.h"

#include "GridModel.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>

namespace Quellon {

GridFooter::GridFooter(QTableView *view, GridModel *model, QWidget *parent)
    : QWidget(parent), m_view(view), m_model(model)
{
    setObjectName(QStringLiteral("gridFooter"));
    QHeaderView *header = view->horizontalHeader();
    auto repaint = [this] { update(); };
    connect(header, &QHeaderView::sectionResized, this, repaint);
    connect(header, &QHeaderView::sectionMoved, this, repaint);
    connect(header, &QHeaderView::geometriesChanged, this, repaint);
    connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, this, repaint);
    connect(model, &QAbstractItemModel::modelReset, this, repaint);
    connect(model, &QAbstractItemModel::dataChanged, this, repaint);
    connect(model, &GridModel::footerChanged, this, repaint);
}

QSize GridFooter::sizeHint() const
{
    return QSize(100, fontMetrics().height() + 8);
}

void GridFooter::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setPen(palette().mid().color());
    p.drawLine(rect().topLeft(), rect().topRight());
    QHeaderView *header = m_view->horizontalHeader();
    // The header's sections start after the view's frame and row header; the
    // footer and the view share the grid as parent.
    const int origin = m_view->viewport()->mapTo(parentWidget(), QPoint(0, 0)).x() - x();
    p.setPen(palette().text().color());
    for (int column = 0; column < m_model->columnCount(); ++column) {
        if (header->isSectionHidden(column))
            continue;
        const QString text = m_model->footerText(column);
        if (text.isEmpty())
            continue;
        QRect cell(origin + header->sectionViewportPosition(column), 0, header->sectionSize(column), height());
        // A total wider than its column grows to the left over the empty
        // footers beside it rather than losing its leading digits.
        const int wanted = fontMetrics().horizontalAdvance(text) + 8;
        if (wanted > cell.width())
            cell.setLeft(cell.right() - wanted);
        if (cell.right() < origin || cell.left() > width())
            continue;
        const int alignment = m_model->columns().at(column).alignment;
        const Qt::Alignment align = alignment == GridColumn::AlignRight    ? Qt::AlignRight
                                    : alignment == GridColumn::AlignCenter ? Qt::AlignHCenter
                                                                           : Qt::AlignLeft;
        p.save();
        p.setClipRect(cell.intersected(QRect(origin, 0, width() - origin, height())));
        p.drawText(cell.adjusted(4, 0, -4, 0), int(align | Qt::AlignVCenter), text);
        p.restore();
    }
}

} // namespace Quellon
