#include "MainWindow.h"

#include "AppConfig.h"
#include "BackupService.h"
#include "Clock.h"
#include "CodeListWindow.h"
#include "CodeTreeWindow.h"
#include "ColumnChooserDialog.h"
#include "DataGrid.h"
#include "Database.h"
#include "GridLayoutNames.h"
#include "GridLayoutStore.h"
#include "GridModel.h"
#include "LoginDialog.h"
#include "MainActions.h"
#include "Messages.h"
#include "Permissions.h"
#include "ProductInfo.h"
#include "RecordListPage.h"
#include "SortDialog.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace Quellon {

namespace {
// The supplier's line in the status bar and the address its menu entry opens.
const QString SupplierContact = QStringLiteral("  技术支持：400-800-1885");
const QString SupplierSite = QStringLiteral("https://quellon.example.cn/");

QStyle::StandardPixmap iconOf(int number)
{
    switch (number) {
    case 201:
    case 901:
        return QStyle::SP_FileIcon;
    case 202:
    case 902:
        return QStyle::SP_FileDialogDetailedView;
    case 203:
    case 903:
    case 11:
        return QStyle::SP_TrashIcon;
    case 204:
    case 904:
    case 13:
        return QStyle::SP_ArrowDown;
    case 205:
    case 906:
    case 14:
        return QStyle::SP_FileDialogListView;
    case 206:
    case 907:
    case 15:
        return QStyle::SP_DialogSaveButton;
    case 207:
        return QStyle::SP_FileDialogNewFolder;
    case 12:
        return QStyle::SP_BrowserReload;
    default:
        if (number >= 300 && number < 400)
            return QStyle::SP_FileDialogContentsView;
        if (number >= 30 && number < 40)
            return QStyle::SP_FileDialogContentsView;
        if (number >= 500 && number < 600)
            return QStyle::SP_DriveHDIcon;
        if (number >= 600 && number < 700)
            return QStyle::SP_FileIcon;
        return QStyle::SP_CustomBase;
    }
}
} // namespace

MainWindow::MainWindow(Database &db, AppConfig &config, QWidget *parent)
    : QMainWindow(parent), m_db(db), m_config(config)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(ProductInfo::mainWindowTitle());
    resize(1024, 738);

    m_housePage = new RecordListPage(db, RecordPageConfig::houses(), this);
    m_clientPage = new RecordListPage(db, RecordPageConfig::clients(), this);
    auto *recycleBin = new QLabel(QStringLiteral("资料回收将在后续版本中提供。"), this);
    recycleBin->setAlignment(Qt::AlignCenter);
    auto *reminders = new QLabel(QStringLiteral("事务提醒将在后续版本中提供。"), this);
    reminders->setAlignment(Qt::AlignCenter);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pages"));
    m_pages->setTabPosition(QTabWidget::South);
    m_pages->addTab(m_housePage, QStringLiteral("房源管理"));
    m_pages->addTab(m_clientPage, QStringLiteral("客户管理"));
    m_pages->addTab(recycleBin, QStringLiteral("资料回收"));
    m_pages->addTab(reminders, QStringLiteral("事务提醒"));
    setCentralWidget(m_pages);

    createActions();
    createMenus();
    createToolBar();
    createStatusBar();

    for (RecordListPage *page : {m_housePage, m_clientPage}) {
        connect(page, &RecordListPage::treeToggleRequested, m_treeViewAction, &QAction::trigger);
        connect(page, &RecordListPage::editRequested, this, [this] {
            QAction *edit = m_actions.value(202);
            if (edit->isVisible() && edit->isEnabled())
                edit->trigger();
        });
        connect(page, &RecordListPage::detailEntryChanged, this, &MainWindow::updateEditAction);
    }
    connect(m_pages, &QTabWidget::currentChanged, this, &MainWindow::pageChanged);
    pageChanged(m_pages->currentIndex());

    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &MainWindow::tick);
    m_timer->start(1000);
    tick();
}

