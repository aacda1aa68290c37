#include "uFrmOperLogin.h"

#include "AppConfig.h"
#include "EnterMovesFocus.h"
#include "ImeRule.h"
#include "PassCodec.h"
#include "TdmData.h"

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

TfrmOperLogin::TfrmOperLogin(TdmData &dm, AppConfig *config, LoginService::Mode mode, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_service(dm, config, mode)
{
    setObjectName(QStringLiteral("TfrmOperLogin"));
    setWindowTitle(QStringLiteral("登录窗口"));
    setModal(true);

    auto *banner = new QLabel(this);
    banner->setPixmap(bannerPicture(400));
    banner->setFixedHeight(64);
    auto *hint = new QLabel(QStringLiteral("请输入正确的操作员编号及密码，系统管理员编号“admin”，系统初始密码为空："), this);
    hint->setWordWrap(true);

    cbbOperName = new QComboBox(this);
    cbbOperName->setObjectName(QStringLiteral("cbbOperName"));
    cbbOperName->setEditable(true);
    cbbOperName->setInsertPolicy(QComboBox::NoInsert);
    ImeRule::markChinese(cbbOperName);
    edtPassWord = new QLineEdit(this);
    edtPassWord->setObjectName(QStringLiteral("edtPassWord"));
    edtPassWord->setEchoMode(QLineEdit::Password);
    edtPassWord->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // one "*" per character
    edtPassWord->setMaxLength(MaxPasswordLength);

    btnOk = new QPushButton(QStringLiteral("确定"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnOk->setAutoDefault(false);
    btnCancel->setAutoDefault(false);

    auto *form = new QGridLayout;
    form->addWidget(new QLabel(QStringLiteral("姓  名："), this), 0, 0);
    form->addWidget(cbbOperName, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("密  码："), this), 1, 0);
    form->addWidget(edtPassWord, 1, 1);
    form->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);

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

    connect(btnOk, &QPushButton::clicked, this, &TfrmOperLogin::onOk);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmOperLogin::onCancel);
    EnterMovesFocus::install(this, {cbbOperName, edtPassWord, btnOk, btnCancel});

    QStringList names;
    dm.FillCombo(QStringLiteral("select F_name from OperList where F_name <> '' "), names);
    cbbOperName->addItems(names);
    // A new installation has only the built-in operator: offer him.
    const bool remembered = config && config->ini().contains(QStringLiteral("Config"), QStringLiteral("CurOperName"));
    cbbOperName->setEditText(remembered ? config->curOperName() : QStringLiteral("admin"));
    ImeRule::apply(this, config ? config->curImeName() : QString());
    if (cbbOperName->currentText().isEmpty())
        cbbOperName->setFocus();
    else
        edtPassWord->setFocus();
}

void TfrmOperLogin::onOk()
{
    switch (m_service.attempt(cbbOperName->currentText(), edtPassWord->text())) {
    case LoginService::Outcome::Success:
        finish(Accepted);
        break;
    case LoginService::Outcome::EmptyName:
    case LoginService::Outcome::UnknownName:
        cbbOperName->setFocus();
        break;
    case LoginService::Outcome::WrongPassword:
    case LoginService::Outcome::Unavailable:
        edtPassWord->selectAll();
        edtPassWord->setFocus();
        break;
    case LoginService::Outcome::Refused:
        finish(m_service.mode() == LoginService::Mode::FirstLogin ? int(Terminated) : int(Rejected));
        break;
    }
}

void TfrmOperLogin::onCancel()
{
    finish(m_service.mode() == LoginService::Mode::FirstLogin ? int(Terminated) : int(Rejected));
}

void TfrmOperLogin::finish(int result)
{
    m_closing = true;
    done(result);
}

void TfrmOperLogin::closeEvent(QCloseEvent *event)
{
    // Alt+F4 and the window manager's close do nothing: OK or Cancel decide.
    if (m_closing)
        event->accept();
    else
        event->ignore();
}

void TfrmOperLogin::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        onCancel();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace Quellon
