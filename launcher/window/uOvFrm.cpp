// Placement of the main window and of the options dialog.
#include "uOvFrm.h"

#include "uCmnApp.h"
#include "uCmnReg.h"
#include "uOvMain.h"
#include "uOvOptn.h"
#include "uOvRegDef.h"

#include <commctrl.h>

#include <algorithm>

namespace {

RECT WorkArea() {
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

// GetWindowPlacement gives a top-level window's normal rectangle in workspace coordinates,
// which start at the work area's corner: with a taskbar at the top or left they differ from
// the screen coordinates that MoveWindow and the stored bounds use.
RECT NormalRectOnScreen(HWND hwnd) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    ::GetWindowPlacement(hwnd, &wp);
    RECT rc = wp.rcNormalPosition;
    if (!(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
        MONITORINFO mi{};
        mi.cbSize = sizeof(mi);
        if (::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &mi))
            ::OffsetRect(&rc, mi.rcWork.left - mi.rcMonitor.left, mi.rcWork.top - mi.rcMonitor.top);
    }
    return rc;
}

// A vertical toolbar is one column: every button ends its own row.
void ToolBarOrientationSet(HWND toolbar, bool vertical) {
    const int count = static_cast<int>(::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button{};
        if (!::SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)))
            continue;
        BYTE state = button.fsState;
        state = static_cast<BYTE>(vertical ? (state | TBSTATE_WRAP) : (state & ~TBSTATE_WRAP));
        if (state != button.fsState)
            ::SendMessageW(toolbar, TB_SETSTATE, button.idCommand, MAKELPARAM(state, 0));
    }
    // The style change makes the toolbar lay its buttons out again, so it comes last.
    const LONG_PTR style = ::GetWindowLongPtrW(toolbar, GWL_STYLE);
    const LONG_PTR wanted =
        vertical ? (style | CCS_VERT) : (style & ~static_cast<LONG_PTR>(CCS_VERT));
    if (wanted != style)
        ::SetWindowLongPtrW(toolbar, GWL_STYLE, wanted);
    ::SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
}

// How far apart two rectangles lie: 0 when they touch or overlap.
long long RectDistance(const RECT& a, const RECT& b) {
    const long long dx = std::max({0L, b.left - a.right, a.left - b.right});
    const long long dy = std::max({0L, b.top - a.bottom, a.top - b.bottom});
    return dx * dx + dy * dy;
}

// The work areas of all monitors.
std::vector<RECT> WorkAreas() {
    std::vector<RECT> areas;
    ::EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM list) -> BOOL {
            MONITORINFO mi{};
            mi.cbSize = sizeof(mi);
            if (::GetMonitorInfoW(monitor, &mi))
                reinterpret_cast<std::vector<RECT>*>(list)->push_back(mi.rcWork);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&areas));
    if (areas.empty())
        areas.push_back(WorkArea());
    return areas;
}

RECT OnScreen(const RECT& window) {
    return WindowOnScreen(window, WorkAreas(), ::GetSystemMetrics(SM_CYCAPTION));
}

} // namespace

RECT WindowOnScreen(const RECT& window, const std::vector<RECT>& workAreas, int captionHeight) {
    const long width = window.right - window.left, height = window.bottom - window.top;
    for (const RECT& work : workAreas) {
        RECT overlap{};
        if (::IntersectRect(&overlap, &window, &work) &&
            overlap.bottom - overlap.top >= std::min<long>(captionHeight, height) &&
            3 * (overlap.right - overlap.left) >= width)
            return window;
    }
    if (workAreas.empty())
        return window;
    const RECT* nearest = &workAreas.front();
    for (const RECT& work : workAreas)
        if (RectDistance(window, work) < RectDistance(window, *nearest))
            nearest = &work;
    const RECT& work = *nearest;
    const long w = std::min(width, work.right - work.left);
    const long h = std::min(height, work.bottom - work.top);
    const long left = std::clamp(window.left, work.left, work.right - w);
    const long top = std::clamp(window.top, work.top, work.bottom - h);
    return RECT{left, top, left + w, top + h};
}

void WindowBoundsLoad(TFrmOvMain& form) {
    HKEY hkcu = HKEY_CURRENT_USER;
    int32_t w = RegIntRead(hkcu, OvKeyWindow, OvValWidth);
    int32_t h = RegIntRead(hkcu, OvKeyWindow, OvValHeight);
    if (w == 0 && h == 0) {
        // The right and bottom coordinates, not the width and height: with a taskbar at the
        // top or left the window reaches under it.
        const RECT work = WorkArea();
        w = work.right;
        h = work.bottom;
    }
    const int32_t top = RegIntRead(hkcu, OvKeyWindow, OvValTop);
    const int32_t left = RegIntRead(hkcu, OvKeyWindow, OvValLeft);
    // The stored values stay as they are until the close writes the window's bounds.
    form.PlaceAt(OnScreen(RECT{left, top, left + w, top + h}));
}

