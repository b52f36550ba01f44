#pragma once

#include "ScreenLayout.h"

class QWidget;

// Lets the window follow the mouse until the button is released (the window system's own move).
void StartWindowMove(QWidget *window);

// The monitors as the toolkit sees them now, the primary first.
ScreenLayout CurrentScreenLayout();

enum class CentreArea { WorkArea, WholeScreen };

// Places the window in the middle of the primary monitor (wherever it lies on the desktop), by
// default of its work area.
void CentreOnScreen(QWidget *window, CentreArea area = CentreArea::WorkArea);
