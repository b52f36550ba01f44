#include "WindowMoves.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

void StartWindowMove(QWidget *window)
{
    if (!window)
        return;
    if (QWindow *handle = window->window()->windowHandle())
        handle->startSystemMove();
}

void CentreOnScreen(QWidget *window, CentreArea area)
{
    if (!window)
        return;
    // A hidden window's screen is whichever it was made on; the user expects the primary one.
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect place = area == CentreArea::WorkArea ? screen->availableGeometry() : screen->geometry();
    window->move(place.x() + (place.width() - window->width()) / 2,
                 place.y() + (place.height() - window->height()) / 2);
}
