// Helpers of the suites that start the real program as a process of its own.
#include "uTestProcess.h"

#include "uTestSupport.h"

TLauncher::~TLauncher() {
    if (process && Wait(0) == -1) {
        ::TerminateProcess(process.Get(), 1);
        Wait(5000);
    }
}

TLauncher TLauncher::Start(const std::wstring& folder, int show, const std::wstring& arguments) {
    TLauncher l;
    PROCESS_INFORMATION pi{};
    std::wstring command = L"\"" + folder + L"pOv.exe\"";
    if (!arguments.empty())
        command += L" " + arguments;
    if (ProcessStart(nullptr, command, 0, pi, folder.c_str(), show)) {
        ::CloseHandle(pi.hThread);
        l.process.Reset(pi.hProcess);
        l.pid = pi.dwProcessId;
    }
    return l;
}

long TLauncher::Wait(DWORD ms) const {
    if (::WaitForSingleObject(process.Get(), ms) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(process.Get(), &code);
    return static_cast<long>(code);
}

namespace {

struct TFindArgs {
    DWORD pid;
    const wchar_t* cls;
    bool visibleOnly;
    HWND found = nullptr;
    int count = 0;
};

BOOL CALLBACK FindOne(HWND hwnd, LPARAM lParam) {
    auto* a = reinterpret_cast<TFindArgs*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[64] = {};
    ::GetClassNameW(hwnd, cls, 64);
    if ((a->pid == 0 || pid == a->pid) && std::wstring(cls) == a->cls &&
        (!a->visibleOnly || ::IsWindowVisible(hwnd))) {
        if (!a->found)
            a->found = hwnd;
        ++a->count;
    }
    return TRUE;
}

} // namespace

HWND FindTopLevel(DWORD pid, const wchar_t* cls, bool visibleOnly, int* count) {
    TFindArgs a{pid, cls, visibleOnly};
    ::EnumWindows(FindOne, reinterpret_cast<LPARAM>(&a));
    if (count)
        *count = a.count;
    return a.found;
}

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
        if (done())
            return true;
        PumpMessages(50);
    }
    return done();
}

std::wstring TextOf(HWND hwnd) {
    wchar_t buf[512] = {};
    int n = ::GetWindowTextW(hwnd, buf, 512);
    return std::wstring(buf, n > 0 ? static_cast<size_t>(n) : 0);
}
