#include "MainWindow.h"

#include "AppConfig.h"
#include "BackupService.h"
#include "GridLayoutNames.h"
#include "HouseListQuery.h"
#include "ProductInfo.h"
#include "DataGrid.h"
#include "GridLayoutStore.h"
#include "GridModel.h"
#include "CodeListWindow.h"
#include "ColumnChooserDialog.h"
#include "CodeTreeWindow.h"
#include "SortDialog.h"
#include "Clock.h"
#include "WindowPlacement.h"
#include "Messages.h"
#include "Permissions.h"
#include "Database.h"
#include "LoginDialog.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace Quellon {

MainWindow::MainWindow(Database &dm, AppConfig &config, QWidget *parent)
    : QMainWindow(parent), m_dm(dm), m_config(config)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(ProductInfo::mainWindowTitle());
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
            [this] { CodeTreeWindow::manage(m_dm, CodeTreeWindow::ManageArea, m_session.imeName, this); });
    connect(addGoverned(file, 106, QStringLiteral("客户分类")), &QAction::triggered, this,
            [this] { CodeTreeWindow::manage(m_dm, CodeTreeWindow::ManageClientType, m_session.imeName, this); });
    file->addSeparator();
    connect(addGoverned(file, 104, QStringLiteral("选项...")), &QAction::triggered, this,
            [this] { CodeListWindow::manage(m_dm, m_session.imeName, this); });
    file->addSeparator();
    QAction *relogin = file->addAction(QStringLiteral("重新登录"));
    relogin->setObjectName(QStringLiteral("changeOperatorAction"));
    connect(relogin, &QAction::triggered, this, &MainWindow::changeOperator);
    file->addSeparator();
    QAction *quit = file->addAction(QStringLiteral("退出系统"));
    quit->setObjectName(QStringLiteral("exitAction"));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("编辑"));
    edit->setObjectName(Permissions::editMenu());
    connect(addGoverned(edit, 204, QStringLiteral("排序...")), &QAction::triggered, this,
            [this] { SortDialog::sortGrid(*m_houses, this); });
    connect(addGoverned(edit, 205, QStringLiteral("显示字段选择")), &QAction::triggered, this,
            [this] { ColumnChooserDialog::chooseFields(*m_houses, this); });
    connect(addGoverned(edit, 206, QStringLiteral("保存当前网格")), &QAction::triggered, this,
            [this] { saveHouseLayout(); });

    auto *userLabel = new QLabel(QStringLiteral(" 当前用户"), this);
    userLabel->setMinimumWidth(100);
    m_operator = new QLabel(this);
    m_operator->setMinimumWidth(100);
    auto *dateLabel = new QLabel(QStringLiteral(" 当前日期时间"), this);
    dateLabel->setMinimumWidth(100);
    m_clock = new QLabel(this);
    m_clock->setMinimumWidth(140);
    auto *product = new QLabel(ProductInfo::title(), this);
    product->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    statusBar()->addWidget(userLabel);
    statusBar()->addWidget(m_operator);
    statusBar()->addWidget(dateLabel);
    statusBar()->addWidget(m_clock);
    statusBar()->addWidget(product, 1);

    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &MainWindow::tick);
    m_timer->start(1000);
    tick();
}

QAction *MainWindow::addGoverned(QMenu *menu, int number, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(Permissions::actionName(number));
    return action;
}

void MainWindow::queryHouses()
{
    m_houses->setQuery(HouseListQuery::forSession(m_session));
}

void MainWindow::tick()
{
    m_clock->setText(QLatin1Char(' ') + Clock::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
}

void MainWindow::applyLogin(const LoginSession &session)
{
    m_session = session;
    m_operator->setText(QLatin1Char(' ') + session.operatorName);
    applyVisibility(session.visibility);
    if (m_shownOnce)
        queryHouses();
}

void MainWindow::applyVisibility(const QHash<QString, bool> &visibility)
{
    for (auto it = visibility.cbegin(); it != visibility.cend(); ++it) {
        if (auto *action = findChild<QAction *>(it.key()))
            action->setVisible(it.value());
        else if (auto *menu = findChild<QMenu *>(it.key()))
            menu->menuAction()->setVisible(it.value());
    }
}

void MainWindow::changeOperator()
{
    LoginDialog login(m_dm, &m_config, LoginService::Mode::ChangeOperator, &m_session, this);
    placeWindow(&login, Placement::OverActiveWindow);
    if (login.exec() != QDialog::Accepted)
        return;
    applyLogin(login.session());
    m_operator->setText(m_session.operatorName);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    if (BackupService::isDue(m_config.autoBackupChoice(), Clock::today()))
        runAutomaticBackup();
    GridLayoutStore layouts(m_dm);
    const GridColumns columns = layouts.load(GridLayoutNames::HouseMain);
    if (!columns.isEmpty())
        m_houses->setColumns(GridLayoutStore::withNumberFormats(columns, m_session.amountFormat, m_session.priceFormat,
                                                                 m_session.valueFormat));
    queryHouses();
}

void MainWindow::runAutomaticBackup()
{
    BackupService backup(m_dm);
    BackupService::Outcome outcome = backup.runAutomatic(Clock::today(), false);
    if (outcome.result == BackupService::Outcome::FolderMissing) {
        if (!confirm(QStringLiteral("当前目录") + outcome.folder + QStringLiteral(" 不存在，是否创建！")))
            return;
        outcome = backup.runAutomatic(Clock::today(), true);
    }
    if (outcome.result == BackupService::Outcome::Failed)
        showMessage(outcome.message, MessageKind::Error);
}

void MainWindow::saveHouseLayout()
{
    if (!confirm(QStringLiteral("真的要保存当前网格设置吗？")))
        return;
    GridLayoutStore(m_dm).save(GridLayoutNames::HouseMain, m_houses->columns());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (confirm(QStringLiteral("真的要退出“%1 ”软件吗？").arg(ProductInfo::name())))
        event->accept();
    else
        event->ignore();
}

} // namespace Quellon
