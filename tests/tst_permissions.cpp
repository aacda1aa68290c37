#include "ImeRule.h"
#include "Permissions.h"
#include "PubUnit.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QtTest>

using namespace Quellon;

// What a login decides: visible actions and menus, the record scope, masked
// contact data, ownership, and the input-method rule on a window.
class TestPermissions : public QObject
{
    Q_OBJECT
private slots:
    void setLimits_data();
    void setLimits();
    void adminSeesEverything();
    void scopeCondition_data();
    void scopeCondition();
    void masking_data();
    void masking();
    void ownership_data();
    void ownership();
    void imeRule_data();
    void imeRule();
};

void TestPermissions::setLimits_data()
{
    QTest::addColumn<QStringList>("granted");
    QTest::addColumn<QStringList>("visible");
    QTest::addColumn<QStringList>("hidden");
    QTest::newRow("only 201") << QStringList{"201"}
                              << QStringList{"act201", "act901", "mnuEdit"}
                              << QStringList{"act202", "act902", "mnuFile", "mnuHouseOutput", "mnuStat", "mnuData",
                                             "mnuDoc", "mnuClientOutput", "act31"};
    QTest::newRow("export follows") << QStringList{"301"} << QStringList{"act301", "act905", "act31", "mnuHouseOutput"}
                                    << QStringList{"mnuClientOutput", "act32", "mnuEdit"};
    QTest::newRow("reports") << QStringList{"302", "305"} << QStringList{"act32", "act35", "act302"}
                             << QStringList{"act33", "act34"};
    QTest::newRow("detail actions") << QStringList{"202", "203", "204", "205", "206"}
                                    << QStringList{"act902", "act903", "act904", "act906", "act907"}
                                    << QStringList{"act901", "act905"};
    QTest::newRow("document menu") << QStringList{"608"} << QStringList{"mnuDoc", "act608"} << QStringList{"act601"};
    QTest::newRow("nothing") << QStringList{} << QStringList{}
                             << QStringList{"mnuFile", "mnuEdit", "mnuHouseOutput", "mnuStat", "mnuData", "mnuDoc"};
}

void TestPermissions::setLimits()
{
    QFETCH(QStringList, granted);
    QFETCH(QStringList, visible);
    QFETCH(QStringList, hidden);
    QStringList asked;
    const auto v = Permissions::SetLimits(false, [&](const QString &key) {
        asked << key;
        return granted.contains(key);
    });
    for (const QString &name : visible)
        QVERIFY2(v.value(name), qPrintable(name));
    for (const QString &name : hidden) {
        QVERIFY2(v.contains(name), qPrintable(name));
        QVERIFY2(!v.value(name), qPrintable(name));
    }
    QCOMPARE(asked.size(), Permissions::keys().size());
}

void TestPermissions::adminSeesEverything()
{
    const auto v = Permissions::SetLimits(true, [](const QString &) { return false; });
    for (const auto &e : Permissions::keys())
        QVERIFY(v.value(Permissions::actionName(e.key)));
    for (const auto &d : Permissions::derived())
        QVERIFY(v.value(Permissions::actionName(d.action)));
    QVERIFY(v.value("mnuFile") && v.value("mnuDoc"));
    QVERIFY(!v.value("mnuClientOutput"));
}

void TestPermissions::scopeCondition_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("condition");
    QTest::newRow("all") << 0 << "" << "" << "";
    QTest::newRow("own") << 1 << "" << "" << "and (F_empName = 'O''Brien') ";
    QTest::newRow("own, joined") << 1 << "" << "h" << "and (h.F_empName = 'O''Brien') ";
    QTest::newRow("listed") << 2 << "'张三','李四'" << "" << "and (F_empName in ('张三','李四')) ";
    QTest::newRow("listed, quote in a name") << 2 << "'O''Neil'" << "" << "and (F_empName in ('O''Neil')) ";
    QTest::newRow("listed, none") << 2 << "" << "" << "and (1<>1) ";
}

void TestPermissions::scopeCondition()
{
    QFETCH(int, scope);
    QFETCH(QString, list);
    QFETCH(QString, alias);
    QFETCH(QString, condition);
    LoginState s;
    s.operatorName = QStringLiteral("O'Brien");
    s.scope = scope;
    s.salespersonList = list;
    QCOMPARE(s.scopeCondition(alias), condition);
}

