#include "TFrmCodeMan.h"

#include "CodeKinds.h"
#include "FormPosition.h"
#include "ImeRule.h"
#include "Messages.h"
#include "PubUnit.h"

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

TFrmCodeMan::TFrmCodeMan(TdmData &dm, QWidget *parent)
    : QDialog(parent)
    , m_cache(dm)
{
    setObjectName(QStringLiteral("TFrmCodeMan"));
    setWindowTitle(QStringLiteral("选项设置..."));

    m_toolBar = new QToolBar(this);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    actAdd = makeAction(QStringLiteral("新增"), QStringLiteral("actAdd"), QStyle::SP_FileIcon);
    actModify = makeAction(QStringLiteral("修改"), QStringLiteral("actModify"), QStyle::SP_FileDialogContentsView);
    actDelete = makeAction(QStringLiteral("删除"), QStringLiteral("actDelete"), QStyle::SP_TrashIcon);
    m_toolBar->addSeparator();
    actSave = makeAction(QStringLiteral("保存"), QStringLiteral("actSave"), QStyle::SP_DialogSaveButton);
    actCancel = makeAction(QStringLiteral("取消"), QStringLiteral("actCancel"), QStyle::SP_DialogCancelButton);
    m_toolBar->addSeparator();
    actPrint = makeAction(QStringLiteral("打印"), QStringLiteral("actPrint"), QStyle::SP_FileDialogListView);
    actRefresh = makeAction(QStringLiteral("刷新"), QStringLiteral("actRefresh"), QStyle::SP_BrowserReload);
    m_toolBar->addSeparator();
    actExit = makeAction(QStringLiteral("退出"), QStringLiteral("actExit"), QStyle::SP_DialogCloseButton);
    // The window sees these keys before its controls; an action's shortcut
    // only fires while the action is enabled.
    actAdd->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    actModify->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    actSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    actDelete->setShortcut(QKeySequence(Qt::Key_Delete));

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

    grdCode = new QTableWidget(0, 1, this);
    grdCode->setObjectName(QStringLiteral("grdCode"));
    grdCode->setSelectionMode(QAbstractItemView::SingleSelection);
    grdCode->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdCode->horizontalHeader()->setStretchLastSection(true);
    grdCode->verticalHeader()->setDefaultSectionSize(22);
    ImeRule::markChinese(grdCode);

    auto *status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    lblCount = new QLabel(status);
    lblState = new QLabel(status);
    status->addWidget(lblCount, 1);
    status->addPermanentWidget(lblState);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(4);
    layout->addWidget(m_toolBar);
    layout->addWidget(pageStrip);
    layout->addWidget(grdCode, 1);
    layout->addWidget(status);
    resize(640, 500);

    connect(actAdd, &QAction::triggered, this, &TFrmCodeMan::onAdd);
    connect(actModify, &QAction::triggered, this, &TFrmCodeMan::onModify);
    connect(actDelete, &QAction::triggered, this, &TFrmCodeMan::onDelete);
    connect(actSave, &QAction::triggered, this, &TFrmCodeMan::onSave);
    connect(actCancel, &QAction::triggered, this, &TFrmCodeMan::onCancel);
    connect(actPrint, &QAction::triggered, this, &TFrmCodeMan::onPrint);
    connect(actRefresh, &QAction::triggered, this, &TFrmCodeMan::onRefresh);
    connect(actExit, &QAction::triggered, this, &QDialog::reject);
    connect(m_pages, &QButtonGroup::idClicked, this, &TFrmCodeMan::showPage);
    connect(grdCode, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (!m_filling && m_editing)
            m_cache.setName(item->row(), item->text());
    });
    connect(grdCode, &QTableWidget::cellDoubleClicked, this, [this] {
        if (!m_editing)
            onModify();
    });
    // The window sees keys before its controls: the grid's cell editor would
    // otherwise keep Esc from every shortcut of the window.
    qApp->installEventFilter(this);

    setEditState(false);
    showPage(0);
}

QAction *TFrmCodeMan::makeAction(const QString &text, const QString &name, QStyle::StandardPixmap icon)
{
    QAction *action = m_toolBar->addAction(style()->standardIcon(icon), text);
    action->setObjectName(name);
    return action;
}

void TFrmCodeMan::showPage(int index)
{
    const CodeKind &kind = CodeKinds::all().at(index);
    m_page = index;
    m_pages->button(index)->setChecked(true);
    grdCode->setHorizontalHeaderLabels({kind.caption.trimmed()});
    m_cache.load(kind.key);
    fillGrid();
}

