#pragma once

#include "LoginService.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace Quellon {

class AppConfig;
class TdmData;

// The login dialog, at start (first login) and from the main window (change
// of operator). It can only be left through its two buttons.
class TfrmOperLogin : public QDialog
{
    Q_OBJECT
public:
    // exec() results besides Accepted (logged in) and Rejected (cancelled):
    // at start a refused login ends the program.
    enum { Terminated = 2 };

    TfrmOperLogin(TdmData &dm, AppConfig *config, LoginService::Mode mode, QWidget *parent = nullptr);

    const LoginState &loginState() const { return m_service.state(); }
    int wrongCount() const { return m_service.wrongCount(); }

    QComboBox *nameBox() const { return cbbOperName; }
    QLineEdit *passwordEdit() const { return edtPassWord; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void onOk();
    void onCancel();
    void finish(int result);

    LoginService m_service;
    QComboBox *cbbOperName;
    QLineEdit *edtPassWord;
    QPushButton *btnOk;
    QPushButton *btnCancel;
    bool m_closing = false;
};

} // namespace Quellon
