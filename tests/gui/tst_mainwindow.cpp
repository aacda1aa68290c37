#include "AppConfig.h"
#include "Clock.h"
#include "DataGrid.h"
#include "GridModel.h"
#include "LoginDialog.h"
#include "LoginService.h"
#include "MainWindow.h"
#include "PasswordCodec.h"
#include "RecordListPage.h"
#include "TestSupport.h"
#include "TreePath.h"
#include "WhenModal.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>

using namespace Quellon;
using QuellonTest::FixtureDatabase;
using QuellonTest::MessageRecorder;
using QuellonTest::WhenModal;

namespace {
// The agency of the fixture. Houses and clients are numbered; a number n
// stands for the code 0000000n (houses) or K000000n (clients).
const QString Admin = QStringLiteral("admin");
const QString ZhangSan = QStringLiteral("张三");  // his own records only, others' contacts masked; password "zs"
const QString LiSi = QStringLiteral("李四");      // every record
const QString WangWu = QStringLiteral("王五");    // every record, others' contacts masked
const QString ZhaoLiu = QStringLiteral("赵六");   // the records of 张三 and 李四, others' contacts masked
const QString OBrien = QStringLiteral("O'Brien"); // his own records only; a quote in a name
const QString ZhouQi = QStringLiteral("周七");    // every record, no key granted

const QString Mask = QStringLiteral("********");

QStringList houses(const QList<int> &numbers)
{
    QStringList codes;
    for (int n : numbers)
        codes << QStringLiteral("%1").arg(n, 8, 10, QLatin1Char('0'));
    return codes;
}

QStringList clients(const QList<int> &numbers)
{
    QStringList codes;
    for (int n : numbers)
        codes << QStringLiteral("K%1").arg(n, 7, 10, QLatin1Char('0'));
    return codes;
}

// The codes a grid lists, sorted: the tests are about which rows, not their order.
QStringList listed(const DataGrid *grid)
{
    const GridModel *model = grid->model();
    const int column = model->columnOfField(QStringLiteral("F_code"));
    QStringList codes;
    for (int row = 0; row < model->rowCount(); ++row)
        codes << model->value(row, column).toString();
    codes.sort();
    return codes;
}

int rowOfCode(const DataGrid *grid, const QString &code)
{
    const GridModel *model = grid->model();
    const int column = model->columnOfField(QStringLiteral("F_code"));
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->value(row, column).toString() == code)
            return row;
    }
    return -1;
}

// Text as an input method commits it: Chinese arrives as text, not as key codes.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QTreeWidgetItem *treeItem(QTreeWidget *tree, const QString &name)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->text(0) == name)
            return *it;
    }
    return nullptr;
}

QString countText(const QString &page, int rows)
{
    return page == QLatin1String("house") ? QStringLiteral("房产登记总数： %1 条  ").arg(rows)
                                          : QStringLiteral("客户登记总数： %1 个  ").arg(rows);
}
} // namespace

// The main window as the program shows it after a login, driven by clicks and keys.
class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void searchNarrowsTheList_data();
    void searchNarrowsTheList();
    void valueFieldOffersItsList_data();
    void valueFieldOffersItsList();
    void clearingTheTextListsTheWholeScope_data();
    void clearingTheTextListsTheWholeScope();
    void typedPatternsStayInTheScope_data();
    void typedPatternsStayInTheScope();
    void findRunsTheListAgain_data();
    void findRunsTheListAgain();
    void pagesKeepTheirOwnSearch();

    void treeClickSelectsWithoutListing();
    void treeDoubleClickListsTheNodeAndBelow_data();
    void treeDoubleClickListsTheNodeAndBelow();

    void actionsFollowTheGrants_data();
    void actionsFollowTheGrants();
    void laterCommandsAreShownDisabled_data();
    void laterCommandsAreShownDisabled();
    void pagesGovernCommandsAndOutputMenus_data();
    void pagesGovernCommandsAndOutputMenus();
    void keysDoNothingOffTheListPages_data();
    void keysDoNothingOffTheListPages();

    void loginSetsTheScope_data();
    void loginSetsTheScope();
    void cancelledChangeKeepsTheOperator_data();
    void cancelledChangeKeepsTheOperator();

    void detailMasksContactData_data();
    void detailMasksContactData();
    void detailFollowsAChangeOfOperator_data();
    void detailFollowsAChangeOfOperator();
    void gridMasksContactData_data();
    void gridMasksContactData();

    void deleteMovesToTheRecycleBin_data();
    void deleteMovesToTheRecycleBin();
    void deleteKeyInTheSearchBoxEditsText_data();
    void deleteKeyInTheSearchBoxEditsText();
    void deleteKeyInTheSearchDropDownsAsksNothing();

    void refreshRunsTheListsAgain_data();
    void refreshRunsTheListsAgain();
    void statusBarShowsTheTime();
    void closingAsksFirst_data();
    void closingAsksFirst();

    void savingTheLayoutAsksFirst();

private:
    void logIn(const QString &name);
    void showPage(int index);
    void clickRow(const QString &page, const QString &code);
    // Clicks a page's detail entry and hands back the editor of one of its columns, shown.
    void openDetail(const QString &page, const QString &entry, const QString &column, QLineEdit **editor);
    void changeOperator(const QString &via, const QString &name, const QString &password, int tries = 1);
    void grant(const QString &name, const QStringList &limits);

    template<typename T>
    T *find(const QString &name) const
    {
        return m_window ? m_window->findChild<T *>(name) : nullptr;
    }
    DataGrid *grid(const QString &page) const { return find<DataGrid>(page + QStringLiteral("Grid")); }

    std::unique_ptr<FixtureDatabase> m_db;
    QTemporaryDir m_dir;
    std::unique_ptr<AppConfig> m_config;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<MainWindow> m_window;
};

// A step that failed ends the test there.
#define STEP(call)                                                                                                     \
    do {                                                                                                               \
        call;                                                                                                          \
        if (QTest::currentTestFailed())                                                                                \
            return;                                                                                                    \
    } while (false)

