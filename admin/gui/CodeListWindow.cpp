#include "CodeListWindow.h"

#include "CodeKinds.h"
#include "WindowPlacement.h"
#include "ImeRule.h"
#include "Messages.h"
#include "LoginSession.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace Quellon {

namespace {
constexpr int PagesPerRow = 8;
}

CodeListWindow::CodeListWindow(Database &dm, const QString &imeName, QWidget *parent)
    : QDialog(parent)
    , m_cache(dm)
    , m_imeName(imeName)
{
    setObjectName(QStringLiteral("CodeListWindow"));
    setWindowTitle(QStringLiteral("选项设置..."));

    m_toolBar = new QToolBar(this);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_addAction = makeAction(QStringLiteral("新增"), QStringLiteral("addAction"), QStyle::SP_FileIcon);
    m_modifyAction = makeAction(QStringLiteral("修改"), QStringLiteral("modifyAction"), QStyle::SP_FileDialogContentsView);
    m_deleteAction = makeAction(QStringLiteral("删除"), QStringLiteral("deleteAction"), QStyle::SP_TrashIcon);
    m_toolBar->addSeparator();
    m_saveAction = makeAction(QStringLiteral("保存"), QStringLiteral("saveAction"), QStyle::SP_DialogSaveButton);
    m_cancelAction = makeAction(QStringLiteral("取消"), QStringLiteral("cancelAction"), QStyle::SP_DialogCancelButton);
    m_toolBar->addSeparator();
    m_printAction = makeAction(QStringLiteral("打印"), QStringLiteral("printAction"), QStyle::SP_FileDialogListView);
    m_refreshAction = makeAction(QStringLiteral("刷新"), QStringLiteral("refreshAction"), QStyle::SP_BrowserReload);
    m_toolBar->addSeparator();
    m_exitAction = makeAction(QStringLiteral("退出"), QStringLiteral("exitAction"), QStyle::SP_DialogCloseButton);
    // The window sees these keys before its controls; an action's shortcut
    // only fires while the action is enabled.
    m_addAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    m_modifyAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    m_saveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_deleteAction->setShortcut(QKeySequence(Qt::Key_Delete));

    // The pages wrap onto several rows, as many tabs would.
    auto *pageStrip = new QWidget(this);
    auto *pageGrid = new QGridLayout(pageStrip);
    pageGrid->setSpacing(0);
    pageGrid->setContentsMargins(0, 0, 0, 0);
    m_pages = new QButtonGroup(this);
    const QList<CodeKind> &kinds = CodeKinds::all();
    for (int i = 0; i < kinds.size(); ++i) {
        auto *page = new QToolButton(pageStrip);
        page->setObjectName(QStringLiteral("page_") + kinds.at(i).key);
        page->setText(kinds.at(i).caption);
        page->setCheckable(true);
        page->setFocusPolicy(Qt::NoFocus);
        page->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        m_pages->addButton(page, i);
        pageGrid->addWidget(page, i / PagesPerRow, i % PagesPerRow);
    }

    m_codeTable = new QTableWidget(0, 1, this);
    m_codeTable->setObjectName(QStringLiteral("codeTable"));
    m_codeTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_codeTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_codeTable->horizontalHeader()->setStretchLastSection(true);
    m_codeTable->verticalHeader()->setDefaultSectionSize(22);
    ImeRule::markChinese(m_codeTable);

    auto *status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    m_countLabel = new QLabel(status);
    m_stateLabel = new QLabel(status);
    status->addWidget(m_countLabel, 1);
    status->addPermanentWidget(m_stateLabel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(4);
    layout->addWidget(m_toolBar);
    layout->addWidget(pageStrip);
    layout->addWidget(m_codeTable, 1);
    layout->addWidget(status);
    resize(640, 500);

    connect(m_addAction, &QAction::triggered, this, &CodeListWindow::onAdd);
    connect(m_modifyAction, &QAction::triggered, this, &CodeListWindow::onModify);
    connect(m_deleteAction, &QAction::triggered, this, &CodeListWindow::onDelete);
    connect(m_saveAction, &QAction::triggered, this, &CodeListWindow::onSave);
    connect(m_cancelAction, &QAction::triggered, this, &CodeListWindow::onCancel);
    connect(m_printAction, &QAction::triggered, this, &CodeListWindow::onPrint);
    connect(m_refreshAction, &QAction::triggered, this, &CodeListWindow::onRefresh);
    connect(m_exitAction, &QAction::triggered, this, &QDialog::reject);
    connect(m_pages, &QButtonGroup::idClicked, this, &CodeListWindow::showPage);
    connect(m_codeTable, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (!m_filling && m_editing)
            m_cache.setName(item->row(), item->text());
    });
    connect(m_codeTable, &QTableWidget::cellDoubleClicked, this, [this] {
        if (!m_editing)
            onModify();
    });
    // The window sees keys before its controls: the grid's cell editor would
    // otherwise keep Esc from every shortcut of the window.
    qApp->installEventFilter(this);

    setEditState(false);
    showPage(0);
}

QAction *CodeListWindow::makeAction(const QString &text, const QString &name, QStyle::StandardPixmap icon)
{
    QAction *action = m_toolBar->addAction(style()->standardIcon(icon), text);
    action->setObjectName(name);
    return action;
}

