#pragma once

#include "LoginService.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace Quellon {

class AppConfig;
class Database;

// The login dialog, at start (first login) and from the main window (change
// of operator). It can only be left through its two buttons.
class LoginDialog : public QDialog
{
    Q_OBJECT
public:
    // exec() results besides Accepted (logged in) and Rejected (cancelled):
    // at start a refused login ends the program.
    enum { Terminated = 2 };

    // current is the session of the operator logged in, when changing operator.
    LoginDialog(Database &dm, AppConfig *config, LoginService::Mode mode, const LoginSession *current = nullptr,
                QWidget *parent = nullptr);

    const LoginSession &session() const { return m_service.state(); }
    int wrongCount() const { return m_service.wrongCount(); }

    QComboBox *operatorCombo() const { return m_operatorCombo; }
    QLineEdit *passwordEdit() const { return m_passwordEdit; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void onOk();
    void onCancel();
    void finish(int result);

    LoginService m_service;
    QComboBox *m_operatorCombo;
    QLineEdit *m_passwordEdit;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
    bool m_closing = false;
};

} // namespace Quellon