void TestMainWindow::init()
{
    m_messages = std::make_unique<MessageRecorder>();
    m_db = std::make_unique<FixtureDatabase>();
    QVERIFY(m_db->isValid());
    m_config = std::make_unique<AppConfig>(m_dir.filePath("config.ini"));
    Database &db = m_db->dm();

    const QString root = TreePath::rootPath();
    const QString hangzhou = TreePath::childPath(root, QStringLiteral("杭州"));
    QVERIFY(QuellonTest::storeTreeNode(db, "area", "001", QStringLiteral("杭州"), hangzhou));
    QVERIFY(QuellonTest::storeTreeNode(db, "area", "001001", QStringLiteral("西湖"),
                                       TreePath::childPath(hangzhou, QStringLiteral("西湖"))));
    // A sibling whose name begins with its neighbour's.
    QVERIFY(QuellonTest::storeTreeNode(db, "area", "002", QStringLiteral("杭州湾"),
                                       TreePath::childPath(root, QStringLiteral("杭州湾"))));
    QVERIFY(QuellonTest::storeTreeNode(db, "area", "003", QStringLiteral("宁波"), TreePath::childPath(root, QStringLiteral("宁波"))));
    QVERIFY(QuellonTest::storeTreeNode(db, "clttype", "001", QStringLiteral("个人"), TreePath::childPath(root, QStringLiteral("个人"))));
    QVERIFY(QuellonTest::storeTreeNode(db, "clttype", "002", QStringLiteral("个人投资"),
                                       TreePath::childPath(root, QStringLiteral("个人投资"))));
    QVERIFY(QuellonTest::storeTreeNode(db, "clttype", "003", QStringLiteral("公司"), TreePath::childPath(root, QStringLiteral("公司"))));

    struct House
    {
        int number;
        const char *name, *area, *type, *transaction, *salesperson, *phone, *address;
        int flag;
    };
    const House rows[] = {
        {1, "阳光花园", "杭州\\西湖", "住宅", "出租", "张三", "13800000001", "文三路1号", 0},
        {2, "翠苑小区", "杭州", "公寓", "出售", "李四", "13800000002", "文一路2号", 0},
        {3, "湾畔人家", "杭州湾", "住宅", "租售", "O'Brien", "", "滨海路3号", 0},
        {4, "旧楼", "杭州", "住宅", "出租", "张三", "13800000004", "", 2},
        {5, "海景别墅", "宁波", "别墅", "出售", "王五", "13800000005", "海港路5号", 0},
        {6, "满意100%", "宁波", "公寓", "出租", "张三", "13800000006", "", 0},
    };
    for (const House &h : rows) {
        const QString phone = QString::fromUtf8(h.phone);
        QVERIFY(db.execute(SqlFragment(QStringLiteral("insert into House(F_mainID,F_code,F_name,F_area,F_FWtype,F_JYtype,F_EmpName,"
                                                      "F_LXphone,F_LXhandPhone,F_LXempName,F_FYaddress,F_flag) "
                                                      "values(?,?,?,?,?,?,?,?,?,?,?,?)"),
                                       {h.number, houses({h.number}).first(), QString::fromUtf8(h.name),
                                        root + QString::fromUtf8(h.area), QString::fromUtf8(h.type),
                                        QString::fromUtf8(h.transaction), QString::fromUtf8(h.salesperson), phone,
                                        phone.isEmpty() ? QString() : QStringLiteral("139") + phone.right(8),
                                        phone.isEmpty() ? QString() : QStringLiteral("业主%1").arg(h.number),
                                        QString::fromUtf8(h.address), h.flag})));
    }

    struct Client
    {
        int number;
        const char *name, *phone, *transaction, *salesperson, *sex, *type;
        int flag;
    };
    const Client people[] = {
        {1, "赵一", "13900000001", "求租", "张三", "男", "个人", 0},
        {2, "钱二", "13900000002", "求购", "李四", "女", "个人投资", 0},
        {3, "孙三", "13900000003", "求租求购", "王五", "", "公司", 0},
        {4, "李老四", "13900000004", "求租", "张三", "男", "个人", 2},
    };
    for (const Client &c : people) {
        QVERIFY(db.execute(SqlFragment(QStringLiteral("insert into Client(F_mainID,F_code,F_cltName,F_cltPhone,F_JYtype,F_empName,"
                                                      "F_sex,F_cltType,F_flag) values(?,?,?,?,?,?,?,?,?)"),
                                       {c.number, clients({c.number}).first(), QString::fromUtf8(c.name),
                                        QString::fromUtf8(c.phone), QString::fromUtf8(c.transaction),
                                        QString::fromUtf8(c.salesperson),
                                        *c.sex ? QVariant(QString::fromUtf8(c.sex)) : QVariant(QMetaType(QMetaType::QString)),
                                        root + QString::fromUtf8(c.type), c.flag})));
    }

    struct Operator
    {
        QString name;
        QString password;
        int masked;
        int scope;
        QString salespersons;
    };
    const QList<Operator> operators = {
        {ZhangSan, QStringLiteral("zs"), 1, 1, QString()},
        {LiSi, QString(), 0, 0, QString()},
        {WangWu, QString(), 1, 0, QString()},
        {ZhaoLiu, QStringLiteral("zl"), 1, 2, QStringLiteral("'张三','李四'")},
        {OBrien, QString(), 0, 1, QString()},
        {ZhouQi, QString(), 0, 0, QString()},
    };
    for (const Operator &o : operators) {
        QVERIFY(db.execute(SqlFragment(QStringLiteral("insert into OperList(F_Name,F_PassWord,F_xtFlag,F_empFlag,F_empQX) values(?,?,?,?,?)"),
                                       {o.name, encodePassword(o.password), o.masked, o.scope, o.salespersons})));
        if (o.name != ZhouQi)
            STEP(grant(o.name, {QStringLiteral("删除")}));
    }
    for (const QString &name : {ZhangSan, LiSi, WangWu, OBrien})
        QVERIFY(db.execute(SqlFragment(QStringLiteral("insert into t_code(F_type,F_Name) values('empname',?)"), {name})));
}

void TestMainWindow::cleanup()
{
    m_window.reset();
    m_messages.reset();
    m_config.reset();
    m_db.reset();
    Clock::setFixed(QDateTime());
}

void TestMainWindow::grant(const QString &name, const QStringList &limits)
{
    for (const QString &limit : limits)
        QVERIFY(m_db->dm().execute(SqlFragment(QStringLiteral("insert into OperLimit(F_OperName,F_lmtName) values(?,?)"), {name, limit})));
}

void TestMainWindow::logIn(const QString &name)
{
    m_window = std::make_unique<MainWindow>(m_db->dm(), *m_config);
    m_window->applyLogin(LoginService::loadState(m_db->dm(), name, QString()));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    // Window shortcuts reach only the active window.
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestMainWindow::showPage(int index)
{
    QTabBar *bar = m_window->pages()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    QCOMPARE(m_window->pages()->currentIndex(), index);
}

void TestMainWindow::openDetail(const QString &page, const QString &entry, const QString &column, QLineEdit **editor)
{
    auto *entries = find<QListWidget>(page + QStringLiteral("DetailList"));
    *editor = find<QLineEdit>(page + QStringLiteral("Detail_") + column);
    QVERIFY(entries && *editor);
    const QList<QListWidgetItem *> items = entries->findItems(entry, Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    QTest::mouseClick(entries->viewport(), Qt::LeftButton, {}, entries->visualItemRect(items.first()).center());
    QCOMPARE(entries->currentItem(), items.first());
    QVERIFY((*editor)->isVisible());
}

void TestMainWindow::clickRow(const QString &page, const QString &code)
{
    DataGrid *list = grid(page);
    QVERIFY(list);
    // Lists are read away from the user-interface thread: wait for the row.
    QTRY_VERIFY2(rowOfCode(list, code) >= 0, qPrintable(code + QStringLiteral(" is not listed")));
    const int row = rowOfCode(list, code);
    const QModelIndex index = list->model()->index(row, list->model()->columnOfField(QStringLiteral("F_code")));
    list->view()->scrollTo(index);
    QTest::mouseClick(list->view()->viewport(), Qt::LeftButton, {}, list->view()->visualRect(index).center());
    QTRY_COMPARE(list->currentRow(), row);
}

// Changes the operator through the real login dialog, reached from the menu
// or the tool bar: the name and password, OK clicked up to `tries` times
// while the dialog stays open, then cancelled if it still is. An empty name
// cancels at once.
void TestMainWindow::changeOperator(const QString &via, const QString &name, const QString &password, int tries)
{
    WhenModal<LoginDialog> answer([&](LoginDialog *dialog) {
        if (!name.isEmpty()) {
            dialog->operatorCombo()->setEditText(QString());
            typeText(dialog->operatorCombo()->lineEdit(), name);
            for (int i = 0; i < tries && dialog->isVisible(); ++i) {
                dialog->passwordEdit()->clear();
                QTest::keyClicks(dialog->passwordEdit(), password);
                QTest::mouseClick(dialog->findChild<QPushButton *>("okButton"), Qt::LeftButton);
            }
        }
        if (dialog->isVisible())
            QTest::mouseClick(dialog->findChild<QPushButton *>("cancelButton"), Qt::LeftButton);
    });
    if (via == QLatin1String("toolbar")) {
        auto *toolBar = find<QToolBar>(QStringLiteral("mainToolBar"));
        QVERIFY(toolBar);
        auto *action = find<QAction>(QStringLiteral("toolBarChangeOperatorAction"));
        QVERIFY(action);
        QTest::mouseClick(toolBar->widgetForAction(action), Qt::LeftButton);
    } else {
        auto *action = find<QAction>(QStringLiteral("changeOperatorAction"));
        QVERIFY(action);
        action->trigger();
    }
    QCOMPARE(answer.seen, 1);
}

// ---- The search bar ----

void TestMainWindow::searchNarrowsTheList_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("field");       // empty keeps the field shown
    QTest::addColumn<QString>("typed");       // into the text box
    QTest::addColumn<QString>("value");       // chosen from the value drop-down
    QTest::addColumn<QList<int>>("transactions"); // radio buttons clicked in turn
    QTest::addColumn<QStringList>("expected");

    using Radios = QList<int>;
    QTest::newRow("code") << "house" << "编号" << "0002" << "" << Radios{} << houses({2});
    QTest::newRow("words anywhere in the name") << "house" << "居住圈" << "花园" << "" << Radios{} << houses({1});
    QTest::newRow("nothing matches") << "house" << "编号" << "999" << "" << Radios{} << houses({});
    QTest::newRow("house type from its list") << "house" << "房屋类型" << "" << "住宅" << Radios{} << houses({1, 3});
    QTest::newRow("to rent, with those both to rent and for sale") << "house" << "" << "" << "" << Radios{1} << houses({1, 3, 6});
    QTest::newRow("for sale") << "house" << "" << "" << "" << Radios{2} << houses({2, 3, 5});
    QTest::newRow("every transaction again") << "house" << "" << "" << "" << Radios{2, 0} << houses({1, 2, 3, 5, 6});
    QTest::newRow("for sale and a type") << "house" << "房屋类型" << "" << "住宅" << Radios{2} << houses({3});
    QTest::newRow("client name") << "client" << "客户姓名" << "钱" << "" << Radios{} << clients({2});
    QTest::newRow("client phone") << "client" << "联系电话" << "0003" << "" << Radios{} << clients({3});
    QTest::newRow("clients who rent") << "client" << "" << "" << "" << Radios{1} << clients({1, 3});
    QTest::newRow("clients who buy") << "client" << "" << "" << "" << Radios{2} << clients({2, 3});
    QTest::newRow("a sex and buyers") << "client" << "性别" << "" << "女" << Radios{2} << clients({2});
}

void TestMainWindow::searchNarrowsTheList()
{
    QFETCH(QString, page);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, value);
    QFETCH(QList<int>, transactions);
    QFETCH(QStringList, expected);

    STEP(logIn(Admin));
    if (page == QLatin1String("client"))
        STEP(showPage(MainWindow::ClientPage));
    auto *fields = find<QComboBox>(page + QStringLiteral("FieldCombo"));
    auto *edit = find<QLineEdit>(page + QStringLiteral("SearchEdit"));
    auto *values = find<QComboBox>(page + QStringLiteral("ValueCombo"));
    QVERIFY(fields && edit && values && grid(page));
    QTRY_VERIFY(!listed(grid(page)).isEmpty());

    if (!field.isEmpty()) {
        const int index = fields->findText(field);
        QVERIFY2(index >= 0, qPrintable(field));
        fields->setCurrentIndex(index);
    }
    if (!typed.isEmpty()) {
        edit->setFocus();
        typeText(edit, typed);
    }
    if (!value.isEmpty()) {
        QVERIFY(values->isVisible());
        const int index = values->findText(value);
        QVERIFY2(index >= 0, qPrintable(value));
        values->setCurrentIndex(index);
    }
    for (int transaction : transactions) {
        auto *radio = find<QRadioButton>(page + QStringLiteral("Transaction%1").arg(transaction));
        QVERIFY(radio);
        QTest::mouseClick(radio, Qt::LeftButton);
        QVERIFY(radio->isChecked());
        if (transaction != transactions.constLast())
            QTRY_VERIFY(listed(grid(page)) != expected);
    }
    QTRY_COMPARE(listed(grid(page)), expected);
    QCOMPARE(find<QLabel>(page + QStringLiteral("CountLabel"))->text(), countText(page, int(expected.size())));
}

