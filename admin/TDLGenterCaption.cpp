#include "TDLGenterCaption.h"

#include "EnterMovesFocus.h"
#include "FormPosition.h"
#include "ImeRule.h"
#include "Messages.h"
#include "PubUnit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace Quellon {

TDLGenterCaption::TDLGenterCaption(const QString &title, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TDLGenterCaption"));
    setWindowTitle(title);

    edtCaption = new QLineEdit(this);
    edtCaption->setObjectName(QStringLiteral("edtCaption"));
    ImeRule::markChinese(edtCaption);
    btnOk = new QPushButton(QStringLiteral("确定"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    // Enter is handled below, so no button may take it as the default.
    btnOk->setAutoDefault(false);
    btnCancel->setAutoDefault(false);

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("类型名称"), this));
    row->addWidget(edtCaption, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
    resize(340, 110);

    connect(btnOk, &QPushButton::clicked, this, &TDLGenterCaption::onOk);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this), &QShortcut::activated, this, &TDLGenterCaption::onOk);
    EnterMovesFocus::install(this, {edtCaption, btnOk, btnCancel});
}

void TDLGenterCaption::setText(const QString &text)
{
    edtCaption->setText(text);
}

QString TDLGenterCaption::text() const
{
    return edtCaption->text();
}

void TDLGenterCaption::onOk()
{
    QString problem;
    if (edtCaption->text().trimmed().isEmpty())
        problem = QStringLiteral("部门名称不能为空！");
    else if (m_validator)
        problem = m_validator(edtCaption->text());
    if (!problem.isEmpty()) {
        ShowMess(problem, MessInfo);
        edtCaption->setFocus();
        return;
    }
    accept();
}

void TDLGenterCaption::showEvent(QShowEvent *event)
{
    ImeRule::apply(this, currentLogin().imeName);
    edtCaption->setFocus();
    edtCaption->selectAll();
    QDialog::showEvent(event);
}

QString TDLGenterCaption::getText(QWidget *parent, const QString &title, const QString &initial, Validator validator)
{
    TDLGenterCaption dialog(title, parent);
    dialog.setText(initial);
    dialog.setValidator(std::move(validator));
    DispFormPos(&dialog, 1);
    return dialog.exec() == QDialog::Accepted ? dialog.text() : QString();
}

} // namespace Quellon
