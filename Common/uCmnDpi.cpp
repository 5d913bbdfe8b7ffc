// Display scale.
#include "uCmnDpi.h"

namespace {

template <typename TProc> TProc User32Proc(const char* name) {
    static const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<TProc>(reinterpret_cast<void*>(::GetProcAddress(user32, name)))
                  : nullptr;
}

} // namespace

int SystemDpi() {
    static const int dpi = [] {
        HDC screen = ::GetDC(nullptr);
        const int value = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : CmnDpiDefault;
        if (screen)
            ::ReleaseDC(nullptr, screen);
        return value > 0 ? value : CmnDpiDefault;
    }();
    return dpi;
}

int WindowDpi(HWND hwnd) {
    using TGetDpiForWindow = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Proc<TGetDpiForWindow>("GetDpiForWindow");
    if (getDpiForWindow && hwnd)
        if (const UINT dpi = getDpiForWindow(hwnd))
            return static_cast<int>(dpi);
    return SystemDpi();
}

int MetricForDpi(int index, int dpi) {
    using TGetSystemMetricsForDpi = int(WINAPI*)(int, UINT);
    static const auto forDpi = User32Proc<TGetSystemMetricsForDpi>("GetSystemMetricsForDpi");
    if (forDpi)
        return forDpi(index, static_cast<UINT>(dpi));
    return ::MulDiv(::GetSystemMetrics(index), dpi, SystemDpi());
}

void WindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
    using TAdjust = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = User32Proc<TAdjust>("AdjustWindowRectExForDpi");
    if (!adjust || !adjust(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}
