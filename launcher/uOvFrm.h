// Placement of the main window: bounds, mouse centring, taskbar button, toolbar edge.
#pragma once

#include <cstdint>

// Applies the stored bounds; with no size stored, the window fills the work area.
void WindowBoundsLoad();
// Stores the window's rectangle (the normal one while the program is minimised).
void WindowBoundsSave();
