// Posts one message to the top-level window of a class, for the screenshot script:
//   ov-post CLASS MESSAGE WPARAM      (numbers in decimal)
// Exit code 0 when the window was found and the message posted.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 4)
        return 2;
    HWND window = ::FindWindowW(argv[1], nullptr);
    if (!window)
        return 1;
    const UINT message = static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10));
    const WPARAM wParam = static_cast<WPARAM>(std::wcstoull(argv[3], nullptr, 10));
    return ::PostMessageW(window, message, wParam, 0) ? 0 : 1;
}