void TFrmCodeMan::fillGrid()
{
    m_filling = true;
    grdCode->setRowCount(0);
    grdCode->setRowCount(m_cache.rowCount());
    for (int row = 0; row < m_cache.rowCount(); ++row)
        grdCode->setItem(row, 0, new QTableWidgetItem(m_cache.name(row)));
    m_filling = false;
    if (m_cache.rowCount() > 0)
        grdCode->setCurrentCell(0, 0);
    updateStatus();
}

void TFrmCodeMan::appendRow()
{
    const int row = m_cache.append();
    m_filling = true;
    grdCode->insertRow(row);
    auto *item = new QTableWidgetItem;
    grdCode->setItem(row, 0, item);
    m_filling = false;
    grdCode->setCurrentItem(item);
    grdCode->setFocus();
    grdCode->editItem(item);
    updateStatus();
}

void TFrmCodeMan::postEdit()
{
    // Leaving the cell writes an open editor's text back to it.
    const QModelIndex current = grdCode->currentIndex();
    grdCode->setCurrentIndex(QModelIndex());
    grdCode->setCurrentIndex(current);
}

void TFrmCodeMan::setEditState(bool editing)
{
    m_editing = editing;
    for (QAction *action : {actAdd, actModify, actDelete, actPrint, actRefresh, actExit})
        action->setEnabled(!editing);
    actSave->setEnabled(editing);
    actCancel->setEnabled(editing);
    for (QAbstractButton *page : m_pages->buttons())
        page->setEnabled(!editing);
    grdCode->setEditTriggers(editing ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                           | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked
                                     : QAbstractItemView::NoEditTriggers);
    updateStatus();
}

void TFrmCodeMan::updateStatus()
{
    if (m_page >= 0)
        lblCount->setText(QStringLiteral("%1：共 %2 条").arg(CodeKinds::all().at(m_page).caption.trimmed()).arg(m_cache.rowCount()));
    lblState->setText(m_editing ? QStringLiteral("编辑中，请保存或取消") : QStringLiteral("浏览"));
}

void TFrmCodeMan::onAdd()
{
    setEditState(true);
    appendRow();
}

void TFrmCodeMan::onModify()
{
    if (m_cache.rowCount() == 0) {
        ShowMess(QStringLiteral("此表为空，没有记录需要修改！"), MessError);
        return;
    }
    setEditState(true);
    grdCode->setFocus();
}

void TFrmCodeMan::onSave()
{
    postEdit();
    // A failed write keeps the edits on screen, to be saved again or cancelled.
    if (!m_cache.save())
        return;
    setEditState(false);
    fillGrid();
}

void TFrmCodeMan::onCancel()
{
    setEditState(false);
    postEdit();
    m_cache.discard();
    fillGrid();
}

void TFrmCodeMan::onDelete()
{
    if (m_cache.rowCount() == 0) {
        ShowMess(QStringLiteral("此表是空表，不需要删除！"), MessInfo);
        return;
    }
    const int row = qMax(0, grdCode->currentRow());
    const QString question = QStringLiteral("真的要删除 \"") + CodeKinds::all().at(m_page).caption + QStringLiteral("\"")
                             + m_cache.name(row) + QStringLiteral("吗？");
    if (ShowMess(question, MessQuestion) == AnswerNo)
        return;
    m_cache.remove(row);
    if (!m_cache.save())
        m_cache.discard();
    fillGrid();
    if (m_cache.rowCount() > 0)
        grdCode->setCurrentCell(qMin(row, m_cache.rowCount() - 1), 0);
}

void TFrmCodeMan::onPrint()
{
    ShowMess(QStringLiteral("表格打印功能尚未提供，将在以后的版本中加入。"), MessInfo);
}

void TFrmCodeMan::onRefresh()
{
    m_cache.load(m_cache.kind());
    fillGrid();
}

bool TFrmCodeMan::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (event->type() != QEvent::KeyPress || !widget || widget->window() != this)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key == Qt::Key_Escape) {
        if (actCancel->isEnabled())
            onCancel();
        else
            reject();
        return true;
    }
    // Down on the last row appends another, unless that row is still an
    // untouched new one.
    if (key == Qt::Key_Down && watched == grdCode && m_editing && grdCode->currentRow() == m_cache.rowCount() - 1) {
        postEdit();
        const int last = m_cache.rowCount() - 1;
        if (last < 0 || !m_cache.isUntouchedNew(last))
            appendRow();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmCodeMan::showEvent(QShowEvent *event)
{
    ImeRule::apply(this, currentLogin().imeName);
    QDialog::showEvent(event);
    grdCode->setFocus();
}

void TFrmCodeMan::manage(TdmData &dm, QWidget *parent)
{
    TFrmCodeMan window(dm, parent);
    DispFormPos(&window, 1);
    window.exec();
}

} // namespace Quellon
