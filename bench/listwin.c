/* The second yardstick of the start-up case: the least program that shows the launcher's kind of
   window, a window holding one report-view list control of the common controls 6 (the launcher's
   manifest), where and as large as the start-up case shows the launcher (uBenchStart.cpp); it
   closes when asked. F9, registered with the system as its hot key, restores it and brings it to
   the front: the yardstick of the launcher's call-up (uBenchCallUp.cpp). */
#include <windows.h>
#include <commctrl.h>

static HWND list;

static LRESULT CALLBACK ListWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        MoveWindow(list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_HOTKEY:
        ShowWindow(hwnd, SW_RESTORE);
        SetForegroundWindow(hwnd);
        return 0;
    case WM_DESTROY:
        UnregisterHotKey(hwnd, 1);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show) {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    WNDCLASSW wc = {0};
    LVCOLUMNW column = {0};
    MSG msg;
    HWND hwnd;
    (void)previous;
    (void)command;
    InitCommonControlsEx(&icc);
    wc.lpfnWndProc = ListWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"OvBenchList";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, L"OvBenchList", L"ovbench list", WS_OVERLAPPEDWINDOW, 100, 100, 340,
                           226, NULL, NULL, instance, NULL);
    if (!hwnd)
        return 1;
    list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT,
                           0, 0, 0, 0, hwnd, NULL, instance, NULL);
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 120;
    column.pszText = (LPWSTR)L"Name";
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, (LPARAM)&column);
    RegisterHotKey(hwnd, 1, 0, VK_F9);
    ShowWindow(hwnd, show);
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
