#pragma once

#include "LoginSession.h"
#include "RecordPageConfig.h"

#include <QHash>
#include <QTimer>
#include <QVariantMap>
#include <QWidget>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace Quellon {

class DataGrid;
class Database;

// The house page and the client page of the main window: a tree on the left,
// a search bar on top, the list in the middle and the current record's
// details below. What differs between the two comes from its configuration;
// which rows are listed comes from the list query classes, the page only
// wires controls to them.
class RecordListPage : public QWidget
{
    Q_OBJECT
public:
    RecordListPage(Database &db, RecordPageConfig config, QWidget *parent = nullptr);

    const RecordPageConfig &config() const { return m_config; }
    DataGrid *grid() const { return m_grid; }
    QList<DataGrid *> detailGrids() const;
    // The detail grid shown, or null when a tab of fields or pictures is.
    DataGrid *currentDetailGrid() const;
    int detailEntry() const { return m_detailEntry; }

    // A new login: rebuilds the tree, the search fields and their value
    // lists, applies masking, and runs the list under the new login.
    void applySession(const LoginSession &session);
    // Applies the saved layouts of the main grid and the detail grids.
    void loadLayouts();
    // Runs the list query from the search bar, the tree and the radio group.
    void runQuery();
    // Runs the list again with its present statement, keeping the current row.
    void refresh();

    bool isTreeShown() const;
    void setTreeShown(bool shown);

    // The current record's stored values (unmasked), empty when none.
    QVariantMap currentRecord() const { return m_current; }
    qint64 currentKey() const;
    int rowCount() const;

    // Moves the current record to the recycle bin after the ownership check
    // and the question.
    void deleteCurrent();

    // For tests: the controls of the search bar and the tree.
    QComboBox *fieldCombo() const { return m_fieldCombo; }
    QLineEdit *textEdit() const { return m_textEdit; }
    QComboBox *valueCombo() const { return m_valueCombo; }
    QTreeWidget *tree() const { return m_tree; }
    QListWidget *detailList() const { return m_detailList; }
    QLabel *countLabel() const { return m_countLabel; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // The tree button was clicked: the window switches the tree of the house page.
    void treeToggleRequested();
    void detailEntryChanged(int entry);
    // A row was double-clicked or Enter pressed on it.
    void editRequested();
    void rowCountChanged(int rows);

private:
    QWidget *buildSearchBar();
    QWidget *buildDetailArea();
    QWidget *buildFieldTab(const RecordPageConfig::DetailTab &tab);
    void fieldChanged();
    void searchChanged();
    void treeActivated(QTreeWidgetItem *item);
    void currentChanged(qint64 key);
    void showDetailEntry(int entry);
    void refreshDetail();
    void loadCurrentRecord(qint64 key);
    QString shownValue(const QString &column) const;
    ListSearch searchState() const;

    Database &m_db;
    RecordPageConfig m_config;
    LoginSession m_session;
    QList<int> m_offered;

    QComboBox *m_fieldCombo;
    QStackedWidget *m_valueStack;
    QLineEdit *m_textEdit;
    QComboBox *m_valueCombo;
    QButtonGroup *m_transactionGroup;
    QToolButton *m_treeButton;
    QPushButton *m_advancedButton;
    QTreeWidget *m_tree;
    QSplitter *m_treeSplitter;
    DataGrid *m_grid;
    QLabel *m_countLabel;
    QListWidget *m_detailList;
    QStackedWidget *m_detailStack;
    QHash<int, DataGrid *> m_detailGrids;            // by detail entry
    QHash<QString, QWidget *> m_fieldEditors;        // by column, lower case
    QTimer m_searchPause;
    QVariantMap m_current;
    int m_detailEntry = 0;
    bool m_filling = false;
};

} // namespace Quellon