void TestMainWindow::valueFieldOffersItsList_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("codeKind");  // t_code kind of the list; empty for a fixed list
    QTest::addColumn<QStringList>("fixed");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("house type") << "house" << "房屋类型" << "fwtype" << QStringList() << "别墅" << houses({5});
    QTest::newRow("client transaction") << "client" << "交易类型" << "jytype" << QStringList() << "求租"
                                        << clients({1, 3});
    QTest::newRow("sex") << "client" << "性别" << "" << QStringList{"男", "女"} << "男" << clients({1});
}

void TestMainWindow::valueFieldOffersItsList()
{
    QFETCH(QString, page);
    QFETCH(QString, field);
    QFETCH(QString, codeKind);
    QFETCH(QStringList, fixed);
    QFETCH(QString, chosen);
    QFETCH(QStringList, expected);

    STEP(logIn(Admin));
    if (page == QLatin1String("client"))
        STEP(showPage(MainWindow::ClientPage));
    auto *fields = find<QComboBox>(page + QStringLiteral("FieldCombo"));
    auto *edit = find<QLineEdit>(page + QStringLiteral("SearchEdit"));
    auto *values = find<QComboBox>(page + QStringLiteral("ValueCombo"));
    QVERIFY(fields && edit && values);
    QTRY_VERIFY(!listed(grid(page)).isEmpty());
    const QStringList everything = listed(grid(page));
    QVERIFY(edit->isVisible());
    QVERIFY(!values->isVisible());

    fields->setCurrentIndex(fields->findText(field));
    QVERIFY(values->isVisible());
    QVERIFY(!edit->isVisible());
    QStringList items;
    for (int i = 0; i < values->count(); ++i)
        items << values->itemText(i);
    QStringList wanted = fixed;
    if (!codeKind.isEmpty())
        QVERIFY(m_db->dm().readList(SqlFragment(QStringLiteral("select F_Name from t_code where F_type = ? order by F_ID"), {codeKind}),
                                    wanted));
    // An empty first entry searches nothing.
    QCOMPARE(items, QStringList{QString()} + wanted);

    values->setCurrentIndex(values->findText(chosen));
    QTRY_COMPARE(listed(grid(page)), expected);
    values->setCurrentIndex(0);
    QTRY_COMPARE(listed(grid(page)), everything);

    // Back on a field typed into, the text box returns.
    values->setCurrentIndex(values->findText(chosen));
    QTRY_COMPARE(listed(grid(page)), expected);
    fields->setCurrentIndex(fields->findText(QStringLiteral("编号")));
    QVERIFY(edit->isVisible());
    QVERIFY(!values->isVisible());
    QTRY_COMPARE(listed(grid(page)), everything);
}

void TestMainWindow::clearingTheTextListsTheWholeScope_data()
{
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("narrowed");
    QTest::addColumn<QStringList>("whole");

    QTest::newRow("every house") << Admin << "满意" << houses({6}) << houses({1, 2, 3, 5, 6});
    QTest::newRow("his own houses") << ZhangSan << "满意" << houses({6}) << houses({1, 6});
}

void TestMainWindow::clearingTheTextListsTheWholeScope()
{
    QFETCH(QString, operatorName);
    QFETCH(QString, typed);
    QFETCH(QStringList, narrowed);
    QFETCH(QStringList, whole);

    STEP(logIn(operatorName));
    auto *fields = find<QComboBox>(QStringLiteral("houseFieldCombo"));
    auto *edit = find<QLineEdit>(QStringLiteral("houseSearchEdit"));
    QVERIFY(fields && edit);
    QTRY_COMPARE(listed(grid("house")), whole);
    fields->setCurrentIndex(fields->findText(QStringLiteral("居住圈")));
    edit->setFocus();
    typeText(edit, typed);
    QTRY_COMPARE(listed(grid("house")), narrowed);

    // Rows that leave the column empty come back too.
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QString());
    QTRY_COMPARE(listed(grid("house")), whole);
}

void TestMainWindow::typedPatternsStayInTheScope_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("quote in the code") << "编号" << "' or 1=1 --" << houses({});
    QTest::newRow("quote in the name") << "居住圈" << "' or 1=1 --" << houses({});
    QTest::newRow("quote closing the scope") << "居住圈" << "%' or F_EmpName<>'张三' or F_name like '" << houses({});
    QTest::newRow("percent") << "居住圈" << "%" << houses({1, 6});
    QTest::newRow("percent in the code") << "编号" << "%" << houses({1, 6});
    QTest::newRow("underscore") << "编号" << "_" << houses({1, 6});
    QTest::newRow("backslash") << "编号" << "\\" << houses({});
}

// Whatever is typed, a scope-1 operator sees his own houses and no one else's.
void TestMainWindow::typedPatternsStayInTheScope()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);

    STEP(logIn(ZhangSan));
    auto *fields = find<QComboBox>(QStringLiteral("houseFieldCombo"));
    auto *edit = find<QLineEdit>(QStringLiteral("houseSearchEdit"));
    QVERIFY(fields && edit);
    QTRY_COMPARE(listed(grid("house")), houses({1, 6}));
    // Narrowed first, so that the list is seen to run for the typed text.
    fields->setCurrentIndex(fields->findText(field));
    edit->setFocus();
    typeText(edit, field == QStringLiteral("编号") ? QStringLiteral("0001") : QStringLiteral("阳光"));
    QTRY_COMPARE(listed(grid("house")), houses({1}));

    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    typeText(edit, typed);
    QCOMPARE(edit->text(), typed);
    QTest::keyClick(edit, Qt::Key_F3);
    QTRY_COMPARE(listed(grid("house")), expected);
    QTest::qWait(300);
    QCOMPARE(listed(grid("house")), expected);
}

