// Window helpers that work on any window.
#pragma once

#include <windows.h>

// Brings a minimised or hidden window back (a shown one keeps its size, maximised included) and
// to the top of the z-order, also while another program's window holds the foreground. With
// `active` (a box or dialog that holds `hwnd` disabled), `hwnd` is raised without the activation
// and `active` comes to the top above it and takes the activation.
void WindowBringToFront(HWND hwnd, HWND active = nullptr);

// While `hwnd` is disabled by a box or dialog of its thread, the window that holds the input: the
// topmost visible, enabled window of the thread with a caption. None while `hwnd` is enabled.
HWND ModalWindowOf(HWND hwnd);

// A box or dialog without an owner gives the activation back to no window in particular when it
// closes: for as long as it lives, this notes the thread's active window and its keyboard focus,
// and gives both back at the end.
class TActivationKeep {
  public:
    TActivationKeep() : active_(::GetActiveWindow()), focus_(::GetFocus()) {}
    ~TActivationKeep() {
        if (!active_ || !::IsWindow(active_) || !::IsWindowVisible(active_) ||
            !::IsWindowEnabled(active_))
            return;
        ::SetActiveWindow(active_);
        if (focus_ && ::IsWindow(focus_) && (focus_ == active_ || ::IsChild(active_, focus_)))
            ::SetFocus(focus_);
    }
    TActivationKeep(const TActivationKeep&) = delete;
    TActivationKeep& operator=(const TActivationKeep&) = delete;

  private:
    HWND active_;
    HWND focus_;
};

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
