#include "LoginDialog.h"

#include "AppConfig.h"
#include "EnterMovesFocus.h"
#include "ImeRule.h"
#include "PasswordCodec.h"
#include "Database.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace Quellon {

namespace {
QPixmap bannerPicture(int width)
{
    QPixmap pix(width, 64);
    QPainter p(&pix);
    QLinearGradient g(0, 0, width, 0);
    g.setColorAt(0, QColor(28, 86, 150));
    g.setColorAt(1, QColor(70, 140, 210));
    p.fillRect(pix.rect(), g);
    p.setPen(Qt::white);
    QFont f;
    f.setPointSize(15);
    f.setBold(true);
    p.setFont(f);
    p.drawText(pix.rect().adjusted(16, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("操作员登录"));
    return pix;
}
} // namespace

LoginDialog::LoginDialog(Database &dm, AppConfig *config, LoginService::Mode mode, const LoginSession *current,
                         QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_service(dm, config, mode, current ? current->operatorName : QString(), current ? current->imeName : QString())
{
    setObjectName(QStringLiteral("LoginDialog"));
    setWindowTitle(QStringLiteral("登录窗口"));
    setModal(true);

    auto *banner = new QLabel(this);
    banner->setPixmap(bannerPicture(400));
    banner->setFixedHeight(64);
    auto *hint = new QLabel(QStringLiteral("请输入正确的操作员编号及密码，系统管理员编号“admin”，系统初始密码为空："), this);
    hint->setWordWrap(true);

    m_operatorCombo = new QComboBox(this);
    m_operatorCombo->setObjectName(QStringLiteral("operatorCombo"));
    m_operatorCombo->setEditable(true);
    m_operatorCombo->setInsertPolicy(QComboBox::NoInsert);
    ImeRule::markChinese(m_operatorCombo);
    m_passwordEdit = new QLineEdit(this);
    m_passwordEdit->setObjectName(QStringLiteral("passwordEdit"));
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_passwordEdit->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // one "*" per character
    m_passwordEdit->setMaxLength(MaxPasswordLength);

    m_okButton = new QPushButton(QStringLiteral("确定"), this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_cancelButton = new QPushButton(QStringLiteral("取消"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_okButton->setAutoDefault(false);
    m_cancelButton->setAutoDefault(false);

    auto *form = new QGridLayout;
    form->addWidget(new QLabel(QStringLiteral("姓  名："), this), 0, 0);
    form->addWidget(m_operatorCombo, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("密  码："), this), 1, 0);
    form->addWidget(m_passwordEdit, 1, 1);
    form->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 12);
    layout->addWidget(banner);
    auto *body = new QVBoxLayout;
    body->setContentsMargins(20, 6, 20, 0);
    body->addWidget(hint);
    body->addLayout(form);
    body->addLayout(buttons);
    layout->addLayout(body);
    layout->addStretch();
    setFixedSize(400, 240);

    connect(m_okButton, &QPushButton::clicked, this, &LoginDialog::onOk);
    connect(m_cancelButton, &QPushButton::clicked, this, &LoginDialog::onCancel);
    EnterMovesFocus::install(this, {m_operatorCombo, m_passwordEdit, m_okButton, m_cancelButton});

    QStringList names;
    dm.readList(QStringLiteral("select F_name from OperList where F_name <> '' "), names);
    m_operatorCombo->addItems(names);
    // A new installation has only the built-in operator: offer him.
    const bool remembered = config && config->hasLastOperatorName();
    m_operatorCombo->setEditText(remembered ? config->lastOperatorName() : QStringLiteral("admin"));
    ImeRule::apply(this, config ? config->inputMethodName() : QString());
    if (m_operatorCombo->currentText().isEmpty())
        m_operatorCombo->setFocus();
    else
        m_passwordEdit->setFocus();
}

void LoginDialog::onOk()
{
    switch (m_service.attempt(m_operatorCombo->currentText(), m_passwordEdit->text())) {
    case LoginService::Outcome::Success:
        finish(Accepted);
        break;
    case LoginService::Outcome::EmptyName:
    case LoginService::Outcome::UnknownName:
        m_operatorCombo->setFocus();
        break;
    case LoginService::Outcome::WrongPassword:
    case LoginService::Outcome::Unavailable:
        m_passwordEdit->selectAll();
        m_passwordEdit->setFocus();
        break;
    case LoginService::Outcome::Refused:
        finish(m_service.mode() == LoginService::Mode::FirstLogin ? int(Terminated) : int(Rejected));
        break;
    }
}

void LoginDialog::onCancel()
{
    finish(m_service.mode() == LoginService::Mode::FirstLogin ? int(Terminated) : int(Rejected));
}

void LoginDialog::finish(int result)
{
    m_closing = true;
    done(result);
}

void LoginDialog::closeEvent(QCloseEvent *event)
{
    // Alt+F4 and the window manager's close do nothing: OK or Cancel decide.
    if (m_closing)
        event->accept();
    else
        event->ignore();
}

void LoginDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        onCancel();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace Quellon