void TestMainWindow::findRunsTheListAgain_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("how");

    QTest::newRow("F3 in the search box") << "house" << "F3 in the search box";
    QTest::newRow("F3 in the list") << "house" << "F3 in the list";
    QTest::newRow("find button") << "house" << "button";
    QTest::newRow("client F3 in the search box") << "client" << "F3 in the search box";
    QTest::newRow("client find button") << "client" << "button";
}

void TestMainWindow::findRunsTheListAgain()
{
    QFETCH(QString, page);
    QFETCH(QString, how);

    STEP(logIn(Admin));
    if (page == QLatin1String("client"))
        STEP(showPage(MainWindow::ClientPage));
    QTRY_VERIFY(!listed(grid(page)).isEmpty());
    const QStringList before = listed(grid(page));
    // A record another workstation added: only running the list shows it.
    const QString code = page == QLatin1String("house") ? houses({7}).first() : clients({7}).first();
    QVERIFY(m_db->dm().execute(SqlFragment(QStringLiteral("insert into %1(F_code,F_flag) values(?,0)")
                                               .arg(page == QLatin1String("house") ? "House" : "Client"),
                                           {code})));
    QTest::qWait(300);
    QCOMPARE(listed(grid(page)), before);

    if (how == QLatin1String("button")) {
        QTest::mouseClick(find<QPushButton>(page + QStringLiteral("FindButton")), Qt::LeftButton);
    } else {
        QWidget *target = how.contains(QLatin1String("list")) ? static_cast<QWidget *>(grid(page)->view())
                                                              : find<QLineEdit>(page + QStringLiteral("SearchEdit"));
        target->setFocus();
        QTRY_VERIFY(target->hasFocus());
        QTest::keyClick(target, Qt::Key_F3);
    }
    QTRY_VERIFY(listed(grid(page)).contains(code));
}

void TestMainWindow::pagesKeepTheirOwnSearch()
{
    STEP(logIn(Admin));
    auto *houseEdit = find<QLineEdit>(QStringLiteral("houseSearchEdit"));
    auto *clientEdit = find<QLineEdit>(QStringLiteral("clientSearchEdit"));
    auto *clientFields = find<QComboBox>(QStringLiteral("clientFieldCombo"));
    QVERIFY(houseEdit && clientEdit && clientFields);
    houseEdit->setFocus();
    typeText(houseEdit, QStringLiteral("0002"));
    QTRY_COMPARE(listed(grid("house")), houses({2}));

    STEP(showPage(MainWindow::ClientPage));
    QCOMPARE(clientEdit->text(), QString());
    QTRY_COMPARE(listed(grid("client")), clients({1, 2, 3}));
    clientFields->setCurrentIndex(clientFields->findText(QStringLiteral("客户姓名")));
    clientEdit->setFocus();
    typeText(clientEdit, QStringLiteral("孙"));
    QTRY_COMPARE(listed(grid("client")), clients({3}));

    STEP(showPage(MainWindow::HousePage));
    QCOMPARE(houseEdit->text(), QStringLiteral("0002"));
    QCOMPARE(listed(grid("house")), houses({2}));
    QCOMPARE(clientEdit->text(), QStringLiteral("孙"));
    QTest::qWait(300);
    QCOMPARE(listed(grid("house")), houses({2}));
    QCOMPARE(listed(grid("client")), clients({3}));
}

// ---- The tree ----

void TestMainWindow::treeClickSelectsWithoutListing()
{
    STEP(logIn(Admin));
    auto *tree = find<QTreeWidget>(QStringLiteral("houseTree"));
    QVERIFY(tree);
    QTRY_COMPARE(listed(grid("house")), houses({1, 2, 3, 5, 6}));
    QTreeWidgetItem *item = treeItem(tree, QStringLiteral("宁波"));
    QVERIFY(item);
    QSignalSpy runs(grid("house")->model(), &GridModel::reloaded);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    QCOMPARE(tree->currentItem(), item);
    QTest::qWait(300);
    QCOMPARE(runs.count(), 0);
    QCOMPARE(listed(grid("house")), houses({1, 2, 3, 5, 6}));
    // The node chosen is the one the next run of the list keeps to.
    QTest::mouseClick(find<QPushButton>(QStringLiteral("houseFindButton")), Qt::LeftButton);
    QTRY_COMPARE(listed(grid("house")), houses({5, 6}));
}

void TestMainWindow::treeDoubleClickListsTheNodeAndBelow_data()
{
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("node");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("a region with one below it, not its look-alike sibling")
        << Admin << "house" << "杭州" << houses({1, 2});
    QTest::newRow("a second-level region") << Admin << "house" << "西湖" << houses({1});
    QTest::newRow("the look-alike sibling") << Admin << "house" << "杭州湾" << houses({3});
    QTest::newRow("the root") << Admin << "house" << "区域分类" << houses({1, 2, 3, 5, 6});
    QTest::newRow("a region within the scope") << ZhangSan << "house" << "杭州" << houses({1});
    QTest::newRow("the root within the scope") << ZhangSan << "house" << "区域分类" << houses({1, 6});
    QTest::newRow("a client category, not its look-alike") << Admin << "client" << "个人" << clients({1});
    QTest::newRow("the client root") << Admin << "client" << "客户分类" << clients({1, 2, 3});
}

void TestMainWindow::treeDoubleClickListsTheNodeAndBelow()
{
    QFETCH(QString, operatorName);
    QFETCH(QString, page);
    QFETCH(QString, node);
    QFETCH(QStringList, expected);

    STEP(logIn(operatorName));
    if (page == QLatin1String("client"))
        STEP(showPage(MainWindow::ClientPage));
    auto *tree = find<QTreeWidget>(page + QStringLiteral("Tree"));
    QVERIFY(tree);
    const auto doubleClick = [tree](const QString &name) {
        QTreeWidgetItem *item = treeItem(tree, name);
        QVERIFY2(item, qPrintable(name));
        // A real double-click arrives as a click followed by the double-click.
        const QPoint at = tree->visualItemRect(item).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(tree->currentItem(), item);
    };
    // Start from another node, so that the list is seen to change.
    const QString start = page == QLatin1String("house") ? QStringLiteral("宁波") : QStringLiteral("公司");
    STEP(doubleClick(start));
    QTRY_VERIFY(listed(grid(page)) != expected);
    STEP(doubleClick(node));
    QTRY_COMPARE(listed(grid(page)), expected);
}

// ---- Permissions ----

void TestMainWindow::actionsFollowTheGrants_data()
{
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<QStringList>("grants");
    QTest::addColumn<QList<int>>("shown");
    QTest::addColumn<QList<int>>("hidden");
    QTest::addColumn<QStringList>("shownMenus");
    QTest::addColumn<QStringList>("hiddenMenus");

    QTest::newRow("edit keys") << ZhouQi << QStringList{"新增", "删除", "排序..."}
                               << QList<int>{201, 203, 204, 901, 903, 904, 107, 908, 36}
                               << QList<int>{101, 104, 105, 106, 202, 205, 206, 207, 301, 31, 401, 501, 602, 902, 906}
                               << QStringList{"editMenu"}
                               << QStringList{"statisticsMenu", "dataMenu", "documentsMenu", "clientOutputMenu", "houseOutputMenu"};
    QTest::newRow("output and statistics") << ZhouQi << QStringList{"导出房源资料", "当前房源详单", "统计"}
                                           << QList<int>{301, 303, 905, 31, 33, 401}
                                           << QList<int>{302, 304, 402, 201, 203, 901, 903, 32}
                                           << QStringList{"houseOutputMenu", "statisticsMenu"}
                                           << QStringList{"editMenu", "dataMenu", "documentsMenu", "clientOutputMenu"};
    QTest::newRow("file keys") << ZhouQi << QStringList{"选项...", "房产区域"} << QList<int>{104, 105}
                               << QList<int>{101, 102, 103, 106, 201, 203} << QStringList{"fileMenu"}
                               << QStringList{"editMenu", "statisticsMenu", "dataMenu", "documentsMenu"};
    QTest::newRow("nothing granted") << ZhouQi << QStringList() << QList<int>{107, 908, 36}
                                     << QList<int>{101, 201, 203, 204, 301, 31, 401, 501, 602, 901}
                                     << QStringList()
                                     << QStringList{"editMenu", "statisticsMenu", "dataMenu", "documentsMenu", "clientOutputMenu",
                                                    "houseOutputMenu"};
    QTest::newRow("admin") << Admin << QStringList()
                           << QList<int>{101, 102, 103, 104, 105, 106, 201, 202, 203, 204, 205, 206, 207, 301, 307, 31, 35,
                                         401, 405, 501, 506, 602, 608, 901, 907}
                           << QList<int>{}
                           << QStringList{"fileMenu", "editMenu", "houseOutputMenu", "statisticsMenu", "dataMenu", "documentsMenu"}
                           << QStringList{"clientOutputMenu"};
}

