// Placement of the main window (bounds, mouse centring, taskbar button, toolbar edge) and of the
// options dialog, with the enabling of the dialog's hot-key controls.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

class TFrmOvMain;
class TFrmOvOptn;

// Applies the stored bounds; with no size stored, the window fills the work area. Bounds on no
// screen (a monitor since unplugged, a resolution since lowered) come back on the nearest one.
void WindowBoundsLoad(TFrmOvMain& form);

// A window's rectangle as it may be shown: unchanged while it overlaps the work area of one of
// the monitors by at least `captionHeight` pixels down and a third of its width across;
// otherwise moved onto the work area nearest to it, keeping its size where that fits and shrunk
// to the work area where it does not.
RECT WindowOnScreen(const RECT& window, const std::vector<RECT>& workAreas, int captionHeight);
// Stores the window's rectangle: the maximised one while maximised, the one it had before while
// minimised.
void WindowBoundsSave(HWND hwnd);

// Where a window of outer size width x height lands when centred on the cursor and pushed
// back inside the screen: left and right clamps, then top and bottom, each once. The left and
// top clamps use 0; the right and bottom ones the work area's right and bottom.
POINT WindowToMousePos(POINT cursor, const RECT& workArea, int32_t width, int32_t height);
// Moves the window to the mouse cursor (WindowToMousePos with the current values).
void WindowToMouse(HWND hwnd);

// Hides (true) or shows (false) the application window and with it the taskbar button.
void TaskbarButtonSet(bool hide);

// Docks the toolbar to an edge: 0 top, 1 bottom, 2 right, 3 left; any other value does nothing.
// On the right and left the buttons stand in one column.
void ToolBarPosApply(TFrmOvMain& form, int32_t position);

// Where a dialog of outer size width x height lands when centred on the owner's rectangle:
// pushed left and up to meet the work area's right and bottom edges, then never left of or
// above 0 (the work area's left and top are not used).
POINT OptionDialogPos(const RECT& owner, int32_t width, int32_t height, const RECT& workArea);
// Moves the dialog to OptionDialogPos over the window `over` (the work area when null).
void OptionDialogPlace(HWND dialog, HWND over);

// Enables the key label, the key list and the two window boxes; when the hot-key box is not
// ticked, unticks the two boxes and disables all four again.
void OptionHookControlsEnable(TFrmOvOptn& form);
