#include "DataGrid.h"
#include "GridLayoutStore.h"
#include "GridModel.h"
#include "ColumnChooserDialog.h"
#include "DatabaseTransaction.h"
#include "TestSupport.h"
#include "WhenModal.h"
#include "SortDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

using namespace Quellon;
using QuellonTest::FixtureDatabase;
using QuellonTest::MessageRecorder;
using QuellonTest::WhenModal;

namespace {
GridColumns designed()
{
    GridColumns columns;
    for (const auto &[field, caption] : {std::pair{"F_code", "编号"}, std::pair{"F_name", "居住圈"},
                                         std::pair{"F_salePrice", "售价"}, std::pair{"F_memo3", "备注"},
                                         std::pair{"F_EmpName", "业务员"}}) {
        GridColumn c;
        c.field = QString::fromLatin1(field);
        c.caption = QString::fromUtf8(caption);
        columns << c;
    }
    columns[0].footer = GridColumn::FooterText;
    columns[0].footerText = QStringLiteral("合计");
    columns[2].footer = GridColumn::FooterSum;
    return columns;
}

} // namespace

// The grid in a window, driven as a user drives it.
class TestDataGrid : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void footerShowsTheListTotal();
    void numberFormatsFollowFieldNames_data();
    void numberFormatsFollowFieldNames();
    void titleClicksAlternate();
    void memoTitleMarksOnly();
    void typingFindsARow();
    void currentRowSurvivesARefresh();
    void deletedCurrentRowGivesWayToTheNext();
    void failedReadIsShownOnceAfterThePaint();
    void layoutSurvivesSavingAndReopening();
    void layoutWithSomeFieldsShowsOnlyThose();
    void fieldChooserShowsAndHides();
    void sortDialogOrdersByPriority();
    void sortDialogCancelRestoresOwnOrder();
    void copyTakesSelectedRowsAsShown();
    void requestedQueryKeepsTheCurrentRow();

private:
    QString codeAt(int row) { return m_grid->model()->value(row, 0).toString(); }
    std::unique_ptr<FixtureDatabase> m_db;
    std::unique_ptr<DataGrid> m_grid;
};

void TestDataGrid::init()
{
    m_db = std::make_unique<FixtureDatabase>();
    Database &dm = m_db->dm();
    // Codes and names run in opposite orders; prices and memos vary.
    DatabaseTransaction t(dm);
    for (int i = 1; i <= 600; ++i) {
        QVERIFY(dm.execute("insert into House(F_mainID,F_code,F_name,F_salePrice,F_memo3,F_EmpName) values(:m,:c,:n,:p,:memo,'张三')",
                           {{":m", i}, {":c", QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0'))},
                            {":n", QStringLiteral("楼盘%1").arg(1000 - i)}, {":p", (i * 37) % 500},
                            {":memo", QStringLiteral("备注%1").arg(i % 7)}}));
    }
    QVERIFY(t.commit());
    m_grid = std::make_unique<DataGrid>(dm);
    m_grid->setTitleClickSort(true);
    m_grid->setColumns(designed());
    m_grid->resize(800, 400);
    m_grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_grid.get()));
    QVERIFY(m_grid->setQuery(GridQuery(SqlFragment(QStringLiteral("select * from House where (F_flag=0) ")), QStringLiteral("F_code"))));
}

void TestDataGrid::cleanup()
{
    m_grid.reset();
    m_db.reset();
}

void TestDataGrid::footerShowsTheListTotal()
{
    QWidget *footer = m_grid->findChild<QWidget *>("gridFooter");
    QVERIFY(footer && footer->isVisible());
    QTRY_VERIFY(!m_grid->model()->footerPending());
    QCOMPARE(m_grid->model()->footerText(2), QString::number(m_db->dm().queryInt("select sum(F_salePrice) from House")));
    // Painted under a scrolled view without trouble.
    m_grid->view()->horizontalScrollBar()->setValue(50);
    QVERIFY(!footer->grab().isNull());
}

void TestDataGrid::numberFormatsFollowFieldNames_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("format");
    QTest::newRow("price") << "F_salePrice" << QStringLiteral("￥,0.00");
    QTest::newRow("price, any case") << "F_SJPRICE1" << QStringLiteral("￥,0.00");
    QTest::newRow("value") << "F_value" << QStringLiteral("￥,0.");
    QTest::newRow("amount") << "F_amount" << "0.##";
    QTest::newRow("other keeps its own") << "F_editDate" << "yyyy-mm-dd";
}

void TestDataGrid::numberFormatsFollowFieldNames()
{
    QFETCH(QString, field);
    QFETCH(QString, format);
    GridColumn c;
    c.field = field;
    c.displayFormat = QStringLiteral("yyyy-mm-dd");
    const GridColumns formatted = GridLayoutStore::withNumberFormats({c}, "0.##", QStringLiteral("￥,0.00"), QStringLiteral("￥,0."));
    QCOMPARE(formatted.at(0).displayFormat, format);
}