void TestMainWindow::actionsFollowTheGrants()
{
    QFETCH(QString, operatorName);
    QFETCH(QStringList, grants);
    QFETCH(QList<int>, shown);
    QFETCH(QList<int>, hidden);
    QFETCH(QStringList, shownMenus);
    QFETCH(QStringList, hiddenMenus);

    STEP(grant(operatorName, grants));
    STEP(logIn(operatorName));
    for (int number : shown)
        QVERIFY2(m_window->action(number)->isVisible(), qPrintable(QString::number(number)));
    for (int number : hidden)
        QVERIFY2(!m_window->action(number)->isVisible(), qPrintable(QString::number(number)));
    for (const QString &name : shownMenus) {
        auto *menu = find<QMenu>(name);
        QVERIFY2(menu && menu->menuAction()->isVisible(), qPrintable(name));
    }
    for (const QString &name : hiddenMenus) {
        auto *menu = find<QMenu>(name);
        QVERIFY2(menu && !menu->menuAction()->isVisible(), qPrintable(name));
    }
    // The tool bar shows the same commands.
    auto *toolBar = find<QToolBar>(QStringLiteral("mainToolBar"));
    QVERIFY(toolBar);
    for (int number : {201, 203, 204}) {
        QWidget *button = toolBar->widgetForAction(number == 204 ? find<QAction>(QStringLiteral("toolBarSortAction"))
                                                                 : m_window->action(number));
        QVERIFY(button);
        QCOMPARE(button->isVisible(), m_window->action(number)->isVisible());
    }
}

void TestMainWindow::laterCommandsAreShownDisabled_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("company") << 101 << false;
    QTest::newRow("options") << 104 << true;
    QTest::newRow("new house") << 201 << false;
    QTest::newRow("edit house") << 202 << false;
    QTest::newRow("delete") << 203 << true;
    QTest::newRow("sort") << 204 << true;
    QTest::newRow("copy") << 207 << false;
    QTest::newRow("export") << 301 << false;
    QTest::newRow("statistics") << 401 << false;
    QTest::newRow("import") << 501 << false;
    QTest::newRow("detail sort") << 904 << true;
}

// Commands whose windows come later stay visible by the permissions, disabled.
void TestMainWindow::laterCommandsAreShownDisabled()
{
    QFETCH(int, number);
    QFETCH(bool, enabled);

    STEP(logIn(Admin));
    QAction *action = m_window->action(number);
    QVERIFY(action);
    QVERIFY(action->isVisible());
    QCOMPARE(action->isEnabled(), enabled);
    if (!enabled)
        QCOMPARE(action->statusTip(), QStringLiteral("此功能将在后续版本中提供"));
}

void TestMainWindow::pagesGovernCommandsAndOutputMenus_data()
{
    QTest::addColumn<QList<int>>("route"); // pages visited in turn; the last is checked
    QTest::addColumn<bool>("deleteEnabled");
    QTest::addColumn<int>("houseOutputShown");  // -1: not checked
    QTest::addColumn<int>("clientOutputShown");

    using Pages = QList<int>;
    QTest::newRow("house page") << Pages{MainWindow::ClientPage, MainWindow::HousePage} << true << 1 << 0;
    QTest::newRow("client page") << Pages{MainWindow::ClientPage} << true << 0 << 1;
    QTest::newRow("recycle bin after the house page") << Pages{MainWindow::RecycleBinPage} << false << -1 << 0;
    QTest::newRow("reminders after the house page") << Pages{MainWindow::RemindersPage} << false << -1 << 0;
}

void TestMainWindow::pagesGovernCommandsAndOutputMenus()
{
    QFETCH(QList<int>, route);
    QFETCH(bool, deleteEnabled);
    QFETCH(int, houseOutputShown);
    QFETCH(int, clientOutputShown);

    STEP(logIn(Admin));
    for (int page : route)
        STEP(showPage(page));
    QCOMPARE(m_window->action(203)->isEnabled(), deleteEnabled);
    // Their windows come later: never enabled, on no page.
    for (int number : {201, 202, 207}) {
        QVERIFY(m_window->action(number)->isVisible());
        QVERIFY(!m_window->action(number)->isEnabled());
    }
    if (houseOutputShown >= 0)
        QCOMPARE(find<QMenu>(QStringLiteral("houseOutputMenu"))->menuAction()->isVisible(), bool(houseOutputShown));
    if (clientOutputShown >= 0)
        QCOMPARE(find<QMenu>(QStringLiteral("clientOutputMenu"))->menuAction()->isVisible(), bool(clientOutputShown));
}

void TestMainWindow::keysDoNothingOffTheListPages_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QKeySequence>("keys");

    for (int page : {int(MainWindow::RecycleBinPage), int(MainWindow::RemindersPage)}) {
        const char *name = page == MainWindow::RecycleBinPage ? "recycle bin" : "reminders";
        QTest::addRow("%s Ctrl+A", name) << page << QKeySequence(Qt::CTRL | Qt::Key_A);
        QTest::addRow("%s Ctrl+E", name) << page << QKeySequence(Qt::CTRL | Qt::Key_E);
        QTest::addRow("%s Delete", name) << page << QKeySequence(Qt::Key_Delete);
        QTest::addRow("%s Ctrl+S", name) << page << QKeySequence(Qt::CTRL | Qt::Key_S);
    }
}

void TestMainWindow::keysDoNothingOffTheListPages()
{
    QFETCH(int, page);
    QFETCH(QKeySequence, keys);

    STEP(logIn(Admin));
    // A current house that the keys would act on, were they to reach it.
    STEP(clickRow("house", houses({1}).first()));
    STEP(showPage(page));
    QList<QSharedPointer<QSignalSpy>> spies;
    for (int number : {201, 202, 203, 207})
        spies << QSharedPointer<QSignalSpy>::create(m_window->action(number), &QAction::triggered);
    QTest::keySequence(m_window.get(), keys);
    QTest::qWait(50);
    for (const auto &spy : std::as_const(spies))
        QCOMPARE(spy->count(), 0);
    QCOMPARE(m_messages->count(), 0);
    QCOMPARE(m_db->dm().queryInt("select count(*) from House where F_flag = 2"), 1);
    QCOMPARE(m_window->pages()->currentIndex(), page);

    // The same keys on the house page: the delete keys ask there.
    STEP(showPage(MainWindow::HousePage));
    STEP(clickRow("house", houses({1}).first()));
    const bool deletes = keys.matches(QKeySequence(Qt::Key_Delete)) == QKeySequence::ExactMatch
                         || keys.matches(QKeySequence(Qt::CTRL | Qt::Key_S)) == QKeySequence::ExactMatch;
    if (deletes)
        m_messages->answerNext(AnswerNo);
    QTest::keySequence(m_window.get(), keys);
    QCOMPARE(spies.at(2)->count(), deletes ? 1 : 0);
    QCOMPARE(m_messages->count(), deletes ? 1 : 0);
}

// ---- Scope and change of operator ----

