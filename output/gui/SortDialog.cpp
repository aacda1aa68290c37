#include "SortDialog.h"

#include "DataGrid.h"
#include "WindowPlacement.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Quellon {

SortDialog::SortDialog(const GridColumns &columns, QWidget *parent)
    : QDialog(parent), m_rows(columns)
{
    setObjectName(QStringLiteral("SortDialog"));
    setWindowTitle(QStringLiteral("排序对话框"));
    auto *hint = new QLabel(QStringLiteral("提示：双击空白处切换排序方式（升降无），单击上下移动键调整优先顺序"), this);
    hint->setWordWrap(true);

    m_list = new QTableWidget(this);
    m_list->setObjectName(QStringLiteral("lstSort"));
    m_list->setColumnCount(2);
    m_list->setHorizontalHeaderLabels({QStringLiteral("字段"), QStringLiteral("排序方式")});
    m_list->verticalHeader()->hide();
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setColumnWidth(0, 150);
    m_list->setColumnWidth(1, 230);

    auto *up = new QPushButton(QStringLiteral("上移"), this);
    up->setObjectName(QStringLiteral("upButton"));
    auto *down = new QPushButton(QStringLiteral("下移"), this);
    down->setObjectName(QStringLiteral("downButton"));
    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    for (QPushButton *b : {up, down, ok, cancel})
        b->setAutoDefault(false);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(up);
    buttons->addWidget(down);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *body = new QHBoxLayout;
    body->addWidget(m_list, 1);
    body->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(body);
    resize(520, 400);

    connect(up, &QPushButton::clicked, this, [this] { move(true); });
    connect(down, &QPushButton::clicked, this, [this] { move(false); });
    connect(ok, &QPushButton::clicked, this, [this] {
        m_result = m_rows.result();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        m_rows.cycle(row);
        fill();
    });
    fill();
    if (m_list->rowCount() > 0)
        m_list->setCurrentCell(0, 0);
}

void SortDialog::fill()
{
    const int current = m_list->currentRow();
    m_list->setRowCount(int(m_rows.rows().size()));
    for (int i = 0; i < m_rows.rows().size(); ++i) {
        const SortRows::Row &row = m_rows.rows().at(i);
        auto *caption = new QTableWidgetItem(row.caption);
        m_list->setItem(i, 0, caption);
        auto *box = qobject_cast<QComboBox *>(m_list->cellWidget(i, 1));
        if (!box) {
            // A sort list has one row per grid column: a few dozen at most.
            box = new QComboBox(m_list);
            box->addItems({QString(), SortRows::directionText(SortRows::Ascending),
                           SortRows::directionText(SortRows::Descending)});
            connect(box, &QComboBox::activated, this, [this, box](int index) {
                for (int r = 0; r < m_list->rowCount(); ++r) {
                    if (m_list->cellWidget(r, 1) == box)
                        setDirection(r, SortRows::Direction(index));
                }
            });
            m_list->setCellWidget(i, 1, box);
        }
        box->setCurrentIndex(row.direction);
    }
    if (current >= 0)
        m_list->setCurrentCell(current, 0);
}

void SortDialog::setDirection(int row, SortRows::Direction d)
{
    m_rows.setDirection(row, d);
}

void SortDialog::move(bool up)
{
    m_list->setFocus();
    const int row = m_list->currentRow();
    const int to = up ? m_rows.moveUp(row) : m_rows.moveDown(row);
    fill();
    m_list->setCurrentCell(to, 0);
}

void SortDialog::sortGrid(DataGrid &grid, QWidget *parent)
{
    SortDialog dialog(grid.columns(), parent);
    placeWindow(&dialog, Placement::CentredOnScreen);
    dialog.exec();
    grid.setSortText(dialog.result());
}

} // namespace Quellon
