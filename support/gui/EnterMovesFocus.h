#pragma once

#include <QList>
#include <QObject>

class QWidget;

namespace Quellon {

// Enter in a form moves on to the next field as Tab would (check boxes
// included), and presses a focused push button: forms are filled from the
// keyboard, field after field.
class EnterMovesFocus : public QObject
{
public:
    // Watches the given controls of a form; the filter lives as long as the form.
    static void install(QWidget *form, const QList<QWidget *> &controls);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};

} // namespace Quellon