void TestDataGrid::titleClicksAlternate()
{
    QHeaderView *titles = m_grid->view()->horizontalHeader();
    const QPoint priceTitle(titles->sectionViewportPosition(2) + 10, titles->height() / 2);
    QStringList firstCodes;
    for (int click = 0; click < 3; ++click) {
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, priceTitle);
        const bool ascending = click != 1;
        QCOMPARE(m_grid->sortMarkerColumn(), 2);
        QCOMPARE(m_grid->sortMarkerAscending(), ascending);
        QCOMPARE(titles->sortIndicatorOrder(), ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        const double first = m_grid->model()->value(0, 2).toDouble();
        const double last = m_grid->model()->value(m_grid->model()->rowCount() - 1, 2).toDouble();
        QVERIFY(ascending ? first <= last : first >= last);
        firstCodes << codeAt(0);
    }
    QCOMPARE(firstCodes.at(0), firstCodes.at(2));
}

void TestDataGrid::memoTitleMarksOnly()
{
    const QString before = codeAt(0);
    QHeaderView *titles = m_grid->view()->horizontalHeader();
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, QPoint(titles->sectionViewportPosition(3) + 10, 5));
    QCOMPARE(m_grid->sortMarkerColumn(), 3);
    QCOMPARE(codeAt(0), before);
}

void TestDataGrid::typingFindsARow()
{
    QTableView *view = m_grid->view();
    view->setFocus();
    view->setCurrentIndex(m_grid->model()->index(0, 1));
    // Names run 楼盘999 down to 楼盘400 in code order: the first in list
    // order that starts with 楼盘42 is 楼盘429.
    const QString wanted = QStringLiteral("楼盘42");
    QTest::sendKeyEvent(QTest::Click, view, Qt::Key_unknown, wanted, Qt::NoModifier);
    QCOMPARE(m_grid->searchText(), wanted);
    QVERIFY(m_grid->model()->value(m_grid->currentRow(), 1).toString().startsWith(wanted));
    QCOMPARE(codeAt(m_grid->currentRow()), QStringLiteral("00000571"));
    QTest::keyClick(view, Qt::Key_Backspace);
    QCOMPARE(m_grid->searchText(), QStringLiteral("楼盘4"));
}

void TestDataGrid::currentRowSurvivesARefresh()
{
    QVERIFY(m_grid->setCurrentKey(m_grid->model()->keyAt(300)));
    const qint64 key = m_grid->currentKey();
    QVERIFY(m_db->dm().execute("delete from House where F_mainID <= 10"));
    QVERIFY(m_grid->refresh());
    QCOMPARE(m_grid->currentKey(), key);
    QCOMPARE(m_grid->currentRow(), 290);
    // When the row itself is gone, the list starts at its top.
    QVERIFY(m_db->dm().deleteById("House", key));
    QVERIFY(m_grid->refresh());
    QCOMPARE(m_grid->currentRow(), 0);
}

void TestDataGrid::deletedCurrentRowGivesWayToTheNext()
{
    GridModel *model = m_grid->model();
    const qint64 gone = model->keyAt(400);
    const qint64 next = model->keyAt(401);
    QVERIFY(m_db->dm().deleteById("House", gone));
    MessageRecorder messages;
    QSignalSpy current(m_grid.get(), &DataGrid::currentKeyChanged);
    // The row's chunk is first read by the paint that shows it.
    QVERIFY(m_grid->setCurrentKey(gone));
    QVERIFY(!m_grid->view()->viewport()->grab().isNull());
    QCOMPARE(model->rowCount(), 600);
    QTRY_COMPARE(model->rowCount(), 599);
    QCOMPARE(m_grid->currentKey(), next);
    QCOMPARE(m_grid->currentRow(), 400);
    QCOMPARE(current.constLast().at(0).toLongLong(), next);
    QCOMPARE(codeAt(400), QStringLiteral("00000402"));
    QCOMPARE(messages.count(), 0);
}

void TestDataGrid::failedReadIsShownOnceAfterThePaint()
{
    QTableView *view = m_grid->view();
    MessageRecorder messages;
    QSignalSpy failed(m_grid->model(), &GridModel::readFailed);
    QVERIFY(m_db->dm().execute("alter table House rename to HouseGone"));
    view->scrollToBottom();
    QVERIFY(!view->viewport()->grab().isNull());
    QCOMPARE(failed.count(), 1);
    QCOMPARE(messages.count(), 0); // nothing opened from inside the paint
    QTRY_COMPARE(messages.count(), 1);
    QCOMPARE(messages.lastKind(), int(MessageKind::Error));
    QVERIFY2(messages.lastText().startsWith(QStringLiteral("读取列表数据失败")), qPrintable(messages.lastText()));
    QVERIFY(m_grid->model()->data(m_grid->model()->index(599, 0)).toString().isEmpty());
    // Further paints of rows that cannot be read, and typing, add nothing.
    view->scrollToTop();
    QVERIFY(!view->viewport()->grab().isNull());
    view->setFocus();
    QTest::keyClick(view, Qt::Key_0);
    QTest::qWait(50);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(m_grid->model()->rowCount(), 600);
}

