#pragma once

#include "CodeListCache.h"

#include <QDialog>
#include <QStyle>

class QAction;
class QButtonGroup;
class QLabel;
class QTableWidget;
class QToolBar;

namespace Quellon {

class Database;

// The code-list window: one page per list kind, a one-column grid of the
// page's entries. Browsing and editing are two states; edits are cached and
// written together by "保存" or thrown away by "取消".
class CodeListWindow : public QDialog
{
    Q_OBJECT
public:
    // imeName is the operator's preferred input method for the entries.
    explicit CodeListWindow(Database &dm, const QString &imeName = {}, QWidget *parent = nullptr);

    bool isEditing() const { return m_editing; }
    QString currentKind() const { return m_cache.kind(); }
    QTableWidget *grid() const { return m_codeTable; }
    QToolBar *toolBar() const { return m_toolBar; }

    // The window of the main window's "选项..." entry, modally.
    static void manage(Database &dm, const QString &imeName, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QAction *makeAction(const QString &text, const QString &name, QStyle::StandardPixmap icon);
    void showPage(int index);
    void fillGrid();
    void appendRow();
    void postEdit();
    void setEditState(bool editing);
    void updateStatus();

    void onAdd();
    void onModify();
    void onDelete();
    void onSave();
    void onCancel();
    void onPrint();
    void onRefresh();

    CodeListCache m_cache;
    QString m_imeName;
    int m_page = -1;
    bool m_editing = false;
    bool m_filling = false;
    QToolBar *m_toolBar;
    QAction *m_addAction;
    QAction *m_modifyAction;
    QAction *m_deleteAction;
    QAction *m_saveAction;
    QAction *m_cancelAction;
    QAction *m_printAction;
    QAction *m_refreshAction;
    QAction *m_exitAction;
    QButtonGroup *m_pages;
    QTableWidget *m_codeTable;
    QLabel *m_countLabel;
    QLabel *m_stateLabel;
};

} // namespace Quellon
