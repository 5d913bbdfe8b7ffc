// Posts one message to the top-level window of a class, for the screenshot script:
//   ov-post CLASS MESSAGE WPARAM      (numbers in decimal)
// or gives the window's edit control a text, as typing it would:
//   ov-post CLASS --text TEXT
// Exit code 0 when the window was found and the message posted.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 4)
        return 2;
    HWND window = ::FindWindowW(argv[1], nullptr);
    if (!window)
        return 1;
    if (std::wcscmp(argv[2], L"--text") == 0) {
        HWND edit = ::FindWindowExW(window, nullptr, L"Edit", nullptr);
        return edit && ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3])) ? 0
                                                                                              : 1;
    }
    const UINT message = static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10));
    const WPARAM wParam = static_cast<WPARAM>(std::wcstoull(argv[3], nullptr, 10));
    return ::PostMessageW(window, message, wParam, 0) ? 0 : 1;
}
