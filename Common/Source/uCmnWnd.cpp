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

} // namespace

void WindowBringToFront(HWND hwnd) {
    // Sent, not posted: the window is back at its normal size before it is raised.
    ::SendMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    const DWORD t1 = ::GetWindowThreadProcessId(hwnd, nullptr);
    const DWORD t2 = ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
    if (t1 == t2) {
        ::BringWindowToTop(hwnd);
        return;
    }
    // Sharing the foreground thread's input state is what lets a background program's window
    // come to the top. With no foreground window t2 is 0: the attach fails harmlessly.
    TThreadInputJoin join(t1, t2);
    ::BringWindowToTop(hwnd);
}
