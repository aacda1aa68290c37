#include "CheckListRule.h"
#include "CheckListPickerDialog.h"
#include "TestSupport.h"
#include "WhenModal.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QtTest>
#include <functional>

using namespace Quellon;
using QuellonTest::FixtureDatabase;
using QuellonTest::MessageRecorder;
using QuellonTest::WhenModal;

namespace {
void storeList(Database &dm, const QStringList &names)
{
    for (const QString &name : names)
        QVERIFY(dm.execute("insert into t_code(F_type,F_Name) values('chaoshi', :n)", {{":n", name}}));
}
} // namespace

class TestSelectCheckStr : public QObject
{
    Q_OBJECT
private slots:
    void preChecksWholeEntries_data();
    void preChecksWholeEntries();
    void returnsTheCheckedEntries_data();
    void returnsTheCheckedEntries();
    void emptyListOpensNoWindow();
};

void TestSelectCheckStr::preChecksWholeEntries_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<bool>>("checked");
    // Items: 超市, 超市A, 超市B, 超市C
    QTest::newRow("full-width comma, whole items only") << "超市A，超市B" << QList<bool>{false, true, true, false};
    QTest::newRow("mixed commas") << "超市C,超市A，超市" << QList<bool>{true, true, false, true};
    QTest::newRow("single entry") << "超市" << QList<bool>{true, false, false, false};
    QTest::newRow("empty text") << "" << QList<bool>{false, false, false, false};
    QTest::newRow("entry with blanks is another entry") << "超市A, 超市B" << QList<bool>{false, true, false, false};
}

void TestSelectCheckStr::preChecksWholeEntries()
{
    QFETCH(QString, text);
    QFETCH(QList<bool>, checked);
    QCOMPARE(CheckListRule::preChecked({"超市", "超市A", "超市B", "超市C"}, text), checked);
}

void TestSelectCheckStr::returnsTheCheckedEntries_data()
{
    QTest::addColumn<QStringList>("toggle");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QString>("result");
    QTest::newRow("list order, no trailing comma") << QStringList{"超市"} << true << "超市,超市A,超市B";
    QTest::newRow("nothing checked") << QStringList{"超市A", "超市B"} << true << "";
    QTest::newRow("取消 keeps the text") << QStringList{"超市"} << false << "超市B，超市A";
}

void TestSelectCheckStr::returnsTheCheckedEntries()
{
    QFETCH(QStringList, toggle);
    QFETCH(bool, confirm);
    QFETCH(QString, result);

    FixtureDatabase db;
    // Blank and repeated names would show as empty or doubled boxes.
    storeList(db.dm(), {"超市", "超市A", "", "超市B", "超市A", " "});
    QString caption;
    QStringList shown;
    QList<bool> preChecked;
    WhenModal<CheckListPickerDialog> pick([&](CheckListPickerDialog *dialog) {
        caption = dialog->windowTitle();
        for (QCheckBox *box : dialog->checkBoxes()) {
            shown << box->text();
            preChecked << box->isChecked();
            if (toggle.contains(box->text()))
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        }
        QTest::mouseClick(dialog->findChild<QPushButton *>(confirm ? "okButton" : "cancelButton"), Qt::LeftButton);
    });
    const QString text = CheckListPickerDialog::select(db.dm(), "超市项目列表", "chaoshi", "超市B，超市A");
    QCOMPARE(pick.seen, 1);
    QCOMPARE(caption, QStringLiteral("超市项目列表"));
    QCOMPARE(shown, (QStringList{"超市", "超市A", "超市B"}));
    QCOMPARE(preChecked, (QList<bool>{false, true, true}));
    QCOMPARE(text, result);
}

void TestSelectCheckStr::emptyListOpensNoWindow()
{
    FixtureDatabase db;
    storeList(db.dm(), {"", "  "});
    MessageRecorder messages;
    WhenModal<CheckListPickerDialog> pick([](CheckListPickerDialog *dialog) { dialog->reject(); });
    QCOMPARE(CheckListPickerDialog::select(db.dm(), "超市项目列表", "chaoshi", "原有"), QStringLiteral("原有"));
    QCOMPARE(pick.seen, 0);
    QCOMPARE(messages.lastText(), QStringLiteral("没有项目选择！"));
    QCOMPARE(messages.lastKind(), int(MessageKind::Information));
}

QTEST_MAIN(TestSelectCheckStr)
#include "tst_checklistpicker.moc"
