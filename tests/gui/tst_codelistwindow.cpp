#include "CodeListWindow.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

using namespace Quellon;
using QuellonTest::FixtureDatabase;
using QuellonTest::MessageRecorder;

namespace {
QStringList storedNames(Database &dm, const QString &kind)
{
    QStringList names;
    QSqlQuery q(dm.database());
    q.prepare("select F_Name from t_code where F_type = :k order by F_ID");
    q.bindValue(":k", kind);
    q.exec();
    while (q.next())
        names << q.value(0).toString();
    return names;
}

QStringList shownNames(const CodeListWindow &window)
{
    QStringList names;
    for (int row = 0; row < window.grid()->rowCount(); ++row)
        names << window.grid()->item(row, 0)->text();
    return names;
}

// Types text as committed input-method text, the way Chinese arrives.
void typeText(QWidget *widget, const QString &text)
{
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text, Qt::NoModifier);
}

// The open cell editor of the grid, which has the focus while a name is typed.
QLineEdit *cellEditor()
{
    return qobject_cast<QLineEdit *>(QApplication::focusWidget());
}

class CodeWindow
{
public:
    explicit CodeWindow(Database &dm)
        : window(dm)
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QApplication::setActiveWindow(&window);
        QTRY_VERIFY(window.isActiveWindow());
    }

    QAction *action(const char *name) const { return window.findChild<QAction *>(name); }
    void click(const char *actionName)
    {
        QTest::mouseClick(window.toolBar()->widgetForAction(action(actionName)), Qt::LeftButton);
    }
    void openPage(const QString &kind)
    {
        QTest::mouseClick(window.findChild<QToolButton *>("page_" + kind), Qt::LeftButton);
    }
    // Whether exactly the buttons of the state are usable.
    bool showsEditState(bool editing) const
    {
        for (const char *name : {"addAction", "modifyAction", "deleteAction", "printAction", "refreshAction", "exitAction"}) {
            if (action(name)->isEnabled() == editing)
                return false;
        }
        return action("saveAction")->isEnabled() == editing && action("cancelAction")->isEnabled() == editing
               && window.findChild<QToolButton *>("page_jiaju")->isEnabled() != editing && window.isEditing() == editing;
    }

    CodeListWindow window;
};
} // namespace

class TestCodeMan : public QObject
{
    Q_OBJECT
private slots:
    void opensOnTheFirstPage();
    void newRowsTakeThePageKind();
    void cancelDiscardsEveryChange();
    void failedSaveKeepsTheEdits();
    void emptyPageIsReported_data();
    void emptyPageIsReported();
    void deleteAsksAndWritesAtOnce_data();
    void deleteAsksAndWritesAtOnce();
    void keysPressTheButtons();
};

void TestCodeMan::opensOnTheFirstPage()
{
    FixtureDatabase db;
    CodeWindow w(db.dm());
    QCOMPARE(w.window.windowTitle(), QStringLiteral("选项设置..."));
    QCOMPARE(w.window.currentKind(), QStringLiteral("fwtype"));
    QCOMPARE(w.window.grid()->horizontalHeaderItem(0)->text(), QStringLiteral("房屋类型"));
    QCOMPARE(shownNames(w.window), storedNames(db.dm(), "fwtype"));
    QVERIFY(w.showsEditState(false));
    QCOMPARE(w.window.grid()->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(w.window.findChildren<QToolButton *>(QRegularExpression("^page_")).size(), 24);
}

void TestCodeMan::newRowsTakeThePageKind()
{
    FixtureDatabase db;
    CodeWindow w(db.dm());
    w.openPage("jiaju");
    QCOMPARE(w.window.currentKind(), QStringLiteral("jiaju"));
    QCOMPARE(w.window.grid()->horizontalHeaderItem(0)->text(), QStringLiteral("家    俱"));
    const QStringList before = storedNames(db.dm(), "jiaju");
    QCOMPARE(shownNames(w.window), before);

    w.click("addAction");
    QVERIFY(w.showsEditState(true));
    QVERIFY(cellEditor());
    typeText(cellEditor(), QStringLiteral("红木床"));
    // Down on the last row appends another; on an untouched new row it does not.
    QTest::keyClick(cellEditor(), Qt::Key_Down);
    typeText(cellEditor(), QStringLiteral("藤'椅"));
    QTest::keyClick(cellEditor(), Qt::Key_Down);
    QTest::keyClick(cellEditor(), Qt::Key_Down);
    QCOMPARE(w.window.grid()->rowCount(), before.size() + 3);
    w.click("saveAction");

    QVERIFY(w.showsEditState(false));
    const QStringList after = before + QStringList{"红木床", "藤'椅"};
    QCOMPARE(storedNames(db.dm(), "jiaju"), after);
    QCOMPARE(db.dm().queryInt("select count(*) from t_code where F_type = 'jiaju' and F_Name in ('红木床', '藤''椅')"), 2);
    QCOMPARE(db.dm().queryInt("select count(*) from t_code where F_Name = ''"), 0);
    QCOMPARE(shownNames(w.window), after);
}

void TestCodeMan::cancelDiscardsEveryChange()
{
    FixtureDatabase db;
    CodeWindow w(db.dm());
    const QStringList before = storedNames(db.dm(), "fwtype");
    QTableWidget *grid = w.window.grid();
    // A double-click in browse state is "修改".
    const QPoint at = grid->visualItemRect(grid->item(0, 0)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    QVERIFY(w.showsEditState(true));

    grid->editItem(grid->item(0, 0));
    cellEditor()->selectAll();
    typeText(cellEditor(), QStringLiteral("改过"));
    QTest::keyClick(cellEditor(), Qt::Key_Down);
    QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("改过"));
    grid->setCurrentCell(grid->rowCount() - 1, 0);
    QTest::keyClick(grid, Qt::Key_Down);
    typeText(cellEditor(), QStringLiteral("新项"));
    w.click("cancelAction");

    QVERIFY(w.showsEditState(false));
    QCOMPARE(shownNames(w.window), before);
    QCOMPARE(storedNames(db.dm(), "fwtype"), before);
}

void TestCodeMan::failedSaveKeepsTheEdits()
{
    FixtureDatabase db;
    QVERIFY(db.dm().execute("create trigger refuse before insert on t_code begin select raise(abort, 'refused'); end"));
    MessageRecorder messages;
    CodeWindow w(db.dm());
    const QStringList before = storedNames(db.dm(), "fwtype");
    QTableWidget *grid = w.window.grid();
    w.click("modifyAction");
    grid->editItem(grid->item(0, 0));
    cellEditor()->selectAll();
    typeText(cellEditor(), QStringLiteral("改过"));
    grid->setCurrentCell(grid->rowCount() - 1, 0);
    QTest::keyClick(grid, Qt::Key_Down);
    typeText(cellEditor(), QStringLiteral("新项"));
    w.click("saveAction");

    QCOMPARE(messages.lastKind(), int(MessageKind::Error));
    // The update ran before the insert failed; the whole batch is undone.
    QCOMPARE(storedNames(db.dm(), "fwtype"), before);
    QVERIFY(w.showsEditState(true));
    QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("改过"));
    QCOMPARE(grid->item(grid->rowCount() - 1, 0)->text(), QStringLiteral("新项"));

    w.click("cancelAction");
    QCOMPARE(shownNames(w.window), before);
}

