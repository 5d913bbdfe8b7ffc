// Window helpers that work on any window.
#include "uCmnWnd.h"

namespace {

// Input of two threads joined for as long as it lives; the detach runs on every path.
class TThreadInputJoin {
  public:
    TThreadInputJoin(DWORD from, DWORD to) : from_(from), to_(to) {
        ::AttachThreadInput(from_, to_, TRUE);
    }
    ~TThreadInputJoin() { ::AttachThreadInput(from_, to_, FALSE); }
    TThreadInputJoin(const TThreadInputJoin&) = delete;
    TThreadInputJoin& operator=(const TThreadInputJoin&) = delete;

  private:
    DWORD from_;
    DWORD to_;
};

// A tooltip or a menu has no caption.
BOOL CALLBACK ModalCandidate(HWND candidate, LPARAM lParam) {
    if (!::IsWindowVisible(candidate) || !::IsWindowEnabled(candidate) ||
        (::GetWindowLongPtrW(candidate, GWL_STYLE) & WS_CAPTION) != WS_CAPTION)
        return TRUE;
    *reinterpret_cast<HWND*>(lParam) = candidate;
    return FALSE;
}

} // namespace

void WindowBringToFront(HWND hwnd, HWND active) {
    // Sent, not posted: the window is back before it is raised. A window that shows keeps its
    // size, maximised included.
    if (::IsIconic(hwnd) || !::IsWindowVisible(hwnd))
        ::SendMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    if (active && active != hwnd)
        // A disabled window asked to take the activation gives it up, to no window at all while
        // another program had it (Wine): only its box or dialog is activated.
        ::SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    else
        active = hwnd;
    const DWORD t1 = ::GetWindowThreadProcessId(active, nullptr);
    const DWORD t2 = ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
    if (t1 == t2) {
        ::BringWindowToTop(active);
        return;
    }
    // Asked plainly first: Wine grants it to any program, Windows to some (while no window has the
    // foreground, for one). Joined inputs are the fallback because, when they part, Wine leaves the
    // keys typed meanwhile with the other thread, whose focus has moved here, and drops them; and
    // the join lasts as long as that thread takes to answer the activation, the box already shown
    // in front.
    if (::SetForegroundWindow(active) && ::GetForegroundWindow() == active) {
        ::BringWindowToTop(active);
        return;
    }
    {
        // Sharing the foreground thread's input state is what lets a background program's window
        // come to the top. With no foreground window t2 is 0: the attach fails harmlessly.
        TThreadInputJoin join(t1, t2);
        ::BringWindowToTop(active);
        ::SetForegroundWindow(active);
    }
    // The input states parted again, the activation may have stayed with the other thread's
    // (Wine): the foreground is asked for once more.
    if (::GetForegroundWindow() != active)
        ::SetForegroundWindow(active);
}

HWND ModalWindowOf(HWND hwnd) {
    if (::IsWindowEnabled(hwnd))
        return nullptr;
    // The thread's windows come topmost first, and a window's owned ones lie above it: with boxes
    // over boxes, the innermost.
    HWND found = nullptr;
    ::EnumThreadWindows(::GetWindowThreadProcessId(hwnd, nullptr), ModalCandidate,
                        reinterpret_cast<LPARAM>(&found));
    return found;
}
