#pragma once

class QWidget;

// Lets the window follow the mouse until the button is released (the window system's own move).
void StartWindowMove(QWidget *window);

// Places the window in the middle of the screen's work area.
void CentreOnScreen(QWidget *window);
