#include "EnterMovesFocus.h"

#include <QPushButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace Quellon {

void EnterMovesFocus::install(QWidget *form, const QList<QWidget *> &controls)
{
    auto *filter = new EnterMovesFocus(form);
    for (QWidget *control : controls)
        control->installEventFilter(filter);
}

bool EnterMovesFocus::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    if (auto *button = qobject_cast<QPushButton *>(watched)) {
        button->click();
    } else {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(watched, &tab);
    }
    return true;
}

} // namespace Quellon