void TestDataGrid::layoutSurvivesSavingAndReopening()
{
    Database &dm = m_db->dm();
    // The layout ships with a row per field; saving only updates them.
    for (const GridColumn &c : designed())
        QVERIFY(dm.execute("insert into cfg_grid(F_name,F_fieldname,F_caption,F_width,F_visible) values('testmain',:f,:c,80,1)",
                           {{":f", c.field}, {":c", c.caption}}));
    GridLayoutStore store(dm);
    m_grid->setColumns(store.load(QStringLiteral("TestMain")));
    QHeaderView *titles = m_grid->view()->horizontalHeader();
    titles->moveSection(titles->visualIndex(2), 0); // price first
    titles->resizeSection(1, 222);
    m_grid->setColumnVisible(4, false);
    GridColumns arranged = m_grid->columns();
    arranged[0].caption = QStringLiteral("O'Brien's \"价\" 50%");
    arranged[0].footer = GridColumn::FooterSum;
    QVERIFY(store.save(QStringLiteral("TESTMAIN"), arranged));

    DataGrid reopened(dm);
    reopened.setColumns(store.load(QStringLiteral("testmain")));
    const GridColumns loaded = reopened.columns();
    QCOMPARE(loaded.size(), 5);
    QCOMPARE(loaded.at(0).field, QStringLiteral("F_salePrice"));
    QCOMPARE(loaded.at(0).caption, QStringLiteral("O'Brien's \"价\" 50%"));
    QCOMPARE(loaded.at(0).footer, int(GridColumn::FooterSum));
    QCOMPARE(loaded.at(2).field, QStringLiteral("F_name"));
    QCOMPARE(loaded.at(2).width, 222);
    QCOMPARE(loaded.at(4).field, QStringLiteral("F_EmpName"));
    QVERIFY(!loaded.at(4).visible);
    QVERIFY(reopened.view()->isColumnHidden(4));
}

void TestDataGrid::layoutWithSomeFieldsShowsOnlyThose()
{
    Database &dm = m_db->dm();
    QVERIFY(dm.execute("insert into cfg_grid(F_name,F_fieldname,F_Order,F_caption,F_width,F_visible) values"
                       "('part','F_name',1,'名称',90,1),('part','F_code',0,'编号',70,1),('part','',2,'空',50,1)"));
    GridLayoutStore store(dm);
    m_grid->setColumns(store.load(QStringLiteral("part")));
    const GridColumns columns = m_grid->columns();
    QCOMPARE(columns.size(), 2);
    QCOMPARE(columns.at(0).field, QStringLiteral("F_code"));
    QCOMPARE(m_grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("名称"));
    // A layout without rows has no columns to give.
    QVERIFY(store.load(QStringLiteral("nothing")).isEmpty());
}

void TestDataGrid::fieldChooserShowsAndHides()
{
    m_grid->setColumnVisible(1, false);
    WhenModal<ColumnChooserDialog> choose([](ColumnChooserDialog *chooser) {
        QListWidget *list = chooser->list();
        QCOMPARE(list->count(), 5);
        QCOMPARE(list->item(1)->checkState(), Qt::Unchecked);
        list->item(1)->setCheckState(Qt::Checked);
        list->item(4)->setCheckState(Qt::Unchecked);
        QTest::mouseClick(chooser->findChild<QPushButton *>("okButton"), Qt::LeftButton);
    });
    ColumnChooserDialog::chooseFields(*m_grid);
    QVERIFY(!m_grid->view()->isColumnHidden(1));
    QVERIFY(m_grid->view()->isColumnHidden(4));

    WhenModal<ColumnChooserDialog> cancel([](ColumnChooserDialog *chooser) {
        chooser->list()->item(0)->setCheckState(Qt::Unchecked);
        QTest::keyClick(chooser, Qt::Key_Escape);
    });
    ColumnChooserDialog::chooseFields(*m_grid);
    QVERIFY(!m_grid->view()->isColumnHidden(0));
}

