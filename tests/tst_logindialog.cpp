#include "MessageBoxPresenter.h"
#include "PassCodec.h"
#include "TestSupport.h"
#include "uFrmOperLogin.h"

#include <QApplication>
#include <QComboBox>
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
};

void TestLoginDialog::typedLoginSucceeds()
{
    FixtureDatabase db;
    QVERIFY(db.dm().ExecSql("insert into OperList(F_Name,F_PassWord) values('张三', :p)", {{":p", SavePass("zs")}}));
    TfrmOperLogin dialog(db.dm(), nullptr, LoginService::Mode::FirstLogin);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.nameBox()->count(), 2);
    dialog.nameBox()->setEditText(QString());
    // Chinese text arrives as committed input-method text, not as key codes.
    QTest::sendKeyEvent(QTest::Click, dialog.nameBox()->lineEdit(), Qt::Key_unknown, QStringLiteral("张三"), Qt::NoModifier);
    QTest::keyClicks(dialog.passwordEdit(), QStringLiteral("zs"));
    QTest::mouseClick(dialog.findChild<QPushButton *>("btnOk"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.loginState().operatorName, QStringLiteral("张三"));
}

void TestLoginDialog::fourWrongPasswordsEndTheProgram()
{
    FixtureDatabase db;
    TfrmOperLogin dialog(db.dm(), nullptr, LoginService::Mode::FirstLogin);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    BoxAnswerer answerer;
    auto *ok = dialog.findChild<QPushButton *>("btnOk");
    dialog.nameBox()->setEditText(QStringLiteral("admin"));
    for (int i = 0; i < 4; ++i) {
        dialog.passwordEdit()->setText(QStringLiteral("wrong"));
        QTest::mouseClick(ok, Qt::LeftButton);
    }
    QCOMPARE(answerer.texts.size(), 4);
    QCOMPARE(answerer.texts.at(2), QStringLiteral("用户名或密码不正确，请重新输入！"));
    QCOMPARE(answerer.texts.at(3), QStringLiteral("非法操作员!"));
    QCOMPARE(dialog.result(), int(TfrmOperLogin::Terminated));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(db.dm().QueryText("select F_OperType from LogRec"), QStringLiteral("登录失败！"));
}

void TestLoginDialog::enterMovesToTheNextField()
{
    FixtureDatabase db;
    TfrmOperLogin dialog(db.dm(), nullptr, LoginService::Mode::FirstLogin);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QApplication::setActiveWindow(&dialog);
    dialog.nameBox()->setFocus();
    QTRY_VERIFY(dialog.nameBox()->hasFocus());
    QTest::keyClick(dialog.nameBox(), Qt::Key_Return);
    QTRY_VERIFY(dialog.passwordEdit()->hasFocus());
    QTest::keyClick(dialog.passwordEdit(), Qt::Key_Return);
    auto *ok = dialog.findChild<QPushButton *>("btnOk");
    QTRY_VERIFY(ok->hasFocus());
    QVERIFY(dialog.isVisible());
    // On the focused button Enter presses it: admin with the empty password.
    QTest::keyClick(ok, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void TestLoginDialog::cannotBeClosedFromTheTitleBar()
{
    FixtureDatabase db;
    TfrmOperLogin dialog(db.dm(), nullptr, LoginService::Mode::FirstLogin);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!dialog.close());
    QVERIFY(dialog.isVisible());
}

void TestLoginDialog::cancelKeepsThePreviousOperator()
{
    FixtureDatabase db;
    db.dm().setCurrentOperator(QStringLiteral("admin"));
    TfrmOperLogin dialog(db.dm(), nullptr, LoginService::Mode::ChangeOperator);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(db.dm().currentOperator(), QStringLiteral("admin"));
}

QTEST_MAIN(TestLoginDialog)
#include "tst_logindialog.moc"
