#pragma once

#include <QList>
#include <QString>

namespace Quellon {

// Every command of the main window, by its number. The numbers are the
// permission keys operators are granted (act101 ...), so they are fixed.
struct MainAction
{
    int number;
    const char *caption;
    // Whether the window that carries the command out exists in this
    // version; an action that does not stays visible by the permissions but
    // disabled, rather than pretend to work.
    bool available;
};

class MainActions
{
public:
    static const QList<MainAction> &all();
    static const MainAction *find(int number);

    // Commands that act on the house or client page shown and are disabled
    // on the other pages.
    static bool followsPage(int number) { return number == 201 || number == 202 || number == 203 || number == 207; }
};

} // namespace Quellon
