#pragma once

#include "EntrySequence.h"
#include "LoginSession.h"

#include <QHash>
#include <QMainWindow>

class QAction;
class QLabel;
class QMenu;
class QTabWidget;
class QTimer;
class QToolBar;

namespace Quellon {

class AppConfig;
class DataGrid;
class Database;
class RecordListPage;

// The program's long-lived window: every command as a numbered action shown
// by the operator's permissions, the menus, tool bar and keys that reach
// them, the four pages, and the status bar with its running clock.
class MainWindow : public QMainWindow, public MainWindowHost
{
    Q_OBJECT
public:
    enum Page { HousePage = 0, ClientPage = 1, RecycleBinPage = 2, RemindersPage = 3 };

    MainWindow(Database &db, AppConfig &config, QWidget *parent = nullptr);

    QWidget *window() override { return this; }
    // A login: the first one before the window shows, later ones after a
    // change of operator, which rebuilds every list, tree and search list
    // under the new operator.
    void applyLogin(const LoginSession &session) override;
    const LoginSession &session() const { return m_session; }

    QAction *action(int number) const { return m_actions.value(number); }
    RecordListPage *housePage() const { return m_housePage; }
    RecordListPage *clientPage() const { return m_clientPage; }
    QTabWidget *pages() const { return m_pages; }
    QString statusText(int panel) const;

    // Runs the list of the page shown again (and the house list).
    void refresh();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    QAction *makeAction(int number);
    QMenu *addMenu(const QString &caption, const QString &objectName);
    void addActions(QMenu *menu, const QList<int> &numbers);
    QAction *addPlainEntry(QMenu *menu, const QString &caption, const QString &objectName);

    void applyVisibility(const QHash<QString, bool> &visibility);
    void pageChanged(int page);
    void updateEditAction();
    RecordListPage *currentListPage() const;
    DataGrid *currentGrid() const;
    QString currentLayoutName() const;

    void changeOperator(bool fromToolBar);
    void runAutomaticBackup();
    void sortCurrentGrid();
    void chooseCurrentColumns();
    void saveCurrentLayout();
    void deleteCurrent();
    void startTool(const QStringList &programs, const QString &missing);
    void openBesideProgram(const QString &fileName);
    void tick();

    Database &m_db;
    AppConfig &m_config;
    LoginSession m_session;
    QHash<int, QAction *> m_actions;
    QTabWidget *m_pages;
    RecordListPage *m_housePage;
    RecordListPage *m_clientPage;
    QToolBar *m_toolBar;
    QMenu *m_houseOutputMenu = nullptr;
    QMenu *m_clientOutputMenu = nullptr;
    QAction *m_treeViewAction = nullptr;
    QList<QLabel *> m_panels;
    QTimer *m_timer;
    bool m_shownOnce = false;
};

} // namespace Quellon
