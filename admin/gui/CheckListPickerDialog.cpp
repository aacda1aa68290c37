#include "CheckListPickerDialog.h"

#include "CodeListCache.h"
#include "CheckListRule.h"
#include "EnterMovesFocus.h"
#include "WindowPlacement.h"
#include "Messages.h"
#include "Database.h"

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

CheckListPickerDialog::CheckListPickerDialog(const QString &caption, const QStringList &items, const QString &text, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CheckListPickerDialog"));
    setWindowTitle(caption);

    auto *list = new QWidget;
    auto *grid = new QGridLayout(list);
    const QList<bool> checked = CheckListRule::preChecked(items, text);
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

    m_okButton = new QPushButton(QStringLiteral("确定"), this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_cancelButton = new QPushButton(QStringLiteral("取消"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    for (QPushButton *button : {m_okButton, m_cancelButton})
        button->setAutoDefault(false);
    EnterMovesFocus::install(this, QList<QWidget *>(m_boxes.cbegin(), m_boxes.cend()) << m_okButton << m_cancelButton);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("请从以下列表中勾选所需项目："), this));
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);
    resize(380, 360);

    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this), &QShortcut::activated, this, &QDialog::accept);
}

QString CheckListPickerDialog::checkedText() const
{
    QStringList entries;
    for (const QCheckBox *box : m_boxes) {
        if (box->isChecked())
            entries << box->text();
    }
    return entries.join(CheckListRule::separator());
}

QString CheckListPickerDialog::select(Database &dm, const QString &caption, const QString &kind, const QString &text, QWidget *parent)
{
    QStringList items;
    if (!CodeListCache::readNames(dm, kind, items))
        return text;
    // A name listed twice would be checked and returned twice.
    items.removeDuplicates();
    if (items.isEmpty()) {
        showMessage(QStringLiteral("没有项目选择！"), MessageKind::Information);
        return text;
    }
    CheckListPickerDialog dialog(caption, items, text, parent);
    placeWindow(&dialog, Placement::OverActiveWindow);
    return dialog.exec() == QDialog::Accepted ? dialog.checkedText() : text;
}

} // namespace Quellon
