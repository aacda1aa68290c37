#include "CodeTreeWindow.h"

#include "WindowPlacement.h"
#include "Messages.h"
#include "NameInputDialog.h"
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
bool isClientTypeMode(CodeTreeWindow::Mode mode)
{
    return mode == CodeTreeWindow::ManageClientType || mode == CodeTreeWindow::SelectClientType;
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

CodeTreeWindow::CodeTreeWindow(Database &dm, Mode mode, const QString &imeName, QWidget *parent)
    : QDialog(parent)
    , m_mode(mode)
    , m_imeName(imeName)
    , m_service(dm, isClientTypeMode(mode) ? TreeCodeService::clientTypeFlag() : TreeCodeService::areaFlag())
{
    setObjectName(QStringLiteral("CodeTreeWindow"));
    const QString caption = isClientTypeMode(mode) ? QStringLiteral("客户分类") : QStringLiteral("所在区域");
    setWindowTitle(caption);

    auto *banner = new QLabel(QStringLiteral("    增加节点，需先选中左边框里的节点成灰色，然后才能选择增加同级节点或子节点"), this);
    banner->setObjectName(QStringLiteral("hintLabel"));
    banner->setWordWrap(true);
    banner->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("tree"));
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setDragDropMode(QAbstractItemView::NoDragDrop);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->installEventFilter(this);

    m_addSiblingButton = makeButton(QStringLiteral("添加同类(&A)"), QStringLiteral("addSiblingButton"), this);
    m_addChildButton = makeButton(QStringLiteral("添加子类(&C)"), QStringLiteral("addChildButton"), this);
    m_renameButton = makeButton(QStringLiteral("修    改(&E)"), QStringLiteral("renameButton"), this);
    m_deleteButton = makeButton(QStringLiteral("删除(包含子类)"), QStringLiteral("deleteButton"), this);
    m_okButton = makeButton(QStringLiteral("确定"), QStringLiteral("okButton"), this);
    m_cancelButton = makeButton(QStringLiteral("取消"), QStringLiteral("cancelButton"), this);
    m_okButton->setVisible(isSelectMode());
    m_cancelButton->setVisible(isSelectMode());

    auto *addSiblingAction = new QAction(QStringLiteral("添加同类(&A)"), this);
    auto *addChildAction = new QAction(QStringLiteral("添加子类(&C)"), this);
    auto *renameAction = new QAction(QStringLiteral("修    改"), this);
    auto *separator = new QAction(this);
    separator->setSeparator(true);
    m_deleteAction = new QAction(QStringLiteral("删除(包含子类)"), this);
    m_deleteAction->setObjectName(QStringLiteral("deleteAction"));
    m_tree->addActions({addSiblingAction, addChildAction, renameAction, separator, m_deleteAction});
    m_tree->setContextMenuPolicy(Qt::ActionsContextMenu);

    auto *buttons = new QVBoxLayout;
    for (QPushButton *button : {m_addSiblingButton, m_addChildButton, m_renameButton, m_deleteButton})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto *body = new QHBoxLayout;
    body->addWidget(m_tree, 1);
    body->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(banner);
    layout->addLayout(body, 1);
    resize(480, 440);

    const auto addSibling = [this] { addNode(TreeCodeRule::Relation::Sibling); };
    const auto addChild = [this] { addNode(TreeCodeRule::Relation::Child); };
    connect(m_addSiblingButton, &QPushButton::clicked, this, addSibling);
    connect(addSiblingAction, &QAction::triggered, this, addSibling);
    connect(m_addChildButton, &QPushButton::clicked, this, addChild);
    connect(addChildAction, &QAction::triggered, this, addChild);
    connect(m_renameButton, &QPushButton::clicked, this, &CodeTreeWindow::renameNode);
    connect(renameAction, &QAction::triggered, this, &CodeTreeWindow::renameNode);
    connect(m_deleteButton, &QPushButton::clicked, this, &CodeTreeWindow::deleteNode);
    connect(m_deleteAction, &QAction::triggered, this, &CodeTreeWindow::deleteNode);
    connect(m_okButton, &QPushButton::clicked, this, &CodeTreeWindow::choose);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, &CodeTreeWindow::onDoubleClick);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &CodeTreeWindow::updateActions);

    // The window sees these keys before the tree does.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this), &QShortcut::activated, this, &CodeTreeWindow::renameNode);
    connect(new QShortcut(QKeySequence(Qt::Key_Delete), this), &QShortcut::activated, this, [this] {
        if (m_deleteButton->isEnabled())
            deleteNode();
    });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QDialog::reject);

    QTreeWidgetItem *root = TreeLoader::load(m_tree, caption, flag(), dm);
    root->setExpanded(true);
    m_tree->setCurrentItem(root);
    updateActions();
}

