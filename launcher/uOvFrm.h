// Placement of the main window: bounds, mouse centring, taskbar button, toolbar edge.
#pragma once

#include <windows.h>

#include <cstdint>

// Applies the stored bounds; with no size stored, the window fills the work area.
void WindowBoundsLoad();
// Stores the window's rectangle (the normal one while maximised or minimised).
void WindowBoundsSave();

// Where a window of outer size width x height lands when centred on the cursor and pushed
// back inside the screen: left and right clamps, then top and bottom, each once. The left and
// top clamps use 0; the right and bottom ones the work area's right and bottom.
POINT WindowToMousePos(POINT cursor, const RECT& workArea, int32_t width, int32_t height);
// Moves the main window to the mouse cursor (WindowToMousePos with the current values).
void WindowToMouse();

// Hides (true) or shows (false) the application window and with it the taskbar button.
void TaskbarButtonSet(bool hide);

// Docks the toolbar to an edge: 0 top, 1 bottom, 2 right, 3 left; any other value does nothing.
void ToolBarPosApply(int32_t position);
