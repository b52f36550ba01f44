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

ScreenLayout CurrentScreenLayout()
{
    ScreenLayout layout;
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        return layout;
    layout.screens.append({primary->geometry(), primary->availableGeometry()});
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen != primary)
            layout.screens.append({screen->geometry(), screen->availableGeometry()});
    }
    return layout;
}

void CentreOnScreen(QWidget *window, CentreArea area)
{
    if (!window)
        return;
    // A hidden window's screen is whichever it was made on; the user expects the primary one.
    const ScreenArea primary = CurrentScreenLayout().primary();
    window->move(
        CentredIn(area == CentreArea::WorkArea ? primary.workArea : primary.geometry, window->size()));
}
