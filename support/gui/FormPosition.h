#pragma once

class QWidget;

namespace Quellon {

// Places a window before it is shown modally. Mode 1 (edit windows, selection
// dialogs): centred on the active window, no larger than the screen. Mode 2
// (statistics windows, picture viewer): most of the screen, centred. Any other
// mode centres the window on the screen.
void DispFormPos(QWidget *window, int mode);

} // namespace Quellon
