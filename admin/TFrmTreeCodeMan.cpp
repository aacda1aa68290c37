#include "TFrmTreeCodeMan.h"

#include "FormPosition.h"
#include "Messages.h"
#include "TDLGenterCaption.h"
#include "TreeIcons.h"
#include "TreeLoader.h"
#include "TreeNodeItem.h"
#include "TreePath.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace Quellon {

namespace {
bool isClientTypeMode(int mode)
{
    return mode == TFrmTreeCodeMan::ManageClientType || mode == TFrmTreeCodeMan::SelectClientType;
}

QPushButton *makeButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    // Enter belongs to the tree (it chooses in the select modes).
    button->setAutoDefault(false);
    return button;
}
} // namespace

TFrmTreeCodeMan::TFrmTreeCodeMan(TdmData &dm, int mode, QWidget *parent)
    : QDialog(parent)
    , m_mode(mode)
    , m_service(dm, isClientTypeMode(mode) ? TreeCodeService::clientTypeFlag() : TreeCodeService::areaFlag())
{
    setObjectName(QStringLiteral("TFrmTreeCodeMan"));
    const QString caption = isClientTypeMode(mode) ? QStringLiteral("客户分类") : QStringLiteral("所在区域");
    setWindowTitle(caption);

    auto *banner = new QLabel(QStringLiteral("    增加节点，需先选中左边框里的节点成灰色，然后才能选择增加同级节点或子节点"), this);
    banner->setObjectName(QStringLiteral("lblHint"));
    banner->setWordWrap(true);
    banner->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));

    tvTree = new QTreeWidget(this);
    tvTree->setObjectName(QStringLiteral("tvTree"));
    tvTree->setHeaderHidden(true);
    tvTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvTree->setDragDropMode(QAbstractItemView::NoDragDrop);
    tvTree->setSelectionMode(QAbstractItemView::SingleSelection);
    tvTree->installEventFilter(this);

    btnAddSibling = makeButton(QStringLiteral("添加同类(&A)"), QStringLiteral("btnAddSibling"), this);
    btnAddChild = makeButton(QStringLiteral("添加子类(&C)"), QStringLiteral("btnAddChild"), this);
    btnRename = makeButton(QStringLiteral("修    改(&E)"), QStringLiteral("btnRename"), this);
    btnDelete = makeButton(QStringLiteral("删除(包含子类)"), QStringLiteral("btnDelete"), this);
    btnOk = makeButton(QStringLiteral("确定"), QStringLiteral("btnOk"), this);
    btnCancel = makeButton(QStringLiteral("取消"), QStringLiteral("btnCancel"), this);
    btnOk->setVisible(isSelectMode());
    btnCancel->setVisible(isSelectMode());

    auto *actAddSibling = new QAction(QStringLiteral("添加同类(&A)"), this);
    auto *actAddChild = new QAction(QStringLiteral("添加子类(&C)"), this);
    auto *actRename = new QAction(QStringLiteral("修    改"), this);
    auto *separator = new QAction(this);
    separator->setSeparator(true);
    actDelete = new QAction(QStringLiteral("删除(包含子类)"), this);
    actDelete->setObjectName(QStringLiteral("actDelete"));
    tvTree->addActions({actAddSibling, actAddChild, actRename, separator, actDelete});
    tvTree->setContextMenuPolicy(Qt::ActionsContextMenu);

    auto *buttons = new QVBoxLayout;
    for (QPushButton *button : {btnAddSibling, btnAddChild, btnRename, btnDelete})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto *body = new QHBoxLayout;
    body->addWidget(tvTree, 1);
    body->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(banner);
    layout->addLayout(body, 1);
    resize(480, 440);

    const auto addSibling = [this] { addNode(TreeCodeRule::Relation::Sibling); };
    const auto addChild = [this] { addNode(TreeCodeRule::Relation::Child); };
    connect(btnAddSibling, &QPushButton::clicked, this, addSibling);
    connect(actAddSibling, &QAction::triggered, this, addSibling);
    connect(btnAddChild, &QPushButton::clicked, this, addChild);
    connect(actAddChild, &QAction::triggered, this, addChild);
    connect(btnRename, &QPushButton::clicked, this, &TFrmTreeCodeMan::renameNode);
    connect(actRename, &QAction::triggered, this, &TFrmTreeCodeMan::renameNode);
    connect(btnDelete, &QPushButton::clicked, this, &TFrmTreeCodeMan::deleteNode);
    connect(actDelete, &QAction::triggered, this, &TFrmTreeCodeMan::deleteNode);
    connect(btnOk, &QPushButton::clicked, this, &TFrmTreeCodeMan::choose);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(tvTree, &QTreeWidget::itemDoubleClicked, this, &TFrmTreeCodeMan::onDoubleClick);
    connect(tvTree, &QTreeWidget::currentItemChanged, this, &TFrmTreeCodeMan::updateActions);

    // The window sees these keys before the tree does.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this), &QShortcut::activated, this, &TFrmTreeCodeMan::renameNode);
    connect(new QShortcut(QKeySequence(Qt::Key_Delete), this), &QShortcut::activated, this, [this] {
        if (btnDelete->isEnabled())
            deleteNode();
    });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QDialog::reject);

    QTreeWidgetItem *root = TreeLoader::load(tvTree, caption, flag(), dm);
    root->setExpanded(true);
    tvTree->setCurrentItem(root);
    updateActions();
}

