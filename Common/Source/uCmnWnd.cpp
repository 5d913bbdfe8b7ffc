// Window helpers that work on any window.
#include "uCmnWnd.h"

void WindowBringToFront(HWND) {}