QAction *MainWindow::makeAction(int number)
{
    const MainAction *info = MainActions::find(number);
    auto *action = new QAction(QString::fromUtf8(info->caption), this);
    action->setObjectName(Permissions::actionName(number));
    const QStyle::StandardPixmap icon = iconOf(number);
    if (icon != QStyle::SP_CustomBase)
        action->setIcon(style()->standardIcon(icon));
    action->setEnabled(info->available);
    if (!info->available)
        action->setStatusTip(QStringLiteral("此功能将在后续版本中提供"));
    m_actions.insert(number, action);
    return action;
}

void MainWindow::createActions()
{
    for (const MainAction &info : MainActions::all())
        makeAction(info.number);

    // Keys reach their commands only while the command is visible and enabled.
    // Text fields keep their own editing keys (Delete, Ctrl+A): a key typed
    // into a search box edits the text, it never deletes a house.
    m_actions.value(201)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    m_actions.value(202)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    m_actions.value(203)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence(Qt::Key_Delete)});
    for (int number : {201, 202, 203})
        m_actions.value(number)->setShortcutContext(Qt::WindowShortcut);

    connect(m_actions.value(104), &QAction::triggered, this, [this] { CodeListWindow::manage(m_db, m_session.imeName, this); });
    connect(m_actions.value(105), &QAction::triggered, this, [this] {
        CodeTreeWindow::manage(m_db, CodeTreeWindow::ManageArea, m_session.imeName, this);
        m_housePage->applySession(m_session);
    });
    connect(m_actions.value(106), &QAction::triggered, this, [this] {
        CodeTreeWindow::manage(m_db, CodeTreeWindow::ManageClientType, m_session.imeName, this);
        m_clientPage->applySession(m_session);
    });
    connect(m_actions.value(203), &QAction::triggered, this, &MainWindow::deleteCurrent);
    connect(m_actions.value(204), &QAction::triggered, this, &MainWindow::sortCurrentGrid);
    connect(m_actions.value(205), &QAction::triggered, this, &MainWindow::chooseCurrentColumns);
    connect(m_actions.value(206), &QAction::triggered, this, &MainWindow::saveCurrentLayout);
    connect(m_actions.value(904), &QAction::triggered, this, [this] {
        if (DataGrid *grid = currentListPage() ? currentListPage()->currentDetailGrid() : nullptr)
            SortDialog::sortGrid(*grid, this);
    });
    connect(m_actions.value(906), &QAction::triggered, this, [this] {
        if (DataGrid *grid = currentListPage() ? currentListPage()->currentDetailGrid() : nullptr)
            ColumnChooserDialog::chooseFields(*grid, this);
    });
    connect(m_actions.value(907), &QAction::triggered, this, [this] {
        RecordListPage *page = currentListPage();
        DataGrid *grid = page ? page->currentDetailGrid() : nullptr;
        if (!grid || !confirm(QStringLiteral("真的要保存当前网格设置吗？")))
            return;
        GridLayoutStore(m_db).save(page->config().detailTabs.at(page->detailEntry()).gridLayout, grid->columns());
    });
}

QMenu *MainWindow::addMenu(const QString &caption, const QString &objectName)
{
    QMenu *menu = menuBar()->addMenu(caption);
    menu->setObjectName(objectName);
    return menu;
}

void MainWindow::addActions(QMenu *menu, const QList<int> &numbers)
{
    for (int number : numbers) {
        if (number == 0)
            menu->addSeparator();
        else
            menu->addAction(m_actions.value(number));
    }
}

QAction *MainWindow::addPlainEntry(QMenu *menu, const QString &caption, const QString &objectName)
{
    QAction *entry = menu->addAction(caption);
    entry->setObjectName(objectName);
    return entry;
}

