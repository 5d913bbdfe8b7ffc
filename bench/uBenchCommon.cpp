// What the benchmark's cases share.
#include "uBenchCommon.h"

#include <windows.h>

#include <cwchar>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

// ---------------------------------------------------------------------------------------------
// Output

std::string Grouped(long long n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    std::string text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return n < 0 ? "-" + text : text;
}

void Line(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// ---------------------------------------------------------------------------------------------
// Clock, messages, figures

double Now() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / ticksPerMs;
}

void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

namespace {

struct TWindowSearch {
    DWORD process;
    const wchar_t* className;
    HWND found;
};

} // namespace

HWND VisibleWindowOf(DWORD process, const wchar_t* className) {
    TWindowSearch search{process, className, nullptr};
    ::EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<TWindowSearch*>(param);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hwnd, &owner);
            wchar_t name[64] = {};
            ::GetClassNameW(hwnd, name, 64);
            if ((s.process && owner != s.process) || !::IsWindowVisible(hwnd) ||
                std::wcscmp(name, s.className))
                return TRUE;
            s.found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
