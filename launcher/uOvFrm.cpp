// Placement of the main window.
#include "uOvFrm.h"

#include "uCmnReg.h"
#include "uOvMain.h"
#include "uOvRegDef.h"

#include <windows.h>

void WindowBoundsLoad() {
    HKEY hkcu = HKEY_CURRENT_USER;
    int32_t w = RegIntRead(hkcu, OvKeyWindow, OvValWidth);
    int32_t h = RegIntRead(hkcu, OvKeyWindow, OvValHeight);
    if (w == 0 && h == 0) {
        RECT work{};
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        w = work.right;
        h = work.bottom;
    }
    int32_t top = RegIntRead(hkcu, OvKeyWindow, OvValTop);
    int32_t left = RegIntRead(hkcu, OvKeyWindow, OvValLeft);
    ::SetWindowPos(FrmOvMain->Handle(), nullptr, left, top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowBoundsSave() {
    HWND hwnd = FrmOvMain->Handle();
    RECT rc{};
    if (::IsIconic(hwnd)) {
        // Minimised on its own rather than with the application: keep the normal rectangle.
        WINDOWPLACEMENT wp{};
        wp.length = sizeof(wp);
        ::GetWindowPlacement(hwnd, &wp);
        rc = wp.rcNormalPosition;
    } else {
        ::GetWindowRect(hwnd, &rc);
    }
    HKEY hkcu = HKEY_CURRENT_USER;
    RegIntWrite(hkcu, OvKeyWindow, OvValTop, rc.top);
    RegIntWrite(hkcu, OvKeyWindow, OvValLeft, rc.left);
    RegIntWrite(hkcu, OvKeyWindow, OvValWidth, rc.right - rc.left);
    RegIntWrite(hkcu, OvKeyWindow, OvValHeight, rc.bottom - rc.top);
}

POINT WindowToMousePos(POINT cursor, const RECT&, int32_t, int32_t) {
    return cursor;
}

void WindowToMouse() {}

void TaskbarButtonSet(bool) {}

void ToolBarPosApply(int32_t) {}
