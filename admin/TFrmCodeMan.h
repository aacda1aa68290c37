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

class TdmData;

// The code-list window: one page per list kind, a one-column grid of the
// page's entries. Browsing and editing are two states; edits are cached and
// written together by "保存" or thrown away by "取消".
class TFrmCodeMan : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmCodeMan(TdmData &dm, QWidget *parent = nullptr);

    bool isEditing() const { return m_editing; }
    QString currentKind() const { return m_cache.kind(); }
    QTableWidget *grid() const { return grdCode; }
    QToolBar *toolBar() const { return m_toolBar; }

    // The window of the main window's "选项..." entry, modally.
    static void manage(TdmData &dm, QWidget *parent = nullptr);

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
    int m_page = -1;
    bool m_editing = false;
    bool m_filling = false;
    QToolBar *m_toolBar;
    QAction *actAdd;
    QAction *actModify;
    QAction *actDelete;
    QAction *actSave;
    QAction *actCancel;
    QAction *actPrint;
    QAction *actRefresh;
    QAction *actExit;
    QButtonGroup *m_pages;
    QTableWidget *grdCode;
    QLabel *lblCount;
    QLabel *lblState;
};

} // namespace Quellon
