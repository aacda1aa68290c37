#pragma once

#include "EntrySequence.h"

#include <QMainWindow>

class QLabel;
class QTimer;

namespace Quellon {

class AppConfig;
class TdmData;

// The program's long-lived window: title, menus, status bar with the operator
// and a running clock. Its pages join it as they are built.
class TFrmMain : public QMainWindow, public MainWindowHost
{
    Q_OBJECT
public:
    TFrmMain(TdmData &dm, AppConfig &config, QWidget *parent = nullptr);

    QWidget *window() override { return this; }
    void applyLogin(const LoginState &state) override;

    // Shows every governed action and menu as the login state says.
    void applyVisibility(const QHash<QString, bool> &visibility);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void changeOperator();
    void tick();

    TdmData &m_dm;
    AppConfig &m_config;
    QLabel *m_operator;
    QLabel *m_clock;
    QTimer *m_timer;
    bool m_shownOnce = false;
};

} // namespace Quellon