void TestCodeMan::emptyPageIsReported_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("修改") << "modifyAction" << int(MessageKind::Error) << "此表为空，没有记录需要修改！";
    QTest::newRow("删除") << "deleteAction" << int(MessageKind::Information) << "此表是空表，不需要删除！";
}

void TestCodeMan::emptyPageIsReported()
{
    QFETCH(QString, action);
    QFETCH(int, kind);
    QFETCH(QString, message);
    FixtureDatabase db;
    MessageRecorder messages;
    CodeWindow w(db.dm());
    w.openPage("cjempname");
    QCOMPARE(w.window.grid()->rowCount(), 0);
    w.click(action.toLatin1().constData());
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.lastKind(), kind);
    QCOMPARE(messages.lastText(), message);
    QVERIFY(w.showsEditState(false));
}

void TestCodeMan::deleteAsksAndWritesAtOnce_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("confirmed") << 1 << true;
    QTest::newRow("declined") << 2 << false;
}

void TestCodeMan::deleteAsksAndWritesAtOnce()
{
    QFETCH(int, answer);
    QFETCH(bool, deleted);
    FixtureDatabase db;
    MessageRecorder messages;
    messages.answerNext(answer);
    CodeWindow w(db.dm());
    QStringList expected = storedNames(db.dm(), "fwtype");
    QTableWidget *grid = w.window.grid();
    grid->setCurrentCell(1, 0);
    const QString name = grid->item(1, 0)->text();
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Delete);

    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.lastKind(), int(MessageKind::Question));
    QCOMPARE(messages.lastText(), QStringLiteral("真的要删除 \" 房屋类型 \"") + name + QStringLiteral("吗？"));
    if (deleted)
        expected.removeAt(1);
    QCOMPARE(storedNames(db.dm(), "fwtype"), expected);
    QCOMPARE(shownNames(w.window), expected);
    QVERIFY(w.showsEditState(false));
}

void TestCodeMan::keysPressTheButtons()
{
    FixtureDatabase db;
    CodeWindow w(db.dm());
    const QStringList before = storedNames(db.dm(), "fwtype");
    QTableWidget *grid = w.window.grid();
    grid->setFocus();

    QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(w.showsEditState(true));
    typeText(cellEditor(), QStringLiteral("键入"));
    QTest::keyClick(cellEditor(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(w.showsEditState(false));
    QCOMPARE(storedNames(db.dm(), "fwtype"), before + QStringList{"键入"});

    QTest::keyClick(grid, Qt::Key_E, Qt::ControlModifier);
    QVERIFY(w.showsEditState(true));
    grid->editItem(grid->item(0, 0));
    typeText(cellEditor(), QStringLiteral("后缀"));
    // Esc cancels the edit state first, and closes the window from browsing.
    QTest::keyClick(cellEditor(), Qt::Key_Escape);
    QVERIFY(w.showsEditState(false));
    QCOMPARE(shownNames(w.window), before + QStringList{"键入"});
    QVERIFY(w.window.isVisible());
    QTest::keyClick(grid, Qt::Key_Escape);
    QVERIFY(!w.window.isVisible());
    QCOMPARE(w.window.result(), int(QDialog::Rejected));
}

QTEST_MAIN(TestCodeMan)
#include "tst_codelistwindow.moc"
