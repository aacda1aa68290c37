#include "uFrmMain.h"

#include "AppConfig.h"
#include "DataGrid.h"
#include "GridLayoutStore.h"
#include "GridModel.h"
#include "TFrmCodeMan.h"
#include "TFrmDispFieldXZ.h"
#include "TFrmTreeCodeMan.h"
#include "TfrmRowArrangeGl.h"
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

    m_houses = new DataGrid(dm, this);
    m_houses->setObjectName(QStringLiteral("houseGrid"));
    m_houses->setTitleClickSort(true);
    m_houseCount = new QLabel(this);
    m_houseCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *body = new QWidget(this);
    auto *bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(4, 4, 4, 0);
    bodyLayout->addWidget(m_houses, 1);
    bodyLayout->addWidget(m_houseCount);
    setCentralWidget(body);
    connect(m_houses->model(), &GridModel::reloaded, this, [this] {
        m_houseCount->setText(QStringLiteral("房产登记总数： %1 条  ").arg(m_houses->model()->rowCount()));
    });

    QMenu *file = menuBar()->addMenu(QStringLiteral("文件"));
    file->setObjectName(Permissions::fileMenu());
    connect(addGoverned(file, 105, QStringLiteral("房产区域")), &QAction::triggered, this,
            [this] { TFrmTreeCodeMan::manage(m_dm, TFrmTreeCodeMan::ManageArea, this); });
    connect(addGoverned(file, 106, QStringLiteral("客户分类")), &QAction::triggered, this,
            [this] { TFrmTreeCodeMan::manage(m_dm, TFrmTreeCodeMan::ManageClientType, this); });
    file->addSeparator();
    connect(addGoverned(file, 104, QStringLiteral("选项...")), &QAction::triggered, this,
            [this] { TFrmCodeMan::manage(m_dm, this); });
    file->addSeparator();
    QAction *relogin = file->addAction(QStringLiteral("重新登录"));
    relogin->setObjectName(QStringLiteral("actReLogin"));
    connect(relogin, &QAction::triggered, this, &TFrmMain::changeOperator);
    file->addSeparator();
    QAction *quit = file->addAction(QStringLiteral("退出系统"));
    quit->setObjectName(QStringLiteral("actExit"));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("编辑"));
    edit->setObjectName(Permissions::editMenu());
    connect(addGoverned(edit, 204, QStringLiteral("排序...")), &QAction::triggered, this,
            [this] { TfrmRowArrangeGl::sortGrid(*m_houses, this); });
    connect(addGoverned(edit, 205, QStringLiteral("显示字段选择")), &QAction::triggered, this,
            [this] { TFrmDispFieldXZ::chooseFields(*m_houses, this); });
    connect(addGoverned(edit, 206, QStringLiteral("保存当前网格")), &QAction::triggered, this,
            [this] { GridLayoutStore(m_dm).confirmAndSave(*m_houses, QStringLiteral("HouseMain")); });

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

QAction *TFrmMain::addGoverned(QMenu *menu, int number, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(Permissions::actionName(number));
    return action;
}

void TFrmMain::queryHouses()
{
    GridQuery query(QStringLiteral("select * from House where (F_flag=0) ") + currentLogin().scopeCondition(),
                    QStringLiteral("F_code"));
    query.setRowTable(QStringLiteral("House"));
    m_houses->setQuery(query);
}

void TFrmMain::tick()
{
    m_clock->setText(QLatin1Char(' ') + Clock::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
}

void TFrmMain::applyLogin(const LoginState &state)
{
    m_operator->setText(QLatin1Char(' ') + state.operatorName);
    applyVisibility(state.visibility);
    if (m_shownOnce)
        queryHouses();
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
    GridLayoutStore layouts(m_dm);
    const LoginState &login = currentLogin();
    const GridColumns columns = layouts.load(QStringLiteral("housemain"));
    if (!columns.isEmpty())
        m_houses->setColumns(GridLayoutStore::withNumberFormats(columns, login.amountFormat, login.priceFormat,
                                                                 login.valueFormat));
    queryHouses();
}

void TFrmMain::closeEvent(QCloseEvent *event)
{
    if (ShowMess(QStringLiteral("真的要退出“Quellon房产中介管理软件 ”软件吗？"), MessQuestion) == AnswerYes)
        event->accept();
    else
        event->ignore();
}

} // namespace Quellon
