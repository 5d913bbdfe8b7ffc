// What the benchmark's cases share: output, the clock, the message pump and the median.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A whole number with its digits grouped by three: 12,345.
std::string Grouped(long long n);
// Prints one line (printf-style) and flushes it, so the figures show as they come.
void Line(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Milliseconds on QueryPerformanceCounter.
double Now();
// Runs everything that is waiting (paints of the status bar and the toolbar, timers), so that
// no run pays for work left over by the one before it.
void PumpMessages();
double Median(std::vector<double> values);
// A target's verdict as the report prints it: "met" or "NOT MET".
inline const char* Verdict(bool met) {
    return met ? "met" : "NOT MET";
}
// A visible top-level window of that class belonging to that process (0: to any process).
HWND VisibleWindowOf(DWORD process, const wchar_t* className);