void MainWindow::createMenus()
{
    // 0 stands for a separator.
    QMenu *file = addMenu(QStringLiteral("文件(&F)"), Permissions::fileMenu());
    addActions(file, {101, 102, 103, 105, 106, 0, 104, 107, 0});
    connect(addPlainEntry(file, QStringLiteral("重新登录(&L)"), QStringLiteral("changeOperatorAction")), &QAction::triggered,
            this, [this] { changeOperator(false); });
    connect(addPlainEntry(file, QStringLiteral("退出系统(&X)"), QStringLiteral("exitAction")), &QAction::triggered, this,
            &QWidget::close);

    QMenu *edit = addMenu(QStringLiteral("编辑(&E)"), Permissions::editMenu());
    addActions(edit, {201, 207, 202, 203, 0, 204, 205, 206});

    m_houseOutputMenu = addMenu(QStringLiteral("输出(&O)"), Permissions::houseOutputMenu());
    addActions(m_houseOutputMenu, {301, 302, 0, 303, 307, 304, 305, 306});
    // Each menu has an access key of its own: a key shared with the other
    // output menu, or with the pages' search labels (Alt+V), opens nothing.
    m_clientOutputMenu = addMenu(QStringLiteral("输出(&U)"), Permissions::clientOutputMenu());
    addActions(m_clientOutputMenu, {31, 32, 0, 33, 36, 34, 35});

    QMenu *statistics = addMenu(QStringLiteral("统计(&S)"), Permissions::statisticsMenu());
    addActions(statistics, {401, 0, 402, 403, 404, 405});

    QMenu *documents = addMenu(QStringLiteral("文档(&D)"), Permissions::documentsMenu());
    addActions(documents, {602, 603, 604, 605, 606, 607, 608});

    QMenu *data = addMenu(QStringLiteral("数据(&A)"), Permissions::dataMenu());
    addActions(data, {501});
    addPlainEntry(data, QStringLiteral("清空房源空行"), QStringLiteral("clearEmptyHousesAction"))->setEnabled(false);
    addActions(data, {506});
    addPlainEntry(data, QStringLiteral("清空客户空行"), QStringLiteral("clearEmptyClientsAction"))->setEnabled(false);
    addActions(data, {502, 503, 0, 504, 505});

    QMenu *view = addMenu(QStringLiteral("视图(&W)"), QStringLiteral("viewMenu"));
    QAction *toolBarView = addPlainEntry(view, QStringLiteral("工具栏(&T)"), QStringLiteral("toolBarViewAction"));
    m_treeViewAction = addPlainEntry(view, QStringLiteral("导航树(&N)"), QStringLiteral("treeViewAction"));
    QAction *statusBarView = addPlainEntry(view, QStringLiteral("状态栏(&S)"), QStringLiteral("statusBarViewAction"));
    for (QAction *check : {toolBarView, m_treeViewAction, statusBarView}) {
        check->setCheckable(true);
        check->setChecked(true);
    }
    connect(toolBarView, &QAction::toggled, this, [this](bool on) { m_toolBar->setVisible(on); });
    connect(statusBarView, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
    // The switch and the pages' tree buttons show or hide the house page's tree.
    connect(m_treeViewAction, &QAction::toggled, this, [this](bool on) { m_housePage->setTreeShown(on); });

    QMenu *tools = addMenu(QStringLiteral("工具(&T)"), QStringLiteral("toolsMenu"));
    connect(addPlainEntry(tools, QStringLiteral("计算器(&C)"), QStringLiteral("calculatorAction")), &QAction::triggered, this,
            [this] {
                startTool({QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("mate-calc"),
                           QStringLiteral("galculator"), QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc")},
                          QStringLiteral("没有找到计算器程序。请安装一个计算器（例如 gnome-calculator 或 kcalc）后再试。"));
            });
    connect(addPlainEntry(tools, QStringLiteral("笔记本(&N)"), QStringLiteral("notepadAction")), &QAction::triggered, this,
            [this] {
                startTool({QStringLiteral("gedit"), QStringLiteral("gnome-text-editor"), QStringLiteral("kate"),
                           QStringLiteral("kwrite"), QStringLiteral("mousepad"), QStringLiteral("pluma"),
                           QStringLiteral("xed"), QStringLiteral("featherpad"), QStringLiteral("leafpad")},
                          QStringLiteral("没有找到文本编辑程序。请安装一个文本编辑器（例如 gedit 或 mousepad）后再试。"));
            });

    QMenu *help = addMenu(QStringLiteral("帮助(&H)"), QStringLiteral("helpMenu"));
    connect(addPlainEntry(help, QStringLiteral("帮助文件(&H)"), QStringLiteral("helpFileAction")), &QAction::triggered, this,
            [this] { openBesideProgram(QStringLiteral("help/index.html")); });
    addPlainEntry(help, QStringLiteral("每日一贴"), QStringLiteral("tipOfTheDayAction"))->setVisible(false);
    addPlainEntry(help, QStringLiteral("常见问题"), QStringLiteral("faqAction"))->setEnabled(false);
    help->addSeparator();
    connect(addPlainEntry(help, QStringLiteral("自述文件(&R)"), QStringLiteral("readmeAction")), &QAction::triggered, this,
            [this] { openBesideProgram(QStringLiteral("readme.txt")); });
    connect(addPlainEntry(help, QStringLiteral("最新功能(&W)"), QStringLiteral("whatIsNewAction")), &QAction::triggered, this,
            [this] { openBesideProgram(QStringLiteral("whatisnew.txt")); });
    help->addSeparator();
    addPlainEntry(help, QStringLiteral("关于我们(&A)"), QStringLiteral("aboutAction"))->setEnabled(false);
    connect(addPlainEntry(help, QStringLiteral("浏览作者的网站(&B)"), QStringLiteral("supplierSiteAction")), &QAction::triggered,
            this, [] { QDesktopServices::openUrl(QUrl(SupplierSite)); });

    // Pop-up menus of the grids.
    for (RecordListPage *page : {m_housePage, m_clientPage}) {
        QWidget *view = page->grid()->view();
        view->setContextMenuPolicy(Qt::ActionsContextMenu);
        for (int number : {201, 207, 202, 203, 0, 204, 205, 206}) {
            if (number == 0) {
                auto *separator = new QAction(view);
                separator->setSeparator(true);
                view->addAction(separator);
            } else {
                view->addAction(m_actions.value(number));
            }
        }
        for (DataGrid *detail : page->detailGrids()) {
            QWidget *detailView = detail->view();
            detailView->setContextMenuPolicy(Qt::ActionsContextMenu);
            for (int number : {901, 902, 903, 0, 904, 905, 906, 907}) {
                if (number == 0) {
                    auto *separator = new QAction(detailView);
                    separator->setSeparator(true);
                    detailView->addAction(separator);
                } else {
                    detailView->addAction(m_actions.value(number));
                }
            }
        }
    }
}

void MainWindow::createToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("工具栏"));
    m_toolBar->setObjectName(QStringLiteral("mainToolBar"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setMovable(false);
    QAction *relogin = m_toolBar->addAction(style()->standardIcon(QStyle::SP_DialogResetButton), QStringLiteral("重新登录"));
    relogin->setObjectName(QStringLiteral("toolBarChangeOperatorAction"));
    connect(relogin, &QAction::triggered, this, [this] { changeOperator(true); });
    m_toolBar->addSeparator();
    for (int number : {201, 207, 202, 203})
        m_toolBar->addAction(m_actions.value(number));
    m_toolBar->addSeparator();
    // The sort entry of the tool bar says "排序" where the menu says "排序...".
    auto *sort = new QAction(m_actions.value(204)->icon(), QStringLiteral("排序"), this);
    sort->setObjectName(QStringLiteral("toolBarSortAction"));
    connect(sort, &QAction::triggered, m_actions.value(204), &QAction::trigger);
    connect(m_actions.value(204), &QAction::changed, sort, [sort, this] {
        sort->setVisible(m_actions.value(204)->isVisible());
        sort->setEnabled(m_actions.value(204)->isEnabled());
    });
    m_toolBar->addAction(sort);
    QAction *refreshAction = m_toolBar->addAction(style()->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("刷新"));
    refreshAction->setObjectName(QStringLiteral("refreshAction"));
    refreshAction->setShortcut(QKeySequence(Qt::Key_F5));
    connect(refreshAction, &QAction::triggered, this, &MainWindow::refresh);
    m_toolBar->addSeparator();
    QAction *closeAction = m_toolBar->addAction(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("关闭"));
    closeAction->setObjectName(QStringLiteral("closeAction"));
    // Esc closes the window, through the same question as every other way.
    closeAction->setShortcut(QKeySequence(Qt::Key_Escape));
    closeAction->setShortcutContext(Qt::WindowShortcut);
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
}

void MainWindow::createStatusBar()
{
    const QList<QPair<QString, int>> panels = {{QStringLiteral(" 当前用户"), 100},
                                               {QString(), 100},
                                               {QStringLiteral(" 当前日期时间"), 100},
                                               {QString(), 140},
                                               {ProductInfo::title() + SupplierContact, 0}};
    for (int i = 0; i < panels.size(); ++i) {
        auto *label = new QLabel(panels.at(i).first, this);
        label->setObjectName(QStringLiteral("statusPanel%1").arg(i));
        if (panels.at(i).second > 0)
            label->setMinimumWidth(panels.at(i).second);
        else
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        statusBar()->addWidget(label, panels.at(i).second > 0 ? 0 : 1);
        m_panels << label;
    }
}

QString MainWindow::statusText(int panel) const
{
    return panel >= 0 && panel < m_panels.size() ? m_panels.at(panel)->text() : QString();
}

void MainWindow::tick()
{
    m_panels.at(3)->setText(QLatin1Char(' ') + Clock::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
}

void MainWindow::applyLogin(const LoginSession &session)
{
    m_session = session;
    m_panels.at(1)->setText(m_shownOnce ? session.operatorName : QLatin1Char(' ') + session.operatorName);
    applyVisibility(session.visibility);
    pageChanged(m_pages->currentIndex());
    // After a change of operator every list, tree and search list follows
    // the new login: nothing may keep the previous operator's data scope.
    if (m_shownOnce) {
        m_housePage->applySession(m_session);
        m_clientPage->applySession(m_session);
    }
}

void MainWindow::applyVisibility(const QHash<QString, bool> &visibility)
{
    for (auto it = visibility.cbegin(); it != visibility.cend(); ++it) {
        if (auto *action = findChild<QAction *>(it.key()))
            action->setVisible(it.value());
        else if (auto *menu = findChild<QMenu *>(it.key()))
            menu->menuAction()->setVisible(it.value());
    }
    // Commands not governed by a key are always there.
    for (int number : {107, 36, 908, 11, 12, 13, 14, 15})
        m_actions.value(number)->setVisible(true);
}

RecordListPage *MainWindow::currentListPage() const
{
    switch (m_pages->currentIndex()) {
    case HousePage:
        return m_housePage;
    case ClientPage:
        return m_clientPage;
    default:
        return nullptr;
    }
}

DataGrid *MainWindow::currentGrid() const
{
    RecordListPage *page = currentListPage();
    return page ? page->grid() : nullptr;
}

void MainWindow::pageChanged(int page)
{
    const bool listPage = page == HousePage || page == ClientPage;
    for (int number : {201, 202, 203, 207}) {
        const MainAction *info = MainActions::find(number);
        m_actions.value(number)->setEnabled(listPage && info->available);
    }
    // The page decides which output menu is shown; the entries keep the
    // visibility the login gave them.
    // A menu whose every entry the login hid stays hidden rather than drop
    // down empty.
    if (page == HousePage || page == ClientPage) {
        const auto hasEntries = [](QMenu *menu) {
            const QList<QAction *> entries = menu->actions();
            return std::any_of(entries.cbegin(), entries.cend(),
                               [](QAction *a) { return !a->isSeparator() && a->isVisible(); });
        };
        m_houseOutputMenu->menuAction()->setVisible(page == HousePage && hasEntries(m_houseOutputMenu));
        m_clientOutputMenu->menuAction()->setVisible(page == ClientPage && hasEntries(m_clientOutputMenu));
    }
    updateEditAction();
}

void MainWindow::updateEditAction()
{
    // The detail edit command does not apply to a house's matched clients.
    RecordListPage *page = currentListPage();
    if (!page)
        return;
    const auto &tabs = page->config().detailTabs;
    const int entry = page->detailEntry();
    const bool hidden = entry >= 0 && entry < tabs.size() && tabs.at(entry).hidesEditAction;
    m_actions.value(902)->setVisible(!hidden && (m_session.isAdmin() || m_session.isVisible(Permissions::actionName(902))));
}

void MainWindow::refresh()
{
    m_housePage->refresh();
    if (RecordListPage *page = currentListPage(); page && page != m_housePage)
        page->refresh();
    m_panels.at(2)->setText(QStringLiteral("合同总数：%1").arg(m_housePage->rowCount()));
}

void MainWindow::changeOperator(bool fromToolBar)
{
    LoginDialog login(m_db, &m_config, LoginService::Mode::ChangeOperator, &m_session, this);
    placeWindow(&login, Placement::OverActiveWindow);
    if (login.exec() == QDialog::Accepted)
        applyLogin(login.session());
    else if (fromToolBar)
        m_housePage->refresh();
}

void MainWindow::sortCurrentGrid()
{
    if (DataGrid *grid = currentGrid())
        SortDialog::sortGrid(*grid, this);
}

void MainWindow::chooseCurrentColumns()
{
    if (DataGrid *grid = currentGrid())
        ColumnChooserDialog::chooseFields(*grid, this);
}

void MainWindow::saveCurrentLayout()
{
    RecordListPage *page = currentListPage();
    if (!page || !confirm(QStringLiteral("真的要保存当前网格设置吗？")))
        return;
    GridLayoutStore(m_db).save(page->config().gridLayout, page->grid()->columns());
}

void MainWindow::deleteCurrent()
{
    if (RecordListPage *page = currentListPage())
        page->deleteCurrent();
}

void MainWindow::startTool(const QStringList &programs, const QString &missing)
{
    for (const QString &program : programs) {
        const QString path = QStandardPaths::findExecutable(program);
        if (!path.isEmpty() && QProcess::startDetached(path, {}))
            return;
    }
    showMessage(missing, MessageKind::Information);
}

void MainWindow::openBesideProgram(const QString &fileName)
{
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(fileName);
    if (!QFileInfo::exists(path)) {
        showMessage(QStringLiteral("找不到文件“%1”。").arg(QDir::toNativeSeparators(path)), MessageKind::Information);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        showMessage(QStringLiteral("无法打开文件“%1”，系统中没有可以打开它的程序。").arg(QDir::toNativeSeparators(path)),
                    MessageKind::Information);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    if (BackupService::isDue(m_config.autoBackupChoice(), Clock::today()))
        runAutomaticBackup();
    // Each page runs its list, then takes its saved layouts with the
    // operator's number formats; nothing is painted in between.
    for (RecordListPage *page : {m_housePage, m_clientPage}) {
        page->applySession(m_session);
        page->loadLayouts();
    }
    m_pages->setCurrentIndex(HousePage);
}

void MainWindow::runAutomaticBackup()
{
    BackupService backup(m_db);
    BackupService::Outcome outcome = backup.runAutomatic(Clock::today(), false);
    if (outcome.result == BackupService::Outcome::FolderMissing) {
        if (!confirm(QStringLiteral("当前目录") + outcome.folder + QStringLiteral(" 不存在，是否创建！")))
            return;
        outcome = backup.runAutomatic(Clock::today(), true);
    }
    if (outcome.result == BackupService::Outcome::Failed)
        showMessage(outcome.message, MessageKind::Error);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (confirm(QStringLiteral("真的要退出“%1 ”软件吗？").arg(ProductInfo::name())))
        event->accept();
    else
        event->ignore();
}

} // namespace Quellon
