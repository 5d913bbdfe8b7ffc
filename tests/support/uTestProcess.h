// Helpers of the suites that start the real program as a process of its own.
#pragma once

#include "uCmnHandle.h"

#include <windows.h>

#include <functional>
#include <string>

// A started pOv.exe; ended by force at destruction if it still runs.
struct TLauncher {
    TUniqueHandle process;
    DWORD pid = 0;

    TLauncher() = default;
    TLauncher(TLauncher&&) = default;
    ~TLauncher();

    // pOv.exe of `folder` (with a trailing "\"), started with that folder as its current
    // directory; `show` is the show command it gets, or -1 for none; `arguments` follow the
    // program's path on its command line.
    static TLauncher Start(const std::wstring& folder, int show = -1,
                           const std::wstring& arguments = L"");

    // Exit code once the process has ended, or -1 after the timeout.
    long Wait(DWORD ms) const;
};

// A top-level window of that class, of that process (any process with pid 0); with
// `visibleOnly` only a visible one. `count` receives how many there are.
HWND FindTopLevel(DWORD pid, const wchar_t* cls, bool visibleOnly, int* count = nullptr);

// Polls `done` every 50 ms for up to `ms`, answering this thread's messages meanwhile, as a
// program does; its last answer.
bool WaitFor(const std::function<bool()>& done, DWORD ms);

// The window's text.
std::wstring TextOf(HWND hwnd);