void TestMainWindow::loginSetsTheScope_data()
{
    QTest::addColumn<QString>("via"); // "login", or the change of operator from admin by "menu" or "toolbar"
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QStringList>("houseCodes");
    QTest::addColumn<QStringList>("clientCodes");
    QTest::addColumn<QStringList>("salespersons"); // the value list of 业 务 员; empty when not offered

    const QStringList own{QString(), ZhangSan};
    QTest::newRow("own records at login") << "login" << ZhangSan << "" << houses({1, 6}) << clients({1}) << own;
    QTest::newRow("own records, a quote in the name") << "login" << OBrien << "" << houses({3}) << clients({})
                                                      << QStringList();
    QTest::newRow("own records after a change from the menu") << "menu" << ZhangSan << "zs" << houses({1, 6}) << clients({1})
                                                              << own;
    QTest::newRow("own records after a change from the tool bar") << "toolbar" << ZhangSan << "zs" << houses({1, 6})
                                                                  << clients({1}) << own;
    QTest::newRow("listed salespersons after a change") << "menu" << ZhaoLiu << "zl" << houses({1, 2, 6}) << clients({1, 2})
                                                        << QStringList{QString(), ZhangSan, LiSi};
    QTest::newRow("every record, masked, after a change") << "menu" << WangWu << "" << houses({1, 2, 3, 5, 6})
                                                          << clients({1, 2, 3})
                                                          << QStringList{QString(), ZhangSan, LiSi, WangWu, OBrien};
    QTest::newRow("every record after a change") << "toolbar" << LiSi << "" << houses({1, 2, 3, 5, 6}) << clients({1, 2, 3})
                                                 << QStringList();
}

void TestMainWindow::loginSetsTheScope()
{
    QFETCH(QString, via);
    QFETCH(QString, operatorName);
    QFETCH(QString, password);
    QFETCH(QStringList, houseCodes);
    QFETCH(QStringList, clientCodes);
    QFETCH(QStringList, salespersons);

    if (via == QLatin1String("login")) {
        STEP(logIn(operatorName));
    } else {
        STEP(logIn(Admin));
        QTRY_COMPARE(listed(grid("house")), houses({1, 2, 3, 5, 6}));
        QTRY_COMPARE(listed(grid("client")), clients({1, 2, 3}));
        STEP(changeOperator(via, operatorName, password));
        QCOMPARE(m_window->session().operatorName, operatorName);
        QCOMPARE(m_window->statusText(1).trimmed(), operatorName);
    }
    QTRY_COMPARE(listed(grid("house")), houseCodes);
    QTRY_COMPARE(listed(grid("client")), clientCodes);

    for (const QString &page : {QStringLiteral("house"), QStringLiteral("client")}) {
        auto *fields = find<QComboBox>(page + QStringLiteral("FieldCombo"));
        auto *values = find<QComboBox>(page + QStringLiteral("ValueCombo"));
        QVERIFY(fields && values);
        const int index = fields->findText(QStringLiteral("业 务 员"));
        QCOMPARE(index >= 0, !salespersons.isEmpty());
        if (index < 0)
            continue;
        fields->setCurrentIndex(index);
        QStringList items;
        for (int i = 0; i < values->count(); ++i)
            items << values->itemText(i);
        QCOMPARE(items, salespersons);
    }
    QCOMPARE(m_messages->count(), 0);
}

void TestMainWindow::cancelledChangeKeepsTheOperator_data()
{
    QTest::addColumn<QString>("via");
    QTest::addColumn<QString>("password"); // a wrong one tried before cancelling; empty for none
    QTest::addColumn<int>("tries");
    QTest::addColumn<QString>("message");  // the last one shown

    QTest::newRow("menu") << "menu" << "" << 0 << "";
    QTest::newRow("tool bar") << "toolbar" << "" << 0 << "";
    QTest::newRow("a wrong password, then cancel") << "menu" << "wrong" << 1 << "用户名或密码不正确，请重新输入！";
    QTest::newRow("refused after four wrong passwords") << "toolbar" << "wrong" << 4 << "更换操作员失败!";
}

void TestMainWindow::cancelledChangeKeepsTheOperator()
{
    QFETCH(QString, via);
    QFETCH(QString, password);
    QFETCH(int, tries);
    QFETCH(QString, message);

    STEP(logIn(Admin));
    QTRY_COMPARE(listed(grid("house")), houses({1, 2, 3, 5, 6}));
    QTRY_COMPARE(listed(grid("client")), clients({1, 2, 3}));
    STEP(changeOperator(via, password.isEmpty() ? QString() : ZhangSan, password, tries));
    QCOMPARE(m_messages->count(), tries);
    QCOMPARE(m_messages->lastText(), message);
    QCOMPARE(m_window->session().operatorName, Admin);
    QCOMPARE(m_window->statusText(1).trimmed(), Admin);
    QVERIFY(m_window->action(101)->isVisible());
    QTest::qWait(300);
    QCOMPARE(listed(grid("house")), houses({1, 2, 3, 5, 6}));
    QCOMPARE(listed(grid("client")), clients({1, 2, 3}));
}

// ---- Masking ----

void TestMainWindow::detailMasksContactData_data()
{
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("entry"); // the detail tab
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("expected");

    const QString owner = QStringLiteral("业主信息");
    QTest::newRow("another's phone") << WangWu << "house" << houses({2}).first() << owner << "F_LXphone" << Mask;
    QTest::newRow("another's mobile") << WangWu << "house" << houses({2}).first() << owner << "F_LXhandPhone" << Mask;
    QTest::newRow("another's contact") << WangWu << "house" << houses({2}).first() << owner << "F_LXempName" << Mask;
    QTest::newRow("another's address") << WangWu << "house" << houses({2}).first() << "房产信息" << "F_FYaddress" << Mask;
    QTest::newRow("another's empty phone stays empty") << WangWu << "house" << houses({3}).first() << owner << "F_LXphone"
                                                       << "";
    QTest::newRow("his own phone") << WangWu << "house" << houses({5}).first() << owner << "F_LXphone" << "13800000005";
    QTest::newRow("not masked") << LiSi << "house" << houses({5}).first() << owner << "F_LXphone" << "13800000005";
    QTest::newRow("another's client phone") << WangWu << "client" << clients({2}).first() << "客户资料" << "F_cltPhone" << Mask;
    QTest::newRow("another's client name") << WangWu << "client" << clients({2}).first() << "客户资料" << "F_cltName" << Mask;
    QTest::newRow("his own client phone") << WangWu << "client" << clients({3}).first() << "客户资料" << "F_cltPhone"
                                          << "13900000003";
}

void TestMainWindow::detailMasksContactData()
{
    QFETCH(QString, operatorName);
    QFETCH(QString, page);
    QFETCH(QString, code);
    QFETCH(QString, entry);
    QFETCH(QString, column);
    QFETCH(QString, expected);

    STEP(logIn(operatorName));
    if (page == QLatin1String("client"))
        STEP(showPage(MainWindow::ClientPage));
    QLineEdit *editor = nullptr;
    STEP(openDetail(page, entry, column, &editor));

    // Another record first, so that the editor is seen to follow the click.
    const QString other = code == houses({5}).first() || code == clients({3}).first()
                              ? (page == QLatin1String("house") ? houses({2}).first() : clients({2}).first())
                              : (page == QLatin1String("house") ? houses({5}).first() : clients({3}).first());
    STEP(clickRow(page, other));
    STEP(clickRow(page, code));
    QTRY_COMPARE(editor->text(), expected);
}

void TestMainWindow::detailFollowsAChangeOfOperator_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    QTest::newRow("house phone, to a masked operator") << Admin << WangWu << "house" << houses({2}).first() << "业主信息"
                                                       << "F_LXphone" << "13800000002" << Mask;
    QTest::newRow("client phone, to a masked operator") << Admin << WangWu << "client" << clients({2}).first() << "客户资料"
                                                        << "F_cltPhone" << "13900000002" << Mask;
    QTest::newRow("house phone, from a masked operator") << WangWu << Admin << "house" << houses({2}).first() << "业主信息"
                                                         << "F_LXphone" << Mask << "13800000002";
}

