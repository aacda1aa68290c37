#include "AppConfig.h"
#include "LoginService.h"
#include "PasswordCodec.h"
#include "Permissions.h"
#include "TestSupport.h"

#include <QSqlQuery>
#include <QtTest>

using namespace Quellon;
using QuellonTest::FixtureDatabase;
using QuellonTest::MessageRecorder;
using Outcome = LoginService::Outcome;
using Mode = LoginService::Mode;

class TestLogin : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void adminWithEmptyPassword();
    void outcomes_data();
    void outcomes();
    void fourthWrongPasswordEnds_data();
    void fourthWrongPasswordEnds();
    void correctFourthTrySucceeds();
    void unreadablePasswordIsRefused();
    void damagedStoredPasswordIsRefused();
    void stateOfAnOperator();
    void nonNumericDecimalPlacesFallBack();
    void successRemembersTheName();

private:
    void addOperator(const QString &name, const QString &password, bool disabled = false, bool masked = false,
                     int scope = 0, const QString &list = {});
    std::unique_ptr<FixtureDatabase> m_db;
    std::unique_ptr<MessageRecorder> m_messages;
};

void TestLogin::init()
{
    m_db = std::make_unique<FixtureDatabase>();
    m_messages = std::make_unique<MessageRecorder>();
    addOperator(QStringLiteral("张三"), QStringLiteral("zs123"));
    addOperator(QStringLiteral("O'Brien"), QStringLiteral("pw'1"));
    addOperator(QStringLiteral("离职员工"), QString(), true);
}

void TestLogin::cleanup()
{
    m_messages.reset();
    m_db.reset();
}

void TestLogin::addOperator(const QString &name, const QString &password, bool disabled, bool masked, int scope,
                            const QString &list)
{
    QVERIFY(m_db->dm().execute("insert into OperList(F_Name,F_PassWord,F_Flag,F_xtFlag,F_empFlag,F_empQX) "
                               "values(:n,:p,:f,:x,:s,:l)",
                               {{":n", name}, {":p", encodePassword(password)}, {":f", disabled}, {":x", masked},
                                {":s", scope}, {":l", list}}));
}

void TestLogin::adminWithEmptyPassword()
{
    LoginService login(m_db->dm(), nullptr, Mode::FirstLogin);
    QCOMPARE(login.attempt(QStringLiteral(" admin "), QString()), Outcome::Success);
    QCOMPARE(login.state().operatorName, QStringLiteral("admin"));
    QVERIFY(login.state().isAdmin());
    QCOMPARE(m_messages->count(), 0);
}

void TestLogin::outcomes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty name") << "  " << "" << int(Outcome::EmptyName) << QStringLiteral("请选择用户！");
    QTest::newRow("unknown") << "王五" << "" << int(Outcome::UnknownName) << QStringLiteral("此操作员并不存在，请重新选择操作员！");
    QTest::newRow("disabled operator") << "离职员工" << "" << int(Outcome::UnknownName)
                                       << QStringLiteral("此操作员并不存在，请重新选择操作员！");
    QTest::newRow("wrong password") << "张三" << "zs124" << int(Outcome::WrongPassword)
                                    << QStringLiteral("用户名或密码不正确，请重新输入！");
    QTest::newRow("password not trimmed") << "张三" << "zs123 " << int(Outcome::WrongPassword)
                                          << QStringLiteral("用户名或密码不正确，请重新输入！");
    QTest::newRow("quote in the name") << "O'Brien" << "pw'1" << int(Outcome::Success) << QString();
    QTest::newRow("injection in the name") << "x' or '1'='1" << "" << int(Outcome::UnknownName)
                                           << QStringLiteral("此操作员并不存在，请重新选择操作员！");
    QTest::newRow("capital admin") << "Admin" << "" << int(Outcome::Success) << QString();
}

void TestLogin::outcomes()
{
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(int, outcome);
    QFETCH(QString, message);
    LoginService login(m_db->dm(), nullptr, Mode::FirstLogin);
    QCOMPARE(int(login.attempt(name, password)), outcome);
    if (message.isEmpty()) {
        QCOMPARE(m_messages->count(), 0);
    } else {
        QCOMPARE(m_messages->lastText(), message);
        QCOMPARE(m_messages->lastKind(), int(MessageKind::Information));
    }
    QCOMPARE(login.wrongCount(), outcome == int(Outcome::WrongPassword) ? 1 : 0);
}

void TestLogin::fourthWrongPasswordEnds_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("logText");
    QTest::addColumn<QString>("message");
    QTest::newRow("first login") << int(Mode::FirstLogin) << QStringLiteral("登录失败！") << QStringLiteral("非法操作员!");
    QTest::newRow("change operator") << int(Mode::ChangeOperator) << QStringLiteral("更换操作员失败！")
                                     << QStringLiteral("更换操作员失败!");
}

