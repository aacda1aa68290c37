#pragma once

class QWidget;

namespace Quellon {

// Where a window goes before it is shown modally.
enum class Placement {
    CentredOnScreen = 0,
    // Edit windows and selection dialogs: centred on the active window, no
    // larger than the screen.
    OverActiveWindow = 1,
    // Statistics windows and the picture viewer: most of the screen, centred.
    MostOfScreen = 2,
};

void placeWindow(QWidget *window, Placement placement);

} // namespace Quellon
