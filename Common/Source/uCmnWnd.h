// Window helpers that work on any window.
#pragma once

#include <windows.h>

// Restores the window and brings it to the top of the z-order, also while another program's
// window holds the foreground.
void WindowBringToFront(HWND hwnd);
