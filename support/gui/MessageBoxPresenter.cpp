#include "MessageBoxPresenter.h"

#include "Messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace Quellon {

int showMessageBox(const QString &text, MessageKind kind)
{
    QMessageBox box(QApplication::activeWindow());
    box.setText(text);
    switch (kind) {
    case MessageKind::Question:
        box.setWindowTitle(QStringLiteral("确认"));
        box.setIcon(QMessageBox::Question);
        break;
    case MessageKind::Warning:
        box.setWindowTitle(QStringLiteral("警告"));
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageKind::Error:
        box.setWindowTitle(QStringLiteral("错误"));
        box.setIcon(QMessageBox::Critical);
        break;
    default:
        box.setWindowTitle(QStringLiteral("提示"));
        box.setIcon(QMessageBox::Information);
        break;
    }
    QPushButton *yes = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    QPushButton *no = nullptr;
    if (kind == MessageKind::Question) {
        no = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        box.setEscapeButton(no);
    } else {
        box.setEscapeButton(yes);
    }
    box.setDefaultButton(yes);
    box.exec();
    if (kind != MessageKind::Question)
        return 0;
    return box.clickedButton() == yes ? AnswerYes : AnswerNo;
}

void installMessageBoxPresenter()
{
    setMessagePresenter(showMessageBox);
}

} // namespace Quellon