void CodeTreeWindow::markPath(const QString &path)
{
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if (TreeNodeItem::data(*it).path != path)
            continue;
        m_tree->setCurrentItem(*it);
        (*it)->setExpanded(true);
        for (QTreeWidgetItem *above = (*it)->parent(); above; above = above->parent())
            above->setExpanded(true);
    }
    m_tree->scrollToItem(m_tree->currentItem());
}

QString CodeTreeWindow::selectedPath() const
{
    return TreeNodeItem::data(m_tree->currentItem()).path;
}

void CodeTreeWindow::updateActions()
{
    // The root is not stored: deleting it would leave the window rootless.
    const QTreeWidgetItem *item = m_tree->currentItem();
    const bool stored = item && !TreeNodeItem::data(item).isRoot();
    m_deleteButton->setEnabled(stored);
    m_deleteAction->setEnabled(stored);
}

void CodeTreeWindow::addNode(TreeCodeRule::Relation relation)
{
    QTreeWidgetItem *item = m_tree->currentItem();
    if (!item)
        return;
    const TreeNode node = TreeNodeItem::data(item);
    // Refusals (a sibling of the root, a full level) come before the name is asked.
    if (m_service.newCode(node, relation).isEmpty())
        return;
    const bool child = relation == TreeCodeRule::Relation::Child;
    const QString title = QStringLiteral("添加 ") + node.code + QLatin1Char(' ') + node.name
                          + (child ? QStringLiteral(" 子类") : QStringLiteral(" 同类"));
    const QString name = NameInputDialog::getText(this, title, {}, &TreeCodeService::nameProblem, m_imeName);
    if (name.trimmed().isEmpty())
        return;
    const std::optional<TreeNode> added = m_service.add(node, relation, name);
    if (!added)
        return;
    QTreeWidgetItem *parent = child ? item : item->parent();
    TreeIcons::refresh(TreeNodeItem::addChild(parent, *added));
    TreeIcons::refresh(parent);
    parent->setExpanded(true);
}

void CodeTreeWindow::renameNode()
{
    QTreeWidgetItem *item = m_tree->currentItem();
    if (!item || TreeNodeItem::data(item).isRoot())
        return;
    const TreeNode node = TreeNodeItem::data(item);
    const QString title = QStringLiteral("修改类别 ") + node.code + QLatin1Char(' ') + node.name + QStringLiteral(" 子类");
    const QString name = NameInputDialog::getText(this, title, node.name, &TreeCodeService::nameProblem, m_imeName);
    if (name.trimmed().isEmpty())
        return;
    const std::optional<TreeNode> renamed = m_service.rename(node, name);
    if (!renamed)
        return;
    TreeNodeItem::setData(item, *renamed);
    TreeNodeItem::rebaseDescendants(item, node.path, renamed->path);
}

void CodeTreeWindow::deleteNode()
{
    QTreeWidgetItem *item = m_tree->currentItem();
    if (!item || TreeNodeItem::data(item).isRoot())
        return;
    const TreeNode node = TreeNodeItem::data(item);
    const QString question = item->childCount() == 0
                                 ? QStringLiteral("真的要删除当前节点 “") + node.code + node.name + QStringLiteral("” 吗？")
                                 : QStringLiteral("此节点包含有子节点，真的要删除所有的子节点吗？");
    if (showMessage(question, MessageKind::Question) != AnswerYes)
        return;
    if (!m_service.remove(node))
        return;
    QTreeWidgetItem *parent = item->parent();
    delete item;
    TreeIcons::refresh(parent);
    updateActions();
}

void CodeTreeWindow::choose()
{
    const QTreeWidgetItem *item = m_tree->currentItem();
    if (!item || TreeNodeItem::data(item).isRoot()) {
        showMessage(QStringLiteral("不能选择根节点！"), MessageKind::Information);
        return;
    }
    accept();
}

void CodeTreeWindow::onDoubleClick(QTreeWidgetItem *item)
{
    if (TreeNodeItem::data(item).isRoot())
        showMessage(QStringLiteral("不能选择根节点！"), MessageKind::Information);
    else if (isSelectMode())
        choose();
}

bool CodeTreeWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tree && event->type() == QEvent::KeyPress && isSelectMode()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            choose();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CodeTreeWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_tree->setFocus();
}

void CodeTreeWindow::manage(Database &dm, Mode mode, const QString &imeName, QWidget *parent)
{
    CodeTreeWindow window(dm, mode, imeName, parent);
    placeWindow(&window, Placement::OverActiveWindow);
    window.exec();
}

QString CodeTreeWindow::selectPath(Database &dm, Mode mode, const QString &path, const QString &imeName, QWidget *parent)
{
    CodeTreeWindow window(dm, mode, imeName, parent);
    window.markPath(path);
    placeWindow(&window, Placement::OverActiveWindow);
    return window.exec() == QDialog::Accepted ? window.selectedPath() : path;
}

} // namespace Quellon
