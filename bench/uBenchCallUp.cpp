// The benchmark's call-up case.
#include "uBenchCallUp.h"

#include "uBenchCommon.h"
#include "uCmnError.h"
#include "uCmnHandle.h"
#include "uCmnReg.h"
#include "uOvReg.h"
#include "uOvRegDef.h"

#include <windows.h>
#include <tlhelp32.h>

#include <functional>
#include <stdexcept>
#include <vector>

namespace {

void KeySend(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(input));
}

void KeyPress(WORD key) {
    KeySend(key, false);
    KeySend(key, true);
}

bool Shown(HWND window) {
    return ::IsWindowVisible(window) && !::IsIconic(window);
}

// Polls `done` every millisecond for up to `ms`; the time it took, -1 when it never came.
double Until(const std::function<bool()>& done, double ms) {
    const double start = Now();
    while (!done()) {
        if (Now() - start > ms)
            return -1;
        ::Sleep(1);
    }
    return Now() - start;
}

// A program started, ended with it at the latest.
struct TStarted {
    TUniqueHandle process;
    DWORD pid = 0;
    HWND window = nullptr;

    TStarted() = default;
    TStarted(TStarted&&) = default;
    ~TStarted() {
        if (process && ::WaitForSingleObject(process.Get(), 0) != WAIT_OBJECT_0)
            ::TerminateProcess(process.Get(), 1);
    }
};

// Starts the program and waits until its window of `className` shows and it waits for input.
TStarted Started(const std::wstring& exe, const wchar_t* className) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring command = L"\"" + exe + L"\"";
    if (!::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          PathFolderWithSep(exe).c_str(), &startup, &info))
        throw std::runtime_error("cannot start " + Utf8Of(exe));
    TStarted started;
    started.process.Reset(info.hProcess);
    ::CloseHandle(info.hThread);
    started.pid = info.dwProcessId;
    if (Until([&] { return (started.window = VisibleWindowOf(started.pid, className)); }, 60000) <
        0)
        throw std::runtime_error(Utf8Of(exe) + " showed no window within a minute");
    ::WaitForInputIdle(info.hProcess, 60000);
    return started;
}

void Close(TStarted& started) {
    ::PostMessageW(started.window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(started.process.Get(), 30000) != WAIT_OBJECT_0)
        ::TerminateProcess(started.process.Get(), 1);
}

// The hook library is among the process's modules.
bool LibraryLoaded(DWORD pid) {
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    TUniqueHandle modules(snapshot);
    MODULEENTRY32W module{};
    module.dwSize = sizeof(module);
    for (BOOL more = ::Module32FirstW(modules.Get(), &module); more;
         more = ::Module32NextW(modules.Get(), &module))
        if (::lstrcmpiW(module.szModule, L"pOv.dll") == 0)
            return true;
    return false;
}

// Minimised, and given a moment to settle: the next restore starts from rest.
void Minimise(HWND window) {
    ::PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Until([&] { return !Shown(window); }, 5000);
    ::Sleep(300);
}

// A trip typed from outside: the hot key, then each key 40 ms after the one before.
struct TTrip {
    const char* label;
    bool option;
    std::vector<double> times;
    int started = 0;
};

} // namespace

bool CallUpCase(const std::wstring& bin, int runs) {
    const std::wstring named = bin + L"ovbench_blank.exe";
    RegKeyDelete(HKEY_CURRENT_USER, OvKeyProduct);
    // The first start writes the settings tree, which the case then changes.
    {
        TStarted first = Started(bin + L"pOv.exe", L"TFrmOvMain");
        Close(first);
    }
    RegBoolWrite(HKEY_CURRENT_USER, OvKeyOption, OvValHookKey, true);
    RegIntWrite(HKEY_CURRENT_USER, OvKeyOption, OvValHookKeyNo, VK_F8);
    // The program named: the only item whose name holds "bla".
    ItemAdd(1, named);
    TStarted launcher = Started(bin + L"pOv.exe", L"TFrmOvMain");
    // The library is bound in the first idle moment; a message answered after it is listed among
    // the modules was answered after the binding.
    DWORD_PTR answer = 0;
    if (Until([&] { return LibraryLoaded(launcher.pid); }, 30000) < 0 ||
        !::SendMessageTimeoutW(launcher.window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer)) {
        Close(launcher);
        throw std::runtime_error("the launcher bound no hot-key library");
    }
    TStarted bare = Started(bin + L"ovbench_list.exe", L"OvBenchList");

    std::vector<double> callUps, restores;
    TTrip trips[] = {{"hot key, Ctrl+F, \"bla\", Enter", false, {}, 0},
                     {"with ホットキーで検索を開く: hot key, \"bla\", Enter", true, {}, 0}};
    for (int run = 0; run < runs; ++run) {
        Minimise(bare.window);
        KeyPress(VK_F9);
        restores.push_back(Until([&] { return Shown(bare.window); }, 5000));
        Minimise(launcher.window);
        KeyPress(VK_F8);
        callUps.push_back(Until([&] { return Shown(launcher.window); }, 5000));
        for (TTrip& trip : trips) {
            RegBoolWrite(HKEY_CURRENT_USER, OvKeyOption, OvValHookSearch, trip.option);
            Minimise(launcher.window);
            const double start = Now();
            KeyPress(VK_F8);
            ::Sleep(40);
            if (!trip.option) {
                KeySend(VK_CONTROL, false);
                KeyPress('F');
                KeySend(VK_CONTROL, true);
                ::Sleep(40);
            }
            for (const WORD key : {'B', 'L', 'A'}) {
                KeyPress(key);
                ::Sleep(40);
            }
            KeyPress(VK_RETURN);
            HWND shown = nullptr;
            if (Until([&] { return (shown = VisibleWindowOf(0, L"OvBenchBlank")); }, 10000) < 0)
                continue;
            trip.times.push_back(Now() - start);
            ++trip.started;
            ::PostMessageW(shown, WM_CLOSE, 0, 0);
            Until([&] { return !VisibleWindowOf(0, L"OvBenchBlank"); }, 10000);
        }
    }
    Close(bare);
    Close(launcher);

    Line("%s", "");
    Line("call-up from outside: the real program, minimised, called up by its hot key (F8 sent "
         "with SendInput) through its hook library, %d rounds",
         runs);
    const double callUp = Median(callUps), restore = Median(restores);
    // The hook's way has one thread more to wake than the system's hot key (the hook's, which
    // posts to the window's): the target is the same frame of the screen, not the same ratio.
    Line("  until the window shows: median %.1f ms; the one-list window restored by its own hot "
         "key (F9, RegisterHotKey) %.1f ms: %+.1f ms (target within one frame, 16.7 ms: %s)",
         callUp, restore, callUp - restore, Verdict(callUp <= restore + 16.7));
    bool all = true;
    for (const TTrip& trip : trips) {
        all = all && trip.started == runs;
        Line("  %s, 40 ms apart: the program named started %d of %d times (target every time: "
             "%s), median %.1f ms from the hot key to its window",
             trip.label, trip.started, runs, Verdict(trip.started == runs),
             trip.times.empty() ? 0.0 : Median(trip.times));
    }
    return all;
}
