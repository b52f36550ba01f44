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

void CentreOnScreen(QWidget *window)
{
    if (!window)
        return;
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    window->move(area.x() + (area.width() - window->width()) / 2,
                 area.y() + (area.height() - window->height()) / 2);
}
