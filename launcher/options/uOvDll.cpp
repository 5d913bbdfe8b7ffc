// Binding of the hot-key library pOv.dll.
#include "uOvDll.h"

#include "uCmnFile.h"
#include "uCmnHandle.h"

#include <string>
#include <utility>

namespace {

constexpr const wchar_t* OV_HOOK_DLL = L"pOv.dll";

// Beside the program, whatever the current directory: where the library is looked for is where
// it is loaded from.
std::wstring HookDllPath() {
    return ProgramFolder() + OV_HOOK_DLL;
}

using TSetEntry = BOOL(WINAPI*)();
using TResetEntry = void(WINAPI*)();

TUniqueModule g_library;
TSetEntry g_set = nullptr;
TResetEntry g_reset = nullptr;

template <typename Entry> Entry EntryOf(HMODULE module, const char* name) {
    return reinterpret_cast<Entry>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

} // namespace

bool HookDllExists() {
    return FilePresent(HookDllPath());
}

bool HookDllLoad() {
    if (g_set || g_reset)
        return true;
    // A damaged file is simply not bound: the system's "bad image" and disk boxes stay off
    // meanwhile.
    DWORD previousMode = 0;
    const BOOL modeSet =
        ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    TUniqueModule library(::LoadLibraryW(HookDllPath().c_str()));
    if (modeSet)
        ::SetThreadErrorMode(previousMode, nullptr);
    if (!library)
        return false;
    g_set = EntryOf<TSetEntry>(library.Get(), "F_OvHookKeySet");
    g_reset = EntryOf<TResetEntry>(library.Get(), "P_OvHookKeyReset");
    // A library without either entry is of no use; let it go, so a later call looks again.
    if (g_set || g_reset)
        g_library = std::move(library);
    if (g_set)
        g_set();
    return g_set && g_reset;
}

void HookDllFree() {
    if (g_reset)
        g_reset();
    // The entries point into the library: forget them with it, so a second close query (a
    // cancelled log-off asks again at the real close) calls nothing that is gone.
    g_set = nullptr;
    g_reset = nullptr;
    g_library.Reset();
}