void TestDataGrid::sortDialogOrdersByPriority()
{
    QString text;
    WhenModal<SortDialog> arrange([&text](SortDialog *dialog) {
        QTableWidget *list = dialog->list();
        QCOMPARE(list->rowCount(), 5);
        // Salesperson ascending moved to the top, price descending below it.
        list->setCurrentCell(4, 0);
        for (int i = 0; i < 4; ++i)
            QTest::mouseClick(dialog->findChild<QPushButton *>("upButton"), Qt::LeftButton);
        QCOMPARE(list->item(0, 0)->text(), QStringLiteral("业务员"));
        const QPoint first = list->visualItemRect(list->item(0, 0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
        qobject_cast<QComboBox *>(list->cellWidget(3, 1))->setCurrentIndex(2);
        emit qobject_cast<QComboBox *>(list->cellWidget(3, 1))->activated(2);
        QCOMPARE(list->item(3, 0)->text(), QStringLiteral("售价"));
        QTest::mouseClick(dialog->findChild<QPushButton *>("okButton"), Qt::LeftButton);
        text = dialog->result();
    });
    SortDialog::sortGrid(*m_grid);
    QCOMPARE(text, QStringLiteral("f_empname ASC,f_saleprice DESC,"));
    QSqlQuery q(m_db->dm().database());
    QVERIFY(q.exec("select F_code from House order by F_EmpName, F_salePrice desc, F_ID desc limit 1") && q.next());
    QCOMPARE(codeAt(0), q.value(0).toString());
}

void TestDataGrid::sortDialogCancelRestoresOwnOrder()
{
    QHeaderView *titles = m_grid->view()->horizontalHeader();
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, QPoint(titles->sectionViewportPosition(1) + 10, 5));
    QCOMPARE(codeAt(0), QStringLiteral("00000600")); // by name ascending
    WhenModal<SortDialog> cancel([](SortDialog *dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton *>("cancelButton"), Qt::LeftButton);
    });
    SortDialog::sortGrid(*m_grid);
    QCOMPARE(codeAt(0), QStringLiteral("00000001"));
    // The marker stays where the title click put it.
    QCOMPARE(m_grid->sortMarkerColumn(), 1);
}

void TestDataGrid::copyTakesSelectedRowsAsShown()
{
    Database &dm = m_db->dm();
    QVERIFY(dm.execute("update House set F_LXphone = '1380000' || F_mainID"));
    QVERIFY(dm.execute("update House set F_EmpName = '李四' where F_mainID = 2"));
    QVERIFY(dm.execute("update House set F_memo3 = :m where F_mainID = 3", {{":m", QStringLiteral("一\t二\n三")}}));
    GridColumns columns = designed();
    columns[2].displayFormat = QStringLiteral("0.00");
    GridColumn phone;
    phone.field = QStringLiteral("F_LXphone");
    phone.caption = QStringLiteral("联系电话");
    columns << phone;
    m_grid->setColumns(columns);
    m_grid->model()->setMasking({true, QStringLiteral("张三"), {QStringLiteral("F_LXphone")}});
    m_grid->setMultiSelect(true);
    QTableView *view = m_grid->view();
    QHeaderView *titles = view->horizontalHeader();
    titles->moveSection(titles->visualIndex(2), 0); // price first
    m_grid->setColumnVisible(1, false);              // no name
    GridModel *model = m_grid->model();
    view->setFocus();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(model->index(0, 0)).center());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, view->visualRect(model->index(2, 0)).center());
    QApplication::clipboard()->setText(QStringLiteral("之前的内容"));
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    const QString expected = QStringLiteral("37.00\t00000001\t备注1\t张三\t13800001\n"
                                            "74.00\t00000002\t备注2\t李四\t********\n"
                                            "111.00\t00000003\t一 二 三\t张三\t13800003");
    QCOMPARE(QApplication::clipboard()->text(), expected);
    // Typing did not take the keys for a search.
    QCOMPARE(m_grid->searchText(), QString());
}

void TestDataGrid::requestedQueryKeepsTheCurrentRow()
{
    GridModel *model = m_grid->model();
    QVERIFY(m_grid->setCurrentKey(model->keyAt(300)));
    const qint64 key = m_grid->currentKey();
    QSignalSpy reloaded(model, &GridModel::reloaded);
    m_grid->requestQuery(GridQuery(SqlFragment(QStringLiteral("select * from House where (F_flag=0) and F_mainID > ?"), {200}),
                                   QStringLiteral("F_code")));
    // The list stays as it was, painted and current, until the keys are in.
    QVERIFY(model->isLoading());
    QVERIFY(!m_grid->view()->viewport()->grab().isNull());
    QCOMPARE(model->rowCount(), 600);
    QCOMPARE(m_grid->currentKey(), key);
    QVERIFY(reloaded.wait());
    QCOMPARE(model->rowCount(), 400);
    QCOMPARE(codeAt(0), QStringLiteral("00000201"));
    QCOMPARE(m_grid->currentKey(), key);
    QCOMPARE(m_grid->currentRow(), 100);
}

QTEST_MAIN(TestDataGrid)
#include "tst_datagrid.moc"
