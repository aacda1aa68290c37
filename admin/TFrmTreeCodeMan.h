#pragma once

#include "TreeCodeService.h"

#include <QDialog>

class QAction;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace Quellon {

class TdmData;

// The window over one tree: house regions or client categories, to manage
// them (modes 1 and 3) or to choose a node for a field (modes 2 and 4).
// Every add, rename and delete is stored at once.
class TFrmTreeCodeMan : public QDialog
{
    Q_OBJECT
public:
    enum Mode { ManageArea = 1, SelectArea = 2, ManageClientType = 3, SelectClientType = 4 };

    TFrmTreeCodeMan(TdmData &dm, int mode, QWidget *parent = nullptr);

    int mode() const { return m_mode; }
    bool isSelectMode() const { return m_mode == SelectArea || m_mode == SelectClientType; }
    QString flag() const { return m_service.flag(); }
    QTreeWidget *tree() const { return tvTree; }

    // Selects and expands every node whose path is path; with several, the
    // last one stays selected.
    void markPath(const QString &path);
    // The path of the selected node.
    QString selectedPath() const;

    // Modes 1 and 3: the tree to manage, modally.
    static void manage(TdmData &dm, int mode, QWidget *parent = nullptr);
    // Modes 2 and 4: the chosen node's path after OK, otherwise path unchanged.
    static QString selectPath(TdmData &dm, int mode, const QString &path, QWidget *parent = nullptr);

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

    int m_mode;
    TreeCodeService m_service;
    QTreeWidget *tvTree;
    QPushButton *btnAddSibling;
    QPushButton *btnAddChild;
    QPushButton *btnRename;
    QPushButton *btnDelete;
    QPushButton *btnOk;
    QPushButton *btnCancel;
    QAction *actDelete;
};

} // namespace Quellon