void WindowBoundsSave(HWND hwnd) {
    RECT rc{};
    // Minimising the program hides the main window, which keeps its rectangle (the maximised
    // one when it was maximised). Only a main window minimised on its own has a placeholder
    // rectangle; its normal one is what it returns to.
    if (::IsIconic(hwnd))
        rc = NormalRectOnScreen(hwnd);
    else
        ::GetWindowRect(hwnd, &rc);
    HKEY hkcu = HKEY_CURRENT_USER;
    RegIntWrite(hkcu, OvKeyWindow, OvValTop, rc.top);
    RegIntWrite(hkcu, OvKeyWindow, OvValLeft, rc.left);
    RegIntWrite(hkcu, OvKeyWindow, OvValWidth, rc.right - rc.left);
    RegIntWrite(hkcu, OvKeyWindow, OvValHeight, rc.bottom - rc.top);
}

namespace {

// Centres a span of the given size on `centre` (half the size each way, truncated), pushes it
// right of 0, then left of `limit`, each once; returns where it starts.
int32_t SpanStart(int32_t centre, int32_t size, int32_t limit) {
    int32_t low = centre - size / 2;
    int32_t high = centre + size / 2;
    if (low < 0) {
        high -= low;
        low = 0;
    }
    if (limit < high)
        low -= high - limit;
    return low;
}

} // namespace

POINT WindowToMousePos(POINT cursor, const RECT& workArea, int32_t width, int32_t height) {
    // Across first (left, then right), then down (top, then bottom).
    return POINT{SpanStart(cursor.x, width, workArea.right),
                 SpanStart(cursor.y, height, workArea.bottom)};
}

void WindowToMouse(HWND hwnd) {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    const int32_t w = rc.right - rc.left;
    const int32_t h = rc.bottom - rc.top;
    const POINT pos = WindowToMousePos(cursor, WorkArea(), w, h);
    ::MoveWindow(hwnd, pos.x, pos.y, w, h, TRUE);
}

void TaskbarButtonSet(bool hide) {
    HWND app = Application.Handle();
    if (hide) {
        ::ShowWindow(app, SW_HIDE);
    } else if (!::IsWindowVisible(app)) {
        // SW_RESTORE activates: done on every repaint of a visible button it would pull the
        // program to the front each time its window is uncovered.
        ::ShowWindow(app, SW_RESTORE);
    }
}

void ToolBarPosApply(TFrmOvMain& form, int32_t position) {
    if (position < 0 || position > 3)
        return;
    ToolBarOrientationSet(form.CptTbrToolBar, position >= 2);
    form.ToolBarAlign = position;
    form.LayoutControls();
}

POINT OptionDialogPos(const RECT& owner, int32_t width, int32_t height, const RECT& workArea) {
    int32_t left = owner.left + (owner.right - owner.left) / 2 - width / 2;
    int32_t top = owner.top + (owner.bottom - owner.top) / 2 - height / 2;
    if (left + width > workArea.right)
        left = workArea.right - width;
    if (left < 0)
        left = 0;
    if (top + height > workArea.bottom)
        top = workArea.bottom - height;
    if (top < 0)
        top = 0;
    return POINT{left, top};
}

void OptionDialogPlace(HWND dialog, HWND over) {
    const RECT work = WorkArea();
    RECT owner = work;
    if (over)
        ::GetWindowRect(over, &owner);
    RECT rc{};
    ::GetWindowRect(dialog, &rc);
    const long width = rc.right - rc.left, height = rc.bottom - rc.top;
    const POINT pos = OptionDialogPos(owner, width, height, work);
    const RECT shown = OnScreen(RECT{pos.x, pos.y, pos.x + width, pos.y + height});
    ::SetWindowPos(dialog, nullptr, shown.left, shown.top, shown.right - shown.left,
                   shown.bottom - shown.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void OptionHookControlsEnable(TFrmOvOptn& form) {
    const HWND controls[] = {form.CptLblShortCutKey, form.CptCmbShortCutKey, form.CptCbxHideTaskbar,
                             form.CptCbxMoveMouse, form.CptCbxHookSearch};
    for (HWND control : controls)
        ::EnableWindow(control, TRUE);
    if (::SendMessageW(form.CptCbxHook, BM_GETCHECK, 0, 0) == BST_CHECKED)
        return;
    ::SendMessageW(form.CptCbxHideTaskbar, BM_SETCHECK, BST_UNCHECKED, 0);
    ::SendMessageW(form.CptCbxMoveMouse, BM_SETCHECK, BST_UNCHECKED, 0);
    ::SendMessageW(form.CptCbxHookSearch, BM_SETCHECK, BST_UNCHECKED, 0);
    for (HWND control : controls)
        ::EnableWindow(control, FALSE);
}