void TestLogin::fourthWrongPasswordEnds()
{
    QFETCH(int, mode);
    QFETCH(QString, logText);
    QFETCH(QString, message);
    LoginService login(m_db->dm(), nullptr, Mode(mode), mode == int(Mode::ChangeOperator) ? QStringLiteral("admin") : QString());
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(login.attempt(QStringLiteral("张三"), QStringLiteral("bad")), Outcome::WrongPassword);
    // Names not found do not count as wrong passwords.
    QCOMPARE(login.attempt(QStringLiteral("nobody"), QStringLiteral("bad")), Outcome::UnknownName);
    QCOMPARE(login.attempt(QStringLiteral("张三"), QStringLiteral("bad")), Outcome::Refused);
    QCOMPARE(m_messages->lastText(), message);
    QCOMPARE(m_messages->lastKind(), int(MessageKind::Error));
    QSqlQuery q(m_db->dm().database());
    QVERIFY(q.exec("select F_EmpName, F_OperType from LogRec") && q.next());
    QCOMPARE(q.value(0).toString(), mode == int(Mode::ChangeOperator) ? QStringLiteral("admin") : QString());
    QCOMPARE(q.value(1).toString(), logText);
    QVERIFY(!q.next());
}

void TestLogin::correctFourthTrySucceeds()
{
    LoginService login(m_db->dm(), nullptr, Mode::FirstLogin);
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(login.attempt(QStringLiteral("张三"), QStringLiteral("bad")), Outcome::WrongPassword);
    QCOMPARE(login.attempt(QStringLiteral("张三"), QStringLiteral("zs123")), Outcome::Success);
    QCOMPARE(m_db->dm().queryInt("select count(*) from LogRec"), 0);
}

void TestLogin::unreadablePasswordIsRefused()
{
    // The password column is gone: the read fails, and an empty password must
    // not be let in because of it.
    QVERIFY(m_db->dm().execute("alter table OperList rename column F_PassWord to F_Other"));
    LoginService login(m_db->dm(), nullptr, Mode::FirstLogin);
    QCOMPARE(login.attempt(QStringLiteral("admin"), QString()), Outcome::Unavailable);
    QCOMPARE(login.wrongCount(), 0);
    QCOMPARE(m_messages->lastKind(), int(MessageKind::Error));
}

void TestLogin::damagedStoredPasswordIsRefused()
{
    QVERIFY(m_db->dm().execute("update OperList set F_PassWord = null where F_Name = 'admin'"));
    LoginService login(m_db->dm(), nullptr, Mode::FirstLogin);
    QCOMPARE(login.attempt(QStringLiteral("admin"), QString()), Outcome::WrongPassword);
}

void TestLogin::stateOfAnOperator()
{
    addOperator(QStringLiteral("李四"), QStringLiteral("ls"), false, true, 2, QStringLiteral("'张三','O''Brien'"));
    QVERIFY(m_db->dm().execute("insert into OperLimit(F_OperName,F_lmtName) values('李四','新增')"));
    QVERIFY(m_db->dm().execute("update KeyValue set F_Value = '3' where F_ID = 14"));
    LoginService login(m_db->dm(), nullptr, Mode::ChangeOperator);
    QCOMPARE(login.attempt(QStringLiteral("李四"), QStringLiteral("ls")), Outcome::Success);
    const LoginSession &s = login.state();
    QVERIFY(s.masked);
    QCOMPARE(s.scope, 2);
    QCOMPARE(s.setting(1), QStringLiteral("字符项一"));
    QCOMPARE(s.amountFormat, QStringLiteral("0.##"));
    QCOMPARE(s.priceFormat, QStringLiteral("￥,0.00#"));
    QCOMPARE(s.valueFormat, QStringLiteral("￥,0.00"));
    QVERIFY(s.isVisible("act201"));
    QVERIFY(s.isVisible("act901"));
    QVERIFY(!s.isVisible("act202"));
    QVERIFY(s.isVisible("editMenu"));
    QVERIFY(!s.isVisible("fileMenu"));
    QCOMPARE(s.salespersons, (QStringList{"张三", "O'Brien"}));
    // The scope condition works as SQL, quote in a listed name included.
    QVERIFY(m_db->dm().execute("insert into House(F_mainID, F_EmpName) values(1,'张三'),(2,'O''Brien'),(3,'王五')"));
    QCOMPARE(m_db->dm().queryInt(SqlFragment(QStringLiteral("select count(*) from House")) + SqlFragment::where(s.scopeFilter())), 2);
}

void TestLogin::nonNumericDecimalPlacesFallBack()
{
    QVERIFY(m_db->dm().execute("update KeyValue set F_Value = 'abc' where F_ID = 15"));
    const LoginSession s = LoginService::loadState(m_db->dm(), QStringLiteral("admin"), QString());
    QCOMPARE(s.valueFormat, QStringLiteral("￥,0.00"));
}

void TestLogin::successRemembersTheName()
{
    QTemporaryDir dir;
    AppConfig config(dir.filePath("config.ini"));
    config.setInputMethodName(QStringLiteral("搜狗拼音"));
    LoginService login(m_db->dm(), &config, Mode::FirstLogin);
    QCOMPARE(login.attempt(QStringLiteral(" 张三 "), QStringLiteral("zs123")), Outcome::Success);
    QCOMPARE(AppConfig(dir.filePath("config.ini")).lastOperatorName(), QStringLiteral("张三"));
    QCOMPARE(login.state().imeName, QStringLiteral("搜狗拼音"));
}

QTEST_GUILESS_MAIN(TestLogin)
#include "tst_login.moc"