void CodeListWindow::showPage(int index)
{
    const CodeKind &kind = CodeKinds::all().at(index);
    m_page = index;
    m_pages->button(index)->setChecked(true);
    m_codeTable->setHorizontalHeaderLabels({kind.caption.trimmed()});
    m_cache.load(kind.key);
    fillGrid();
}

void CodeListWindow::fillGrid()
{
    m_filling = true;
    m_codeTable->setRowCount(0);
    m_codeTable->setRowCount(m_cache.rowCount());
    for (int row = 0; row < m_cache.rowCount(); ++row)
        m_codeTable->setItem(row, 0, new QTableWidgetItem(m_cache.name(row)));
    m_filling = false;
    if (m_cache.rowCount() > 0)
        m_codeTable->setCurrentCell(0, 0);
    updateStatus();
}

void CodeListWindow::appendRow()
{
    const int row = m_cache.append();
    m_filling = true;
    m_codeTable->insertRow(row);
    auto *item = new QTableWidgetItem;
    m_codeTable->setItem(row, 0, item);
    m_filling = false;
    m_codeTable->setCurrentItem(item);
    m_codeTable->setFocus();
    m_codeTable->editItem(item);
    updateStatus();
}

void CodeListWindow::postEdit()
{
    // Leaving the cell writes an open editor's text back to it.
    const QModelIndex current = m_codeTable->currentIndex();
    m_codeTable->setCurrentIndex(QModelIndex());
    m_codeTable->setCurrentIndex(current);
}

void CodeListWindow::setEditState(bool editing)
{
    m_editing = editing;
    for (QAction *action : {m_addAction, m_modifyAction, m_deleteAction, m_printAction, m_refreshAction, m_exitAction})
        action->setEnabled(!editing);
    m_saveAction->setEnabled(editing);
    m_cancelAction->setEnabled(editing);
    for (QAbstractButton *page : m_pages->buttons())
        page->setEnabled(!editing);
    m_codeTable->setEditTriggers(editing ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                           | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked
                                     : QAbstractItemView::NoEditTriggers);
    updateStatus();
}

void CodeListWindow::updateStatus()
{
    if (m_page >= 0)
        m_countLabel->setText(QStringLiteral("%1：共 %2 条").arg(CodeKinds::all().at(m_page).caption.trimmed()).arg(m_cache.rowCount()));
    m_stateLabel->setText(m_editing ? QStringLiteral("编辑中，请保存或取消") : QStringLiteral("浏览"));
}

void CodeListWindow::onAdd()
{
    setEditState(true);
    appendRow();
}

void CodeListWindow::onModify()
{
    if (m_cache.rowCount() == 0) {
        showMessage(QStringLiteral("此表为空，没有记录需要修改！"), MessageKind::Error);
        return;
    }
    setEditState(true);
    m_codeTable->setFocus();
}

void CodeListWindow::onSave()
{
    postEdit();
    // A failed write keeps the edits on screen, to be saved again or cancelled.
    if (!m_cache.save())
        return;
    setEditState(false);
    fillGrid();
}

void CodeListWindow::onCancel()
{
    setEditState(false);
    postEdit();
    m_cache.discard();
    fillGrid();
}

void CodeListWindow::onDelete()
{
    if (m_cache.rowCount() == 0) {
        showMessage(QStringLiteral("此表是空表，不需要删除！"), MessageKind::Information);
        return;
    }
    const int row = qMax(0, m_codeTable->currentRow());
    const QString question = QStringLiteral("真的要删除 \"") + CodeKinds::all().at(m_page).caption + QStringLiteral("\"")
                             + m_cache.name(row) + QStringLiteral("吗？");
    if (showMessage(question, MessageKind::Question) == AnswerNo)
        return;
    m_cache.remove(row);
    if (!m_cache.save())
        m_cache.discard();
    fillGrid();
    if (m_cache.rowCount() > 0)
        m_codeTable->setCurrentCell(qMin(row, m_cache.rowCount() - 1), 0);
}

void CodeListWindow::onPrint()
{
    showMessage(QStringLiteral("表格打印功能尚未提供，将在以后的版本中加入。"), MessageKind::Information);
}

void CodeListWindow::onRefresh()
{
    m_cache.load(m_cache.kind());
    fillGrid();
}

bool CodeListWindow::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (event->type() != QEvent::KeyPress || !widget || widget->window() != this)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key == Qt::Key_Escape) {
        if (m_cancelAction->isEnabled())
            onCancel();
        else
            reject();
        return true;
    }
    // Down on the last row appends another, unless that row is still an
    // untouched new one.
    if (key == Qt::Key_Down && watched == m_codeTable && m_editing && m_codeTable->currentRow() == m_cache.rowCount() - 1) {
        postEdit();
        const int last = m_cache.rowCount() - 1;
        if (last < 0 || !m_cache.isUntouchedNew(last))
            appendRow();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CodeListWindow::showEvent(QShowEvent *event)
{
    ImeRule::apply(this, m_imeName);
    QDialog::showEvent(event);
    m_codeTable->setFocus();
}

void CodeListWindow::manage(Database &dm, const QString &imeName, QWidget *parent)
{
    CodeListWindow window(dm, imeName, parent);
    placeWindow(&window, Placement::OverActiveWindow);
    window.exec();
}

} // namespace Quellon
