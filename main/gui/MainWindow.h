#pragma once

#include "EntrySequence.h"
#include "LoginSession.h"

#include <QMainWindow>

class QLabel;
class QMenu;
class QTimer;

namespace Quellon {

class AppConfig;
class DataGrid;
class Database;

// The program's long-lived window: title, menus, status bar with the operator
// and a running clock. Its pages join it as they are built.
class MainWindow : public QMainWindow, public MainWindowHost
{
    Q_OBJECT
public:
    MainWindow(Database &dm, AppConfig &config, QWidget *parent = nullptr);

    QWidget *window() override { return this; }
    void applyLogin(const LoginSession &session) override;
    const LoginSession &session() const { return m_session; }

    // Shows every governed action and menu as the login state says.
    void applyVisibility(const QHash<QString, bool> &visibility);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

    DataGrid *houseGrid() const { return m_houses; }
    // Runs the house list for the operator now logged in.
    void queryHouses();

private:
    QAction *addGoverned(QMenu *menu, int number, const QString &caption);
    void changeOperator();
    void saveHouseLayout();
    void runAutomaticBackup();
    void tick();

    Database &m_dm;
    AppConfig &m_config;
    LoginSession m_session;
    DataGrid *m_houses;
    QLabel *m_houseCount;
    QLabel *m_operator;
    QLabel *m_clock;
    QTimer *m_timer;
    bool m_shownOnce = false;
};

} // namespace Quellon
