#include "NameInputDialog.h"
#include "CodeTreeWindow.h"
#include "TestSupport.h"
#include "WhenModal.h"
#include "TreeCodeService.h"
#include "TreeIcons.h"
#include "TreeNodeItem.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>
#include <functional>

using namespace Quellon;
using QuellonTest::FixtureDatabase;
using QuellonTest::MessageRecorder;
using QuellonTest::WhenModal;

namespace {
void storeArea(Database &dm)
{
    const QList<QStringList> rows{{"001", "华东", "\\\\华东"},
                                  {"001001", "上海", "\\\\华东\\上海"},
                                  {"001002", "杭州", "\\\\华东\\杭州"},
                                  {"002", "华北", "\\\\华北"}};
    for (const QStringList &r : rows)
        QVERIFY(dm.execute("insert into t_treecode(F_code,F_name,F_likecode,F_flag) values(:c,:n,:p,'area')",
                           {{":c", r.at(0)}, {":n", r.at(1)}, {":p", r.at(2)}}));
}

// The path a field holds when the window is opened to choose.
const QString GivenPath = QStringLiteral("\\\\华东\\上海");

QTreeWidgetItem *itemByCode(QTreeWidget *tree, const QString &code)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if (TreeNodeItem::data(*it).code == code)
            return *it;
    }
    return nullptr;
}

// Types text as committed input-method text, the way Chinese arrives.
void typeText(QWidget *widget, const QString &text)
{
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text, Qt::NoModifier);
}

void answerNameDialog(NameInputDialog *dialog, const QString &text)
{
    auto *edit = dialog->findChild<QLineEdit *>("nameEdit");
    edit->clear();
    typeText(edit, text);
    QTest::mouseClick(dialog->findChild<QPushButton *>("okButton"), Qt::LeftButton);
}
} // namespace

class TestTreeWindow : public QObject
{
    Q_OBJECT
private slots:
    void chooseNode_data();
    void chooseNode();
    void selectModeWithoutChoiceKeepsPath_data();
    void selectModeWithoutChoiceKeepsPath();
    void addsChildrenAndSiblings();
    void rootHasNoSiblings();
    void renameUpdatesNodeAndDescendants();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void rootCannotBeDeleted();
    void nameDialogRefusesBadNames_data();
    void nameDialogRefusesBadNames();
};

void TestTreeWindow::selectModeWithoutChoiceKeepsPath_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("取消") << false;
    QTest::newRow("Esc") << true;
}

void TestTreeWindow::selectModeWithoutChoiceKeepsPath()
{
    QFETCH(bool, escape);
    FixtureDatabase db;
    storeArea(db.dm());
    WhenModal<CodeTreeWindow> leave([&](CodeTreeWindow *window) {
        window->tree()->setCurrentItem(itemByCode(window->tree(), "002"));
        if (escape)
            QTest::keyClick(window->tree(), Qt::Key_Escape);
        else
            QTest::mouseClick(window->findChild<QPushButton *>("cancelButton"), Qt::LeftButton);
    });
    QCOMPARE(CodeTreeWindow::selectPath(db.dm(), CodeTreeWindow::SelectArea, "\\\\不存在", {}), QStringLiteral("\\\\不存在"));
}

void TestTreeWindow::chooseNode_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("message");
    const QString chosen = QStringLiteral("\\\\华东\\杭州");
    const QString refusal = QStringLiteral("不能选择根节点！");
    for (const char *way : {"确定", "Enter", "double-click"}) {
        QTest::addRow("%s on a node", way) << way << "001002" << chosen << "";
        QTest::addRow("%s on the root", way) << way << "000" << GivenPath << refusal;
    }
}

void TestTreeWindow::chooseNode()
{
    QFETCH(QString, way);
    QFETCH(QString, code);
    QFETCH(QString, expected);
    QFETCH(QString, message);

    FixtureDatabase db;
    storeArea(db.dm());
    MessageRecorder messages;
    QString marked;
    bool buttonsShown = false;
    bool stayedOpen = false;
    WhenModal<CodeTreeWindow> choose([&](CodeTreeWindow *window) {
        QTreeWidget *tree = window->tree();
        marked = window->selectedPath();
        buttonsShown = window->findChild<QPushButton *>("okButton")->isVisible();
        QTreeWidgetItem *item = itemByCode(tree, code);
        tree->setCurrentItem(item);
        if (way == "double-click") {
            // A real double-click arrives as a click followed by the double-click.
            const QPoint at = tree->visualItemRect(item).center();
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
        } else if (way == "Enter") {
            QTest::keyClick(tree, Qt::Key_Return);
        } else {
            QTest::mouseClick(window->findChild<QPushButton *>("okButton"), Qt::LeftButton);
        }
        stayedOpen = window->isVisible();
        if (stayedOpen)
            QTest::keyClick(tree, Qt::Key_Escape);
    });
    const QString path = CodeTreeWindow::selectPath(db.dm(), CodeTreeWindow::SelectArea, GivenPath, {});
    QCOMPARE(choose.seen, 1);
    QCOMPARE(marked, GivenPath);
    QVERIFY(buttonsShown);
    QCOMPARE(path, expected);
    QCOMPARE(stayedOpen, !message.isEmpty());
    QCOMPARE(messages.lastText(), message);
}

