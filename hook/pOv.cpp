// The hot-key library pOv.dll: a low-level keyboard hook that hands key events to the launcher's
// main window as WM_HOOKKEY.
//
// The hook lives on a thread of its own with its own message loop: a low-level hook is called on
// the thread that installed it, and were that the launcher's user-interface thread, every key
// typed anywhere on the desktop would wait while the launcher is busy (and the system drops a
// hook that keeps it waiting too long, silently).
//
// The library does not read the launcher's settings: it passes every key event on and the
// window decides (hot key on, which key), reading the settings afresh each time. So a change
// in the options dialog takes effect with the next key press, and the library stays free of
// registry code.
#include "uCmnHandle.h"
#include "uOvCapDef.h"
#include "uOvFrmDef.h"
#include "uOvHookKey.h"

#include <windows.h>

#include <atomic>

namespace {

HINSTANCE g_module = nullptr;

// The hook thread, while the hook is set.
TUniqueHandle g_thread;
DWORD g_threadId = 0;
// Set by the thread once it has tried to hook; whether it did.
TUniqueHandle g_ready;
std::atomic<bool> g_hooked{false};
// Unloading without a reset: the thread unhooks, says so, and waits to be ended.
std::atomic<bool> g_park{false};
TUniqueHandle g_parked;
// Touched by the hook thread only.
HHOOK g_hook = nullptr;

// The launcher's main window: its class and caption, and of this very process, so that no other
// program can read the keys by making a window that looks the same.
HWND MainWindow() {
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, OV_MAIN_CLASS, OV_APP_TITLE))) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        if (process == ::GetCurrentProcessId())
            return window;
    }
    return nullptr;
}

// Runs on the hook thread: keep it short, and never swallow a key.
LRESULT CALLBACK KeyboardProc(int code, WPARAM message, LPARAM lParam) {
    const auto* key = code < 0 ? nullptr : reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (auto post = HookKeyForward(code, message, key)) {
        if (HWND main = MainWindow())
            ::PostMessageW(main, WM_HOOKKEY, post->key, post->flags);
    }
    return ::CallNextHookEx(g_hook, code, message, lParam);
}

DWORD WINAPI HookThread(void*) {
    MSG msg;
    // The queue exists before the thread is reported ready, so the quit message always lands.
    ::PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    g_hook = ::SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardProc, g_module, 0);
    g_hooked = g_hook != nullptr;
    ::SetEvent(g_ready.Get());
    if (g_hook) {
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
            ::DispatchMessageW(&msg);
        ::UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
    }
    if (g_park) {
        ::SetEvent(g_parked.Get());
        ::Sleep(INFINITE);
    }
    return 0;
}

void ThreadForget() {
    g_thread.Reset();
    g_threadId = 0;
    g_hooked = false;
}

} // namespace

extern "C" {

// Starts delivering key events; a second call while set changes nothing. TRUE while set.
BOOL WINAPI F_OvHookKeySet() {
    if (g_thread)
        return g_hooked ? TRUE : FALSE;
    g_ready.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!g_ready)
        return FALSE;
    g_thread.Reset(::CreateThread(nullptr, 0, HookThread, nullptr, 0, &g_threadId));
    if (!g_thread)
        return FALSE;
    ::WaitForSingleObject(g_ready.Get(), INFINITE);
    if (!g_hooked) {
        ::WaitForSingleObject(g_thread.Get(), INFINITE);
        ThreadForget();
        return FALSE;
    }
    return TRUE;
}

// Stops delivering key events and ends the hook thread before it returns; nothing of the
// library stays active afterwards.
void WINAPI P_OvHookKeyReset() {
    if (!g_thread)
        return;
    ::PostThreadMessageW(g_threadId, WM_QUIT, 0, 0);
    ::WaitForSingleObject(g_thread.Get(), INFINITE);
    ThreadForget();
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = module;
        ::DisableThreadLibraryCalls(module);
    } else if (reason == DLL_PROCESS_DETACH && !reserved && g_thread) {
        // Unloaded without a reset: the hook must go, and the thread with it before its code
        // is unmapped. A thread cannot end while this holds the loader lock, so it unhooks,
        // parks outside any lock, and is ended where it waits.
        g_parked.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        g_park = true;
        ::PostThreadMessageW(g_threadId, WM_QUIT, 0, 0);
        if (g_parked)
            ::WaitForSingleObject(g_parked.Get(), 5000);
        ::TerminateThread(g_thread.Get(), 0);
        ::WaitForSingleObject(g_thread.Get(), 5000);
        ThreadForget();
    }
    return TRUE;
}

} // extern "C"
