#pragma once

class QWidget;

// Lets the window follow the mouse until the button is released (the window system's own move).
void StartWindowMove(QWidget *window);

enum class CentreArea { WorkArea, WholeScreen };

// Places the window in the middle of the primary screen (where that screen is on the desktop
// counts, not only its size), by default of its work area.
void CentreOnScreen(QWidget *window, CentreArea area = CentreArea::WorkArea);
