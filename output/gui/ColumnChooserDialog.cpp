#include "ColumnChooserDialog.h"

#include "DataGrid.h"
#include "WindowPlacement.h"
#include "GridModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace Quellon {

ColumnChooserDialog::ColumnChooserDialog(DataGrid &grid, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_grid(grid)
{
    setObjectName(QStringLiteral("ColumnChooserDialog"));
    setWindowTitle(QStringLiteral("字段列表"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstFields"));
    // In the grid's column order as the user sees it.
    const QHeaderView *titles = grid.view()->horizontalHeader();
    const auto &columns = grid.model()->columns();
    for (int visual = 0; visual < titles->count(); ++visual) {
        const int logical = titles->logicalIndex(visual);
        auto *item = new QListWidgetItem(columns.at(logical).caption, m_list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(titles->isSectionHidden(logical) ? Qt::Unchecked : Qt::Checked);
        item->setData(Qt::UserRole, logical);
    }

    auto *picture = new QLabel(this);
    picture->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(48, 48));
    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    auto *side = new QVBoxLayout;
    side->addWidget(picture, 0, Qt::AlignHCenter);
    side->addStretch();
    side->addWidget(ok);
    side->addWidget(cancel);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(side);
    resize(320, 420);

    connect(ok, &QPushButton::clicked, this, [this] {
        apply();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ColumnChooserDialog::apply()
{
    for (int i = 0; i < m_list->count(); ++i) {
        const QListWidgetItem *item = m_list->item(i);
        m_grid.setColumnVisible(item->data(Qt::UserRole).toInt(), item->checkState() == Qt::Checked);
    }
}

void ColumnChooserDialog::chooseFields(DataGrid &grid, QWidget *parent)
{
    ColumnChooserDialog dialog(grid, parent);
    placeWindow(&dialog, Placement::CentredOnScreen);
    dialog.exec();
}

} // namespace Quellon
