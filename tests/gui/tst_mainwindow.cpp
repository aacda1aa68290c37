#include "AppConfig.h"
#include "DataGrid.h"
#include "GridModel.h"
#include "LoginService.h"
#include "MainWindow.h"
#include "TestSupport.h"

#include <QAction>
#include <QHeaderView>
#include <QTableView>
#include <QtTest>

using namespace Quellon;
using QuellonTest::FixtureDatabase;
using QuellonTest::MessageRecorder;

// The main window as the program shows it after a login.
class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void houseListKeepsToTheScope();
    void savingTheLayoutAsksFirst();

private:
    void logIn(const QString &name);

    std::unique_ptr<FixtureDatabase> m_db;
    QTemporaryDir m_dir;
    std::unique_ptr<AppConfig> m_config;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainWindow::init()
{
    m_db = std::make_unique<FixtureDatabase>();
    QVERIFY(m_db->isValid());
    m_config = std::make_unique<AppConfig>(m_dir.filePath("config.ini"));
    QVERIFY(m_db->dm().execute("insert into House(F_mainID,F_code,F_EmpName,F_flag) values"
                               "(1,'00000001','张三',0),(2,'00000002','O''Brien',0),(3,'00000003','张三',2)"));
    QVERIFY(m_db->dm().execute("insert into OperList(F_Name,F_PassWord,F_empFlag) values('张三','',1)"));
}

void TestMainWindow::cleanup()
{
    m_window.reset();
    m_config.reset();
    m_db.reset();
}

void TestMainWindow::logIn(const QString &name)
{
    m_window = std::make_unique<MainWindow>(m_db->dm(), *m_config);
    m_window->applyLogin(LoginService::loadState(m_db->dm(), name, QString()));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestMainWindow::houseListKeepsToTheScope()
{
    logIn(QStringLiteral("张三"));
    auto *grid = m_window->findChild<DataGrid *>(QStringLiteral("houseGrid"));
    QVERIFY(grid);
    QTRY_COMPARE(grid->model()->rowCount(), 1);
    QCOMPARE(grid->model()->value(0, grid->model()->columnOfField("F_code")).toString(), QStringLiteral("00000001"));
}

void TestMainWindow::savingTheLayoutAsksFirst()
{
    logIn(QStringLiteral("admin"));
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
