#include "uFrmMain.h"

#include "AppConfig.h"
#include "Clock.h"
#include "FormPosition.h"
#include "Messages.h"
#include "Permissions.h"
#include "PubUnit.h"
#include "TdmData.h"
#include "uFrmOperLogin.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace Quellon {

TFrmMain::TFrmMain(TdmData &dm, AppConfig &config, QWidget *parent)
    : QMainWindow(parent), m_dm(dm), m_config(config)
{
    setObjectName(QStringLiteral("TFrmMain"));
    setWindowTitle(QStringLiteral("Quellon房产中介管理软件 v1.85(企业版) "));
    resize(1024, 738);

    QMenu *system = menuBar()->addMenu(QStringLiteral("文件"));
    QAction *relogin = system->addAction(QStringLiteral("重新登录"));
    relogin->setObjectName(QStringLiteral("actReLogin"));
    connect(relogin, &QAction::triggered, this, &TFrmMain::changeOperator);
    system->addSeparator();
    QAction *quit = system->addAction(QStringLiteral("退出系统"));
    quit->setObjectName(QStringLiteral("actExit"));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    auto *body = new QLabel(QStringLiteral("欢迎使用 Quellon房产中介管理软件"), this);
    body->setAlignment(Qt::AlignCenter);
    QFont f = body->font();
    f.setPointSize(18);
    body->setFont(f);
    setCentralWidget(body);

    auto *userLabel = new QLabel(QStringLiteral(" 当前用户"), this);
    userLabel->setMinimumWidth(100);
    m_operator = new QLabel(this);
    m_operator->setMinimumWidth(100);
    auto *dateLabel = new QLabel(QStringLiteral(" 当前日期时间"), this);
    dateLabel->setMinimumWidth(100);
    m_clock = new QLabel(this);
    m_clock->setMinimumWidth(140);
    auto *product = new QLabel(QStringLiteral("Quellon房产中介管理软件(企业版)"), this);
    product->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    statusBar()->addWidget(userLabel);
    statusBar()->addWidget(m_operator);
    statusBar()->addWidget(dateLabel);
    statusBar()->addWidget(m_clock);
    statusBar()->addWidget(product, 1);

    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &TFrmMain::tick);
    m_timer->start(1000);
    tick();
}

void TFrmMain::tick()
{
    m_clock->setText(QLatin1Char(' ') + Clock::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
}

void TFrmMain::applyLogin(const LoginState &state)
{
    m_operator->setText(QLatin1Char(' ') + state.operatorName);
    applyVisibility(state.visibility);
}

void TFrmMain::applyVisibility(const QHash<QString, bool> &visibility)
{
    for (auto it = visibility.cbegin(); it != visibility.cend(); ++it) {
        if (auto *action = findChild<QAction *>(it.key()))
            action->setVisible(it.value());
        else if (auto *menu = findChild<QMenu *>(it.key()))
            menu->menuAction()->setVisible(it.value());
    }
}

void TFrmMain::changeOperator()
{
    TfrmOperLogin login(m_dm, &m_config, LoginService::Mode::ChangeOperator, this);
    DispFormPos(&login, 1);
    if (login.exec() != QDialog::Accepted)
        return;
    currentLogin() = login.loginState();
    applyLogin(currentLogin());
    m_operator->setText(currentLogin().operatorName);
}

void TFrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    if (TdmData::autoBackupDue(m_config.ibak(), Clock::today()))
        m_dm.AutoBackup();
}

void TFrmMain::closeEvent(QCloseEvent *event)
{
    if (ShowMess(QStringLiteral("真的要退出“Quellon房产中介管理软件 ”软件吗？"), MessQuestion) == AnswerYes)
        event->accept();
    else
        event->ignore();
}

} // namespace Quellon
