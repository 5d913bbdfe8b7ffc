/* The yardstick of the start-up case: the least Win32 program that shows a window, with a
   window where and as large as the start-up case shows the launcher (uBenchStart.cpp), and closes
   when asked. */
#include <windows.h>

static LRESULT CALLBACK BlankProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show) {
    WNDCLASSW wc = {0};
    MSG msg;
    HWND hwnd;
    (void)previous;
    (void)command;
    wc.lpfnWndProc = BlankProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"OvBenchBlank";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, L"OvBenchBlank", L"ovbench blank", WS_OVERLAPPEDWINDOW, 100, 100, 340,
                           226, NULL, NULL, instance, NULL);
    if (!hwnd)
        return 1;
    ShowWindow(hwnd, show);
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