void TestTreeWindow::addsChildrenAndSiblings()
{
    FixtureDatabase db;
    MessageRecorder messages;
    CodeTreeWindow window(db.dm(), CodeTreeWindow::ManageClientType);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.windowTitle(), QStringLiteral("客户分类"));
    QVERIFY(!window.findChild<QPushButton *>("okButton")->isVisible());
    QTreeWidget *tree = window.tree();
    QTreeWidgetItem *root = tree->topLevelItem(0);
    QCOMPARE(root->text(0), QStringLiteral("客户分类"));

    QStringList titles;
    const auto addWith = [&](const char *button, const QString &name) {
        WhenModal<NameInputDialog> answer([&](NameInputDialog *dialog) {
            titles << dialog->windowTitle();
            answerNameDialog(dialog, name);
        });
        QTest::mouseClick(window.findChild<QPushButton *>(button), Qt::LeftButton);
        QCOMPARE(answer.seen, 1);
    };
    tree->setCurrentItem(root);
    addWith("addChildButton", "个人");
    QTreeWidgetItem *first = itemByCode(tree, "001");
    QVERIFY(first);
    QCOMPARE(first->parent(), root);
    QCOMPARE(TreeIcons::imageIndex(first, false), 2);

    tree->setCurrentItem(first);
    addWith("addChildButton", "O'Neil");
    addWith("addSiblingButton", "企业");
    tree->setCurrentItem(itemByCode(tree, "001001"));
    addWith("addSiblingButton", "团体");

    QCOMPARE(titles, (QStringList{"添加 000 客户分类 子类", "添加 001 个人 子类", "添加 001 个人 同类", "添加 001001 O'Neil 同类"}));
    QCOMPARE(messages.count(), 0);
    QCOMPARE(TreeIcons::imageIndex(first, false), 1);
    QCOMPARE(first->childCount(), 2);
    QCOMPARE(TreeNodeItem::data(first->child(1)).path, QStringLiteral("\\\\个人\\团体"));
    QCOMPARE(root->childCount(), 2);

    QSqlQuery q(db.dm().database());
    QVERIFY(q.exec("select F_code, F_name, F_likecode, F_flag from t_treecode order by F_code"));
    QStringList rows;
    while (q.next())
        rows << QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString()}.join('|');
    QCOMPARE(rows, (QStringList{"001|个人|\\\\个人|clttype", "001001|O'Neil|\\\\个人\\O'Neil|clttype",
                                "001002|团体|\\\\个人\\团体|clttype", "002|企业|\\\\企业|clttype"}));
}

void TestTreeWindow::rootHasNoSiblings()
{
    FixtureDatabase db;
    MessageRecorder messages;
    CodeTreeWindow window(db.dm(), CodeTreeWindow::ManageArea);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    WhenModal<NameInputDialog> noDialog([](NameInputDialog *dialog) { dialog->reject(); });
    window.tree()->setCurrentItem(window.tree()->topLevelItem(0));
    QTest::mouseClick(window.findChild<QPushButton *>("addSiblingButton"), Qt::LeftButton);
    QCOMPARE(noDialog.seen, 0);
    QCOMPARE(messages.lastText(), QStringLiteral("不能增加根节点的同类节点，该节点只能增加子节点！"));
    QCOMPARE(db.dm().queryInt("select count(*) from t_treecode"), 0);
}

