// The hot-key library pOv.dll: a low-level keyboard hook that hands key events to the launcher's
// main window as WM_HOOKKEY.
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

namespace {

HINSTANCE g_module = nullptr;
// Unhooks at unload as well, should the launcher unload without calling the reset entry.
TUniqueHook g_hook;

// Low-level hooks run on the installing thread, inside its message loop: keep this short, and
// never swallow a key.
LRESULT CALLBACK KeyboardProc(int code, WPARAM message, LPARAM lParam) {
    const auto* key = code < 0 ? nullptr : reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (auto post = HookKeyForward(code, message, key)) {
        if (HWND main = ::FindWindowA(OV_MAIN_CLASS, OV_APP_TITLE))
            ::PostMessageA(main, WM_HOOKKEY, post->key, post->flags);
    }
    return ::CallNextHookEx(g_hook.Get(), code, message, lParam);
}

} // namespace

extern "C" {

// Starts delivering key events; a second call while set changes nothing. TRUE while set.
BOOL WINAPI F_OvHookKeySet() {
    if (!g_hook)
        g_hook.Reset(::SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardProc, g_module, 0));
    return g_hook ? TRUE : FALSE;
}

// Stops delivering key events; nothing of the library stays active afterwards.
void WINAPI P_OvHookKeyReset() {
    g_hook.Reset();
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = module;
        ::DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

} // extern "C"
