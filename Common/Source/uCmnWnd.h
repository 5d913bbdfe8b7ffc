// Window helpers that work on any window.
#pragma once

#include <windows.h>

// Restores the window and brings it to the top of the z-order, also while another program's
// window holds the foreground.
void WindowBringToFront(HWND hwnd);

// The hourglass cursor for as long as it lives, also when an error ends the work early.
class THourglass {
  public:
    THourglass() : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~THourglass() { ::SetCursor(previous_ ? previous_ : ::LoadCursorW(nullptr, IDC_ARROW)); }
    THourglass(const THourglass&) = delete;
    THourglass& operator=(const THourglass&) = delete;

  private:
    HCURSOR previous_;
};
