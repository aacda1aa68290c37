#include "WindowPlacement.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

namespace Quellon {

void placeWindow(QWidget *window, Placement mode)
{
    if (!window)
        return;
    QWidget *anchor = QApplication::activeWindow();
    if (anchor == window)
        anchor = nullptr;
    QScreen *screen = anchor ? anchor->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();

    QSize size = window->size().expandedTo(window->minimumSizeHint());
    if (mode == Placement::MostOfScreen)
        size = QSize(area.width() * 9 / 10, area.height() * 9 / 10).expandedTo(window->minimumSize());
    size = size.boundedTo(area.size());
    window->resize(size);

    const QRect around = (mode == Placement::OverActiveWindow && anchor) ? anchor->frameGeometry() : area;
    QRect frame(QPoint(0, 0), size);
    frame.moveCenter(around.center());
    // Keep the title bar on the screen whatever the anchor's position.
    frame.moveLeft(qBound(area.left(), frame.left(), qMax(area.left(), area.right() - frame.width())));
    frame.moveTop(qBound(area.top(), frame.top(), qMax(area.top(), area.bottom() - frame.height())));
    window->move(frame.topLeft());
}

} // namespace Quellon