// The record shown stays listed after the change: its details must still be
// shown as the new operator may see them.
void TestMainWindow::detailFollowsAChangeOfOperator()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, page);
    QFETCH(QString, code);
    QFETCH(QString, entry);
    QFETCH(QString, column);
    QFETCH(QString, before);
    QFETCH(QString, after);

    STEP(logIn(from));
    if (page == QLatin1String("client"))
        STEP(showPage(MainWindow::ClientPage));
    QLineEdit *editor = nullptr;
    STEP(openDetail(page, entry, column, &editor));
    STEP(clickRow(page, code));
    QTRY_COMPARE(editor->text(), before);

    STEP(changeOperator(QStringLiteral("menu"), to, QString()));
    QCOMPARE(m_window->session().operatorName, to);
    QTRY_VERIFY(rowOfCode(grid(page), code) >= 0);
    QCOMPARE(grid(page)->currentKey(), m_db->dm().queryInt(SqlFragment(
                                           QStringLiteral("select F_ID from %1 where F_code = ?")
                                               .arg(page == QLatin1String("house") ? QStringLiteral("House") : QStringLiteral("Client")),
                                           {code})));
    QTRY_COMPARE(editor->text(), after);
}

void TestMainWindow::gridMasksContactData_data()
{
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<QString>("via"); // "login", or a change of operator from admin
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("expected");

    QTest::newRow("another's phone") << WangWu << "login" << "house" << houses({2}).first() << "F_LXphone" << Mask;
    QTest::newRow("another's contact") << WangWu << "login" << "house" << houses({2}).first() << "F_LXempName" << Mask;
    QTest::newRow("another's empty phone stays empty") << WangWu << "login" << "house" << houses({3}).first() << "F_LXphone"
                                                       << "";
    QTest::newRow("his own phone") << WangWu << "login" << "house" << houses({5}).first() << "F_LXphone" << "13800000005";
    QTest::newRow("not masked") << LiSi << "login" << "house" << houses({5}).first() << "F_LXphone" << "13800000005";
    QTest::newRow("another's client phone") << WangWu << "login" << "client" << clients({1}).first() << "F_cltPhone" << Mask;
    QTest::newRow("his own client phone") << WangWu << "login" << "client" << clients({3}).first() << "F_cltPhone"
                                          << "13900000003";
    QTest::newRow("another's phone after a change") << WangWu << "change" << "house" << houses({2}).first() << "F_LXphone"
                                                    << Mask;
    QTest::newRow("another's client phone after a change") << WangWu << "change" << "client" << clients({1}).first()
                                                           << "F_cltPhone" << Mask;
}

void TestMainWindow::gridMasksContactData()
{
    QFETCH(QString, operatorName);
    QFETCH(QString, via);
    QFETCH(QString, page);
    QFETCH(QString, code);
    QFETCH(QString, column);
    QFETCH(QString, expected);

    STEP(logIn(via == QLatin1String("login") ? operatorName : Admin));
    if (page == QLatin1String("client"))
        STEP(showPage(MainWindow::ClientPage));
    DataGrid *list = grid(page);
    const int field = list->model()->columnOfField(column);
    QVERIFY(field >= 0);
    const auto shown = [&] {
        const int row = rowOfCode(list, code);
        return row < 0 ? QStringLiteral("(not listed)") : list->model()->data(list->model()->index(row, field)).toString();
    };
    if (via != QLatin1String("login")) {
        QTRY_VERIFY(rowOfCode(list, code) >= 0);
        QVERIFY(shown() != expected);
        STEP(changeOperator(QStringLiteral("menu"), operatorName, QString()));
    }
    QTRY_COMPARE(shown(), expected);
}

// ---- Delete ----

void TestMainWindow::deleteMovesToTheRecycleBin_data()
{
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("how"); // a key typed in the list, or "toolbar"
    QTest::addColumn<int>("answer");  // to the question; AnswerNone when none may come
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("moved");

    const QString houseQuestion = QStringLiteral("真的要删除物业名称为 “阳光花园”的房源记录吗？");
    const QString houseRefusal = QStringLiteral("此房产记录不是当前业务员的，您不能删除!");
    QTest::newRow("owner says yes") << ZhangSan << "house" << 1 << "Delete" << int(AnswerYes) << houseQuestion << true;
    QTest::newRow("owner says no") << ZhangSan << "house" << 1 << "Delete" << int(AnswerNo) << houseQuestion << false;
    QTest::newRow("owner from the tool bar") << ZhangSan << "house" << 1 << "toolbar" << int(AnswerYes) << houseQuestion
                                             << true;
    QTest::newRow("owner with Ctrl+S") << ZhangSan << "house" << 1 << "Ctrl+S" << int(AnswerYes) << houseQuestion << true;
    QTest::newRow("not the owner") << LiSi << "house" << 1 << "Delete" << int(AnswerNone) << houseRefusal << false;
    QTest::newRow("not the owner from the tool bar") << LiSi << "house" << 1 << "toolbar" << int(AnswerNone) << houseRefusal
                                                     << false;
    QTest::newRow("admin deletes another's") << Admin << "house" << 2 << "Delete" << int(AnswerYes)
                                             << QStringLiteral("真的要删除物业名称为 “翠苑小区”的房源记录吗？") << true;
    QTest::newRow("without the delete key granted") << ZhouQi << "house" << 1 << "Delete" << int(AnswerNone) << "" << false;
    QTest::newRow("client owner says yes") << ZhangSan << "client" << 1 << "Delete" << int(AnswerYes)
                                           << QStringLiteral("真的要删除客户名称为 “赵一”的客户记录吗？") << true;
    QTest::newRow("client owner says no") << ZhangSan << "client" << 1 << "Delete" << int(AnswerNo)
                                          << QStringLiteral("真的要删除客户名称为 “赵一”的客户记录吗？") << false;
    QTest::newRow("client not the owner") << LiSi << "client" << 1 << "Delete" << int(AnswerNone)
                                          << QStringLiteral("此客户记录不是当前业务员的，您不能删除!") << false;
}

void TestMainWindow::deleteMovesToTheRecycleBin()
{
    QFETCH(QString, operatorName);
    QFETCH(QString, page);
    QFETCH(int, number);
    QFETCH(QString, how);
    QFETCH(int, answer);
    QFETCH(QString, message);
    QFETCH(bool, moved);

    const bool house = page == QLatin1String("house");
    const QString table = house ? QStringLiteral("House") : QStringLiteral("Client");
    const QString code = house ? houses({number}).first() : clients({number}).first();
    const auto flag = [&] {
        return m_db->dm().queryInt(SqlFragment(QStringLiteral("select F_flag from %1 where F_code = ?").arg(table), {code}));
    };

    STEP(logIn(operatorName));
    if (!house)
        STEP(showPage(MainWindow::ClientPage));
    DataGrid *list = grid(page);
    auto *count = find<QLabel>(page + QStringLiteral("CountLabel"));
    QVERIFY(list && count);
    STEP(clickRow(page, code));
    const int rows = list->model()->rowCount();
    QCOMPARE(count->text(), countText(page, rows));
    QVERIFY(list->view()->hasFocus());

    if (answer != AnswerNone)
        m_messages->answerNext(answer);
    if (how == QLatin1String("toolbar"))
        QTest::mouseClick(find<QToolBar>(QStringLiteral("mainToolBar"))->widgetForAction(m_window->action(203)), Qt::LeftButton);
    else
        QTest::keySequence(list->view(), QKeySequence(how));

    QCOMPARE(m_messages->count(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QCOMPARE(m_messages->lastText(), message);
        QCOMPARE(m_messages->lastKind(), int(answer == AnswerNone ? MessageKind::Information : MessageKind::Question));
    }
    QCOMPARE(m_messages->unusedAnswers(), 0);
    QCOMPARE(flag(), moved ? 2 : 0);
    QTRY_COMPARE(listed(list).contains(code), !moved);
    QCOMPARE(list->model()->rowCount(), moved ? rows - 1 : rows);
    QCOMPARE(count->text(), countText(page, list->model()->rowCount()));
}

void TestMainWindow::deleteKeyInTheSearchBoxEditsText_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("typed");     // the current record's code typed first
    QTest::addColumn<int>("cursorKey");  // where the cursor goes before Delete
    QTest::addColumn<int>("deleted");    // characters Delete takes away

    QTest::newRow("house, start of the text") << "house" << true << int(Qt::Key_Home) << 1;
    QTest::newRow("house, end of the text") << "house" << true << int(Qt::Key_End) << 0;
    QTest::newRow("house, empty box") << "house" << false << int(Qt::Key_End) << 0;
    QTest::newRow("client, start of the text") << "client" << true << int(Qt::Key_Home) << 1;
    QTest::newRow("client, empty box") << "client" << false << int(Qt::Key_End) << 0;
}

