#include "AppConfig.h"
#include "ImeRule.h"
#include "MessageBoxPresenter.h"
#include "PasswordCodec.h"
#include "TestSupport.h"
#include "LoginDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSqlQuery>
#include <QtTest>

using namespace Quellon;
using QuellonTest::FixtureDatabase;

// Answers every message box that opens with its first button, keeping its text.
class BoxAnswerer : public QObject
{
public:
    QStringList texts;
    BoxAnswerer()
    {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->buttons().first()->click();
            }
        });
        m_timer.start();
    }

private:
    QTimer m_timer;
};

// The real dialog, driven by keys and clicks, with real message boxes.
class TestLoginDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { installMessageBoxPresenter(); }
    void typedLoginSucceeds();
    void fourWrongPasswordsEndTheProgram();
    void enterMovesToTheNextField();
    void cannotBeClosedFromTheTitleBar();
    void cancelKeepsThePreviousOperator();
    void preferredInputMethodReachesTheNameField();
    void imeRule_data();
    void imeRule();
};

void TestLoginDialog::typedLoginSucceeds()
{
    FixtureDatabase db;
    QVERIFY(db.dm().execute("insert into OperList(F_Name,F_PassWord) values('张三', :p)", {{":p", encodePassword("zs")}}));
    LoginDialog dialog(db.dm(), nullptr, LoginService::Mode::FirstLogin);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.operatorCombo()->count(), 2);
    dialog.operatorCombo()->setEditText(QString());
    // Chinese text arrives as committed input-method text, not as key codes.
    QTest::sendKeyEvent(QTest::Click, dialog.operatorCombo()->lineEdit(), Qt::Key_unknown, QStringLiteral("张三"), Qt::NoModifier);
    QTest::keyClicks(dialog.passwordEdit(), QStringLiteral("zs"));
    QTest::mouseClick(dialog.findChild<QPushButton *>("okButton"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.session().operatorName, QStringLiteral("张三"));
}

void TestLoginDialog::fourWrongPasswordsEndTheProgram()
{
    FixtureDatabase db;
    LoginDialog dialog(db.dm(), nullptr, LoginService::Mode::FirstLogin);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    BoxAnswerer answerer;
    auto *ok = dialog.findChild<QPushButton *>("okButton");
    dialog.operatorCombo()->setEditText(QStringLiteral("admin"));
    for (int i = 0; i < 4; ++i) {
        dialog.passwordEdit()->setText(QStringLiteral("wrong"));
        QTest::mouseClick(ok, Qt::LeftButton);
    }
    QCOMPARE(answerer.texts.size(), 4);
    QCOMPARE(answerer.texts.at(2), QStringLiteral("用户名或密码不正确，请重新输入！"));
    QCOMPARE(answerer.texts.at(3), QStringLiteral("非法操作员!"));
    QCOMPARE(dialog.result(), int(LoginDialog::Terminated));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(db.dm().queryText("select F_OperType from LogRec"), QStringLiteral("登录失败！"));
}

void TestLoginDialog::enterMovesToTheNextField()
{
    FixtureDatabase db;
    LoginDialog dialog(db.dm(), nullptr, LoginService::Mode::FirstLogin);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QApplication::setActiveWindow(&dialog);
    dialog.operatorCombo()->setFocus();
    QTRY_VERIFY(dialog.operatorCombo()->hasFocus());
    QTest::keyClick(dialog.operatorCombo(), Qt::Key_Return);
    QTRY_VERIFY(dialog.passwordEdit()->hasFocus());
    QTest::keyClick(dialog.passwordEdit(), Qt::Key_Return);
    auto *ok = dialog.findChild<QPushButton *>("okButton");
    QTRY_VERIFY(ok->hasFocus());
    QVERIFY(dialog.isVisible());
    // On the focused button Enter presses it: admin with the empty password.
    QTest::keyClick(ok, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void TestLoginDialog::cannotBeClosedFromTheTitleBar()
{
    FixtureDatabase db;
    LoginDialog dialog(db.dm(), nullptr, LoginService::Mode::FirstLogin);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!dialog.close());
    QVERIFY(dialog.isVisible());
}

void TestLoginDialog::cancelKeepsThePreviousOperator()
{
    FixtureDatabase db;
    LoginSession current;
    current.operatorName = QStringLiteral("admin");
    LoginDialog dialog(db.dm(), nullptr, LoginService::Mode::ChangeOperator, &current);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!dialog.session().isValid());
}

void TestLoginDialog::preferredInputMethodReachesTheNameField()
{
    FixtureDatabase db;
    QTemporaryDir dir;
    AppConfig config(dir.filePath("config.ini"));
    config.setInputMethodName(QStringLiteral("搜狗拼音"));
    LoginDialog dialog(db.dm(), &config, LoginService::Mode::FirstLogin);
    QCOMPARE(ImeRule::name(dialog.operatorCombo()), QStringLiteral("搜狗拼音"));
    QCOMPARE(ImeRule::mode(dialog.operatorCombo()), ImeRule::ImeChinese);
    QCOMPARE(ImeRule::mode(dialog.passwordEdit()), ImeRule::ImeDontCare);
    QCOMPARE(ImeRule::name(dialog.passwordEdit()), QString());
}

void TestLoginDialog::imeRule_data()
{
    QTest::addColumn<QString>("preference");
    QTest::newRow("no preference") << "  ";
    QTest::newRow("preference") << "搜狗拼音 ";
}

void TestLoginDialog::imeRule()
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

QTEST_MAIN(TestLoginDialog)
#include "tst_logindialog.moc"