void TestTreeWindow::renameUpdatesNodeAndDescendants()
{
    FixtureDatabase db;
    storeArea(db.dm());
    QVERIFY(db.dm().execute("insert into House(F_mainID, F_area) values(1, :p)", {{":p", "\\\\华东\\上海"}}));
    MessageRecorder messages;
    CodeTreeWindow window(db.dm(), CodeTreeWindow::ManageArea);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    QTreeWidget *tree = window.tree();
    tree->setCurrentItem(itemByCode(tree, "001"));
    tree->setFocus();

    QString title;
    QString prefilled;
    WhenModal<NameInputDialog> answer([&](NameInputDialog *dialog) {
        title = dialog->windowTitle();
        prefilled = dialog->text();
        answerNameDialog(dialog, "东部");
    });
    QTest::keyClick(tree, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(answer.seen, 1);
    QCOMPARE(title, QStringLiteral("修改类别 001 华东 子类"));
    QCOMPARE(prefilled, QStringLiteral("华东"));
    QTreeWidgetItem *renamed = itemByCode(tree, "001");
    QCOMPARE(renamed->text(0), QStringLiteral("东部"));
    QCOMPARE(TreeNodeItem::data(renamed).path, QStringLiteral("\\\\东部"));
    QCOMPARE(TreeNodeItem::data(itemByCode(tree, "001001")).path, QStringLiteral("\\\\东部\\上海"));
    QCOMPARE(db.dm().queryText("select F_likecode from t_treecode where F_code = '001002'"), QStringLiteral("\\\\东部\\杭州"));
    QCOMPARE(db.dm().queryText("select F_area from House"), QStringLiteral("\\\\东部\\上海"));
    QCOMPARE(messages.count(), 0);
}

void TestTreeWindow::deleteAsksFirst_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("remaining");
    const QString withChildren = QStringLiteral("此节点包含有子节点，真的要删除所有的子节点吗？");
    QTest::newRow("node with children, confirmed") << "001" << 1 << withChildren << QStringList{"002"};
    QTest::newRow("node with children, declined") << "001" << 2 << withChildren << QStringList{"001", "001001", "001002", "002"};
    QTest::newRow("leaf, confirmed") << "001002" << 1 << QStringLiteral("真的要删除当前节点 “001002杭州” 吗？")
                                     << QStringList{"001", "001001", "002"};
}

void TestTreeWindow::deleteAsksFirst()
{
    QFETCH(QString, code);
    QFETCH(int, answer);
    QFETCH(QString, question);
    QFETCH(QStringList, remaining);

    FixtureDatabase db;
    storeArea(db.dm());
    MessageRecorder messages;
    messages.answerNext(answer);
    CodeTreeWindow window(db.dm(), CodeTreeWindow::ManageArea);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    QTreeWidget *tree = window.tree();
    tree->setCurrentItem(itemByCode(tree, code));
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Delete);

    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.lastText(), question);
    QStringList stored;
    QStringList shown;
    QSqlQuery q(db.dm().database());
    QVERIFY(q.exec("select F_code from t_treecode order by F_code"));
    while (q.next())
        stored << q.value(0).toString();
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if (!TreeNodeItem::data(*it).isRoot())
            shown << TreeNodeItem::data(*it).code;
    }
    QCOMPARE(stored, remaining);
    QCOMPARE(shown, remaining);
}

void TestTreeWindow::rootCannotBeDeleted()
{
    FixtureDatabase db;
    storeArea(db.dm());
    MessageRecorder messages;
    CodeTreeWindow window(db.dm(), CodeTreeWindow::ManageArea);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    QTreeWidget *tree = window.tree();
    tree->setCurrentItem(tree->topLevelItem(0));
    tree->setFocus();
    QVERIFY(!window.findChild<QPushButton *>("deleteButton")->isEnabled());
    QTest::keyClick(tree, Qt::Key_Delete);
    QCOMPARE(messages.count(), 0);
    QCOMPARE(tree->topLevelItemCount(), 1);
    QCOMPARE(db.dm().queryInt("select count(*) from t_treecode"), 4);
    tree->setCurrentItem(itemByCode(tree, "002"));
    QVERIFY(window.findChild<QPushButton *>("deleteButton")->isEnabled());
}

void TestTreeWindow::nameDialogRefusesBadNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("blank") << "  " << "部门名称不能为空！";
    QTest::newRow("backslash") << "上海\\浦东" << "名称中不能含有反斜杠“\\”，它是路径的分隔符！";
}

void TestTreeWindow::nameDialogRefusesBadNames()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    MessageRecorder messages;
    NameInputDialog dialog(QStringLiteral("添加 000 所在区域 子类"));
    dialog.setValidator(&TreeCodeService::nameProblem);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QApplication::setActiveWindow(&dialog);
    auto *edit = dialog.findChild<QLineEdit *>("nameEdit");
    typeText(edit, typed);
    QTest::keyClick(edit, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(messages.lastText(), message);
    QVERIFY(dialog.isVisible());
    QTRY_VERIFY(edit->hasFocus());

    edit->clear();
    typeText(edit, QStringLiteral("浦东"));
    QTest::keyClick(edit, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.text(), QStringLiteral("浦东"));
}

QTEST_MAIN(TestTreeWindow)
#include "tst_codetreewindow.moc"