// With a current record the owner may delete, Delete in the search box still
// only edits the text, even where there is nothing left to delete: no
// question comes (one would fail the test).
void TestMainWindow::deleteKeyInTheSearchBoxEditsText()
{
    QFETCH(QString, page);
    QFETCH(bool, typed);
    QFETCH(int, cursorKey);
    QFETCH(int, deleted);

    STEP(logIn(ZhangSan));
    if (page == QLatin1String("client"))
        STEP(showPage(MainWindow::ClientPage));
    const QString code = page == QLatin1String("house") ? houses({1}).first() : clients({1}).first();
    STEP(clickRow(page, code));
    auto *edit = find<QLineEdit>(page + QStringLiteral("SearchEdit"));
    QVERIFY(edit);
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    const QString text = typed ? code : QString();
    if (typed) {
        typeText(edit, code);
        QTRY_COMPARE(listed(grid(page)), QStringList{code});
    }
    QTest::keyClick(edit, Qt::Key(cursorKey));
    QTest::keyClick(edit, Qt::Key_Delete);
    QCOMPARE(edit->text(), text.mid(deleted));
    QTest::keyClick(edit, Qt::Key_Delete);
    QCOMPARE(edit->text(), text.mid(2 * deleted));
    QCOMPARE(m_messages->count(), 0);
    QCOMPARE(m_db->dm().queryInt(
                 SqlFragment(QStringLiteral("select F_flag from %1 where F_code = ?").arg(page == QLatin1String("house") ? "House" : "Client"),
                             {code})),
             0);
    QTRY_VERIFY(listed(grid(page)).contains(code));
}

// Delete in the search-field or value drop-down belongs to the drop-down:
// no question comes (one would fail the test) and the house stays.
void TestMainWindow::deleteKeyInTheSearchDropDownsAsksNothing()
{
    STEP(logIn(ZhangSan));
    const QString code = houses({1}).first();
    STEP(clickRow(QStringLiteral("house"), code));
    auto *fields = find<QComboBox>(QStringLiteral("houseFieldCombo"));
    QVERIFY(fields);
    fields->setCurrentIndex(fields->findText(QStringLiteral("房屋类型")));
    auto *values = find<QComboBox>(QStringLiteral("houseValueCombo"));
    QVERIFY(values);
    for (QComboBox *box : {fields, values}) {
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
        QTest::keyClick(box, Qt::Key_Delete);
    }
    QCOMPARE(m_messages->count(), 0);
    QCOMPARE(m_db->dm().queryInt(SqlFragment(QStringLiteral("select F_flag from House where F_code = ?"), {code})), 0);
}

// ---- Refresh, status bar, closing ----

void TestMainWindow::refreshRunsTheListsAgain_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("how");

    QTest::newRow("client page, tool bar") << int(MainWindow::ClientPage) << "toolbar";
    QTest::newRow("client page, F5") << int(MainWindow::ClientPage) << "F5";
    QTest::newRow("house page, F5") << int(MainWindow::HousePage) << "F5";
}

void TestMainWindow::refreshRunsTheListsAgain()
{
    QFETCH(int, page);
    QFETCH(QString, how);

    STEP(logIn(Admin));
    STEP(showPage(page));
    QTRY_COMPARE(listed(grid("house")), houses({1, 2, 3, 5, 6}));
    QTRY_COMPARE(listed(grid("client")), clients({1, 2, 3}));
    // Records another workstation added, and one it moved to the recycle bin.
    QVERIFY(m_db->dm().execute("insert into House(F_code,F_EmpName,F_flag) values('00000007','李四',0)"));
    QVERIFY(m_db->dm().execute("insert into Client(F_code,F_empName,F_flag) values('K0000007','李四',0)"));
    QVERIFY(m_db->dm().execute("update House set F_flag = 2 where F_code = '00000005'"));

    if (how == QLatin1String("toolbar")) {
        auto *action = find<QAction>(QStringLiteral("refreshAction"));
        QVERIFY(action);
        QTest::mouseClick(find<QToolBar>(QStringLiteral("mainToolBar"))->widgetForAction(action), Qt::LeftButton);
    } else {
        QTest::keyClick(m_window.get(), Qt::Key_F5);
    }
    QTRY_COMPARE(listed(grid("house")), houses({1, 2, 3, 6, 7}));
    QCOMPARE(find<QLabel>(QStringLiteral("houseCountLabel"))->text(), countText("house", 5));
    if (page == MainWindow::ClientPage)
        QTRY_COMPARE(listed(grid("client")), clients({1, 2, 3, 7}));
}

void TestMainWindow::statusBarShowsTheTime()
{
    Clock::setFixed(QDateTime(QDate(2024, 3, 5), QTime(8, 9, 7)));
    STEP(logIn(Admin));
    auto *panel = find<QLabel>(QStringLiteral("statusPanel3"));
    QVERIFY(panel);
    QCOMPARE(panel->text().trimmed(), QStringLiteral("2024-03-05 08:09:07"));
    // The clock runs on: the panel follows within a second.
    Clock::setFixed(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58)));
    QTRY_COMPARE_WITH_TIMEOUT(panel->text().trimmed(), QStringLiteral("2024-12-31 23:59:58"), 2500);
    QCOMPARE(m_window->statusText(1).trimmed(), Admin);
}

void TestMainWindow::closingAsksFirst_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("answer");

    QTest::newRow("close, no") << "close" << int(AnswerNo);
    QTest::newRow("close, yes") << "close" << int(AnswerYes);
    QTest::newRow("Esc, no") << "Esc" << int(AnswerNo);
    QTest::newRow("Esc, yes") << "Esc" << int(AnswerYes);
    QTest::newRow("exit entry, no") << "exit" << int(AnswerNo);
    QTest::newRow("tool bar, yes") << "toolbar" << int(AnswerYes);
}

void TestMainWindow::closingAsksFirst()
{
    QFETCH(QString, how);
    QFETCH(int, answer);

    STEP(logIn(Admin));
    m_messages->answerNext(answer);
    if (how == QLatin1String("Esc")) {
        grid("house")->view()->setFocus();
        QTest::keyClick(grid("house")->view(), Qt::Key_Escape);
    } else if (how == QLatin1String("exit")) {
        find<QAction>(QStringLiteral("exitAction"))->trigger();
    } else if (how == QLatin1String("toolbar")) {
        QTest::mouseClick(find<QToolBar>(QStringLiteral("mainToolBar"))->widgetForAction(find<QAction>(QStringLiteral("closeAction"))),
                          Qt::LeftButton);
    } else {
        m_window->close();
    }
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->lastText(), QStringLiteral("真的要退出“Quellon房产中介管理软件 ”软件吗？"));
    QCOMPARE(m_messages->lastKind(), int(MessageKind::Question));
    QCOMPARE(m_window->isVisible(), answer == AnswerNo);
}

void TestMainWindow::savingTheLayoutAsksFirst()
{
    STEP(logIn(Admin));
    auto *grid = m_window->findChild<DataGrid *>(QStringLiteral("houseGrid"));
    QVERIFY(grid);
    const int column = grid->model()->columnOfField("F_code");
    QVERIFY(column >= 0);
    const int stored = int(m_db->dm().queryInt("select F_width from cfg_grid where F_name = 'housemain' and F_fieldname = 'F_code'"));
    grid->view()->horizontalHeader()->resizeSection(column, stored + 70);
    auto *save = m_window->findChild<QAction *>(QStringLiteral("act206"));
    QVERIFY(save);

    MessageRecorder messages;
    messages.answerNext(AnswerNo);
    save->trigger();
    QCOMPARE(messages.lastText(), QStringLiteral("真的要保存当前网格设置吗？"));
    QCOMPARE(m_db->dm().queryInt("select F_width from cfg_grid where F_name = 'housemain' and F_fieldname = 'F_code'"), stored);
    messages.answerNext(AnswerYes);
    save->trigger();
    QCOMPARE(m_db->dm().queryInt("select F_width from cfg_grid where F_name = 'housemain' and F_fieldname = 'F_code'"), stored + 70);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
