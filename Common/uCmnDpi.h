// Display scale: a window's DPI, sizes scaled from 96 DPI as Windows rounds them, and system
// metrics for a DPI. What only newer Windows versions offer is looked up at run time, with the
// system-wide DPI as the fallback.
#pragma once

#include <windows.h>

inline constexpr int CmnDpiDefault = 96;

// A size of the 96-DPI layout at `dpi`, rounded as Windows rounds (MulDiv: halves away from 0).
inline int DpiScale(int value96, int dpi) {
    return ::MulDiv(value96, dpi, CmnDpiDefault);
}
// The other way: a size at `dpi` as it reads at 96 DPI.
inline int DpiUnscale(int value, int dpi) {
    return dpi > 0 ? ::MulDiv(value, CmnDpiDefault, dpi) : value;
}

// The DPI the system draws for every program that is not aware of monitors of their own.
int SystemDpi();
// The DPI of the monitor the window is on (GetDpiForWindow), else the system's.
int WindowDpi(HWND hwnd);
// GetSystemMetricsForDpi, else GetSystemMetrics rescaled from the system DPI.
int MetricForDpi(int index, int dpi);
// AdjustWindowRectExForDpi, else AdjustWindowRectEx.
void WindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);
