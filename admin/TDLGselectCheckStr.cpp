#include "TDLGselectCheckStr.h"

#include "CheckStrRule.h"
#include "EnterMovesFocus.h"
#include "FormPosition.h"
#include "Messages.h"
#include "TdmData.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>

namespace Quellon {

TDLGselectCheckStr::TDLGselectCheckStr(const QString &caption, const QStringList &items, const QString &text, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TDLGselectCheckStr"));
    setWindowTitle(caption);

    auto *list = new QWidget;
    auto *grid = new QGridLayout(list);
    const QList<bool> checked = CheckStrRule::preChecked(items, text);
    for (int i = 0; i < items.size(); ++i) {
        auto *box = new QCheckBox(items.at(i), list);
        box->setChecked(checked.at(i));
        grid->addWidget(box, i / 2, i % 2);
        m_boxes << box;
    }
    grid->setRowStretch(int(items.size() + 1) / 2, 1);
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("lstItems"));
    scroll->setWidgetResizable(true);
    scroll->setWidget(list);

    btnOk = new QPushButton(QStringLiteral("确定"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    for (QPushButton *button : {btnOk, btnCancel})
        button->setAutoDefault(false);
    EnterMovesFocus::install(this, QList<QWidget *>(m_boxes.cbegin(), m_boxes.cend()) << btnOk << btnCancel);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("请从以下列表中勾选所需项目："), this));
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);
    resize(380, 360);

    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this), &QShortcut::activated, this, &QDialog::accept);
}

QString TDLGselectCheckStr::checkedText() const
{
    QStringList entries;
    for (const QCheckBox *box : m_boxes) {
        if (box->isChecked())
            entries << box->text();
    }
    return entries.join(CheckStrRule::separator());
}

QString TDLGselectCheckStr::select(TdmData &dm, const QString &caption, const QString &kind, const QString &text, QWidget *parent)
{
    QStringList items;
    if (!dm.FillCombo(QStringLiteral("select F_name from t_code where F_type = %1 order by F_ID").arg(SqlDialect::quote(kind)), items))
        return text;
    // A name listed twice would be checked and returned twice.
    items.removeDuplicates();
    if (items.isEmpty()) {
        ShowMess(QStringLiteral("没有项目选择！"), MessInfo);
        return text;
    }
    TDLGselectCheckStr dialog(caption, items, text, parent);
    DispFormPos(&dialog, 1);
    return dialog.exec() == QDialog::Accepted ? dialog.checkedText() : text;
}

} // namespace Quellon
