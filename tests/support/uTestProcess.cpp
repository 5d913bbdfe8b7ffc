// Helpers of the suites that start the real program as a process of its own.
#include "uTestProcess.h"

#include <vector>

TLauncher::~TLauncher() {
    if (process && Wait(0) == -1) {
        ::TerminateProcess(process.Get(), 1);
        Wait(5000);
    }
}

TLauncher TLauncher::Start(const std::string& folder, int show) {
    TLauncher l;
    std::string cmd = "\"";
    cmd += folder;
    cmd += "pOv.exe\"";
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    if (show >= 0) {
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = static_cast<WORD>(show);
    }
    PROCESS_INFORMATION pi{};
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back('\0');
    if (::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                         &si, &pi)) {
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
    const char* cls;
    bool visibleOnly;
    HWND found = nullptr;
    int count = 0;
};

BOOL CALLBACK FindOne(HWND hwnd, LPARAM lParam) {
    auto* a = reinterpret_cast<TFindArgs*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    char cls[64] = {};
    ::GetClassNameA(hwnd, cls, sizeof(cls));
    if ((a->pid == 0 || pid == a->pid) && std::string(cls) == a->cls &&
        (!a->visibleOnly || ::IsWindowVisible(hwnd))) {
        if (!a->found)
            a->found = hwnd;
        ++a->count;
    }
    return TRUE;
}

} // namespace

HWND FindTopLevel(DWORD pid, const char* cls, bool visibleOnly, int* count) {
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
        ::Sleep(50);
    }
    return done();
}

std::string TextOf(HWND hwnd) {
    char buf[512] = {};
    int n = ::GetWindowTextA(hwnd, buf, sizeof(buf));
    return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}