void TFrmTreeCodeMan::markPath(const QString &path)
{
    for (QTreeWidgetItemIterator it(tvTree); *it; ++it) {
        if (TreeNodeItem::data(*it).path != path)
            continue;
        tvTree->setCurrentItem(*it);
        (*it)->setExpanded(true);
        for (QTreeWidgetItem *above = (*it)->parent(); above; above = above->parent())
            above->setExpanded(true);
    }
    tvTree->scrollToItem(tvTree->currentItem());
}

QString TFrmTreeCodeMan::selectedPath() const
{
    return TreeNodeItem::data(tvTree->currentItem()).path;
}

void TFrmTreeCodeMan::updateActions()
{
    // The root is not stored: deleting it would leave the window rootless.
    const QTreeWidgetItem *item = tvTree->currentItem();
    const bool stored = item && !TreeNodeItem::data(item).isRoot();
    btnDelete->setEnabled(stored);
    actDelete->setEnabled(stored);
}

void TFrmTreeCodeMan::addNode(TreeCodeRule::Relation relation)
{
    QTreeWidgetItem *item = tvTree->currentItem();
    if (!item)
        return;
    const tNodeData node = TreeNodeItem::data(item);
    // Refusals (a sibling of the root, a full level) come before the name is asked.
    if (m_service.newCode(node, relation).isEmpty())
        return;
    const bool child = relation == TreeCodeRule::Relation::Child;
    const QString title = QStringLiteral("添加 ") + node.code + QLatin1Char(' ') + node.name
                          + (child ? QStringLiteral(" 子类") : QStringLiteral(" 同类"));
    const QString name = TDLGenterCaption::getText(this, title, {}, &TreeCodeService::nameProblem);
    if (name.trimmed().isEmpty())
        return;
    QString parentPath;
    if (child)
        parentPath = node.path;
    else
        parentPath = node.depth() == 1 ? TreePath::rootPath() : TreeNodeItem::buildPath(item, true);
    const std::optional<tNodeData> added = m_service.add(node, relation, name, parentPath);
    if (!added)
        return;
    QTreeWidgetItem *parent = child ? item : item->parent();
    TreeIcons::refresh(TreeNodeItem::addChild(parent, *added));
    TreeIcons::refresh(parent);
    parent->setExpanded(true);
}

void TFrmTreeCodeMan::renameNode()
{
    QTreeWidgetItem *item = tvTree->currentItem();
    if (!item || TreeNodeItem::data(item).isRoot())
        return;
    const tNodeData node = TreeNodeItem::data(item);
    const QString title = QStringLiteral("修改类别 ") + node.code + QLatin1Char(' ') + node.name + QStringLiteral(" 子类");
    const QString name = TDLGenterCaption::getText(this, title, node.name, &TreeCodeService::nameProblem);
    if (name.trimmed().isEmpty())
        return;
    const std::optional<tNodeData> renamed = m_service.rename(node, name, TreeNodeItem::data(item->parent()).path);
    if (!renamed)
        return;
    TreeNodeItem::setData(item, *renamed);
    TreeNodeItem::rebaseDescendants(item, node.path, renamed->path);
}

void TFrmTreeCodeMan::deleteNode()
{
    QTreeWidgetItem *item = tvTree->currentItem();
    if (!item || TreeNodeItem::data(item).isRoot())
        return;
    const tNodeData node = TreeNodeItem::data(item);
    const QString question = item->childCount() == 0
                                 ? QStringLiteral("真的要删除当前节点 “") + node.code + node.name + QStringLiteral("” 吗？")
                                 : QStringLiteral("此节点包含有子节点，真的要删除所有的子节点吗？");
    if (ShowMess(question, MessQuestion) != AnswerYes)
        return;
    if (!m_service.remove(node))
        return;
    QTreeWidgetItem *parent = item->parent();
    delete item;
    TreeIcons::refresh(parent);
    updateActions();
}

void TFrmTreeCodeMan::choose()
{
    const QTreeWidgetItem *item = tvTree->currentItem();
    if (!item || TreeNodeItem::data(item).isRoot()) {
        ShowMess(QStringLiteral("不能选择根节点！"), MessInfo);
        return;
    }
    accept();
}

void TFrmTreeCodeMan::onDoubleClick(QTreeWidgetItem *item)
{
    if (TreeNodeItem::data(item).isRoot())
        ShowMess(QStringLiteral("不能选择根节点！"), MessInfo);
    else if (isSelectMode())
        choose();
}

bool TFrmTreeCodeMan::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == tvTree && event->type() == QEvent::KeyPress && isSelectMode()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            choose();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmTreeCodeMan::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    tvTree->setFocus();
}

void TFrmTreeCodeMan::manage(TdmData &dm, int mode, QWidget *parent)
{
    TFrmTreeCodeMan window(dm, mode, parent);
    DispFormPos(&window, 1);
    window.exec();
}

QString TFrmTreeCodeMan::selectPath(TdmData &dm, int mode, const QString &path, QWidget *parent)
{
    TFrmTreeCodeMan window(dm, mode, parent);
    window.markPath(path);
    DispFormPos(&window, 1);
    return window.exec() == QDialog::Accepted ? window.selectedPath() : path;
}

} // namespace Quellon
