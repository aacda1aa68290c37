#pragma once

#include "TreeCodeService.h"

#include <QDialog>

class QAction;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace Quellon {

class Database;

// The window over one tree: house regions or client categories, to manage
// them (modes 1 and 3) or to choose a node for a field (modes 2 and 4).
// Every add, rename and delete is stored at once.
class CodeTreeWindow : public QDialog
{
    Q_OBJECT
public:
    enum Mode { ManageArea = 1, SelectArea = 2, ManageClientType = 3, SelectClientType = 4 };

    // imeName is the operator's preferred input method for the name dialog.
    CodeTreeWindow(Database &dm, Mode mode, const QString &imeName = {}, QWidget *parent = nullptr);

    Mode mode() const { return m_mode; }
    bool isSelectMode() const { return m_mode == SelectArea || m_mode == SelectClientType; }
    QString flag() const { return m_service.flag(); }
    QTreeWidget *tree() const { return m_tree; }

    // Selects and expands every node whose path is path; with several, the
    // last one stays selected.
    void markPath(const QString &path);
    // The path of the selected node.
    QString selectedPath() const;

    // Modes 1 and 3: the tree to manage, modally.
    static void manage(Database &dm, Mode mode, const QString &imeName, QWidget *parent = nullptr);
    // Modes 2 and 4: the chosen node's path after OK, otherwise path unchanged.
    static QString selectPath(Database &dm, Mode mode, const QString &path, const QString &imeName, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void addNode(TreeCodeRule::Relation relation);
    void renameNode();
    void deleteNode();
    void choose();
    void onDoubleClick(QTreeWidgetItem *item);
    void updateActions();

    Mode m_mode;
    QString m_imeName;
    TreeCodeService m_service;
    QTreeWidget *m_tree;
    QPushButton *m_addSiblingButton;
    QPushButton *m_addChildButton;
    QPushButton *m_renameButton;
    QPushButton *m_deleteButton;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
    QAction *m_deleteAction;
};

} // namespace Quellon