void TestPermissions::masking_data()
{
    QTest::addColumn<bool>("masked");
    QTest::addColumn<QString>("salesperson");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("flag off") << false << "李四" << "13800000000" << "13800000000";
    QTest::newRow("own record") << true << " 张三 " << "13800000000" << "13800000000";
    QTest::newRow("other's record") << true << "李四" << "13800000000" << "********";
    QTest::newRow("other's, empty") << true << "李四" << "" << "";
    QTest::newRow("case matters") << true << "张三X" << "x" << "********";
}

void TestPermissions::masking()
{
    QFETCH(bool, masked);
    QFETCH(QString, salesperson);
    QFETCH(QString, value);
    QFETCH(QString, shown);
    LoginState s;
    s.operatorName = QStringLiteral("张三");
    s.masked = masked;
    QCOMPARE(s.maskContact(salesperson, value), shown);
}

void TestPermissions::ownership_data()
{
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<QString>("salesperson");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("own") << "张三" << "张三 " << true;
    QTest::newRow("other") << "张三" << "李四" << false;
    QTest::newRow("admin any case") << "ADMIN" << "李四" << true;
    QTest::newRow("letter case") << "bob" << "Bob" << false;
}

void TestPermissions::ownership()
{
    QFETCH(QString, operatorName);
    QFETCH(QString, salesperson);
    QFETCH(bool, allowed);
    LoginState s;
    s.operatorName = operatorName;
    QCOMPARE(s.mayChange(salesperson), allowed);
}

void TestPermissions::imeRule_data()
{
    QTest::addColumn<QString>("preference");
    QTest::newRow("no preference") << "  ";
    QTest::newRow("preference") << "搜狗拼音 ";
}

void TestPermissions::imeRule()
{
    QFETCH(QString, preference);
    const bool have = !preference.trimmed().isEmpty();
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *chineseName = new QLineEdit(&window);
    ImeRule::markChinese(chineseName);
    auto *code = new QLineEdit(&window);
    code->setProperty(ImeRule::ModeProperty, int(ImeRule::ImeDisable));
    auto *tabs = new QTabWidget(&window);
    auto *hiddenPage = new QWidget;
    auto *memo = new QTextEdit(hiddenPage);
    ImeRule::markChinese(memo);
    auto *box = new QGroupBox(hiddenPage);
    auto *combo = new QComboBox(box);
    combo->setEditable(true);
    ImeRule::markChinese(combo);
    auto *plain = new QPlainTextEdit(box);
    tabs->addTab(new QLabel("first"), "a");
    tabs->addTab(hiddenPage, "b");
    auto *date = new QDateEdit(&window);
    auto *spin = new QSpinBox(&window);
    auto *button = new QPushButton(&window);
    button->setProperty(ImeRule::ModeProperty, int(ImeRule::ImeChinese));
    auto *grid = new QTableView(&window);
    grid->setProperty(ImeRule::ModeProperty, int(ImeRule::ImeChinese));
    for (QWidget *w : {static_cast<QWidget *>(chineseName), static_cast<QWidget *>(code), static_cast<QWidget *>(tabs),
                       static_cast<QWidget *>(date), static_cast<QWidget *>(spin), static_cast<QWidget *>(button),
                       static_cast<QWidget *>(grid)})
        layout->addWidget(w);

    ImeRule::apply(&window, preference);

    for (QWidget *field : {static_cast<QWidget *>(chineseName), static_cast<QWidget *>(memo), static_cast<QWidget *>(combo)}) {
        QCOMPARE(ImeRule::mode(field), have ? ImeRule::ImeChinese : ImeRule::ImeDontCare);
        QCOMPARE(ImeRule::name(field), have ? preference : QString());
    }
    QCOMPARE(ImeRule::mode(code), ImeRule::ImeDontCare);
    QCOMPARE(ImeRule::mode(plain), ImeRule::ImeDontCare);
    QCOMPARE(ImeRule::name(code), QString());
    // Controls of other kinds are left as they were.
    QCOMPARE(ImeRule::mode(button), ImeRule::ImeChinese);
    QCOMPARE(ImeRule::mode(grid), ImeRule::ImeChinese);
    QVERIFY(!date->property(ImeRule::ModeProperty).isValid());
    QVERIFY(!spin->property(ImeRule::ModeProperty).isValid());
    const auto inner = date->findChildren<QLineEdit *>();
    for (QLineEdit *e : inner)
        QVERIFY(!e->property(ImeRule::ModeProperty).isValid());
}

QTEST_MAIN(TestPermissions)
#include "tst_permissions.moc"
