#include "NameInputDialog.h"

#include "EnterMovesFocus.h"
#include "WindowPlacement.h"
#include "ImeRule.h"
#include "Messages.h"
#include "LoginSession.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace Quellon {

NameInputDialog::NameInputDialog(const QString &title, const QString &imeName, QWidget *parent)
    : QDialog(parent)
    , m_imeName(imeName)
{
    setObjectName(QStringLiteral("NameInputDialog"));
    setWindowTitle(title);

    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName(QStringLiteral("nameEdit"));
    ImeRule::markChinese(m_nameEdit);
    m_okButton = new QPushButton(QStringLiteral("确定"), this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_cancelButton = new QPushButton(QStringLiteral("取消"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    // Enter is handled below, so no button may take it as the default.
    m_okButton->setAutoDefault(false);
    m_cancelButton->setAutoDefault(false);

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("类型名称"), this));
    row->addWidget(m_nameEdit, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
    resize(340, 110);

    connect(m_okButton, &QPushButton::clicked, this, &NameInputDialog::onOk);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this), &QShortcut::activated, this, &NameInputDialog::onOk);
    EnterMovesFocus::install(this, {m_nameEdit, m_okButton, m_cancelButton});
}

void NameInputDialog::setText(const QString &text)
{
    m_nameEdit->setText(text);
}

QString NameInputDialog::text() const
{
    return m_nameEdit->text();
}

void NameInputDialog::onOk()
{
    QString problem;
    if (m_nameEdit->text().trimmed().isEmpty())
        problem = QStringLiteral("部门名称不能为空！");
    else if (m_validator)
        problem = m_validator(m_nameEdit->text());
    if (!problem.isEmpty()) {
        showMessage(problem, MessageKind::Information);
        m_nameEdit->setFocus();
        return;
    }
    accept();
}

void NameInputDialog::showEvent(QShowEvent *event)
{
    ImeRule::apply(this, m_imeName);
    m_nameEdit->setFocus();
    m_nameEdit->selectAll();
    QDialog::showEvent(event);
}

QString NameInputDialog::getText(QWidget *parent, const QString &title, const QString &initial, Validator validator,
                                 const QString &imeName)
{
    NameInputDialog dialog(title, imeName, parent);
    dialog.setText(initial);
    dialog.setValidator(std::move(validator));
    placeWindow(&dialog, Placement::OverActiveWindow);
    return dialog.exec() == QDialog::Accepted ? dialog.text() : QString();
}

} // namespace Quellon
