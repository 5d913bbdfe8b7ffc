// Menus opened by a test, watched from a timer.
#include "uTestMenus.h"

#include <windows.h>

namespace {

struct {
    std::wstring keys;
    TMenus seen;
    HMENU last;
    int ticks;
    // The entries of each submenu of the first menu, as that menu showed.
    std::vector<int> submenuEntries;
} g_menus;

// A visible window of the class that belongs to this thread; of menus, one not noted yet.
HWND Visible(const wchar_t* cls) {
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, cls, nullptr));) {
        auto menu = reinterpret_cast<HMENU>(::SendMessageW(w, MN_GETHMENU, 0, 0));
        if (::IsWindowVisible(w) && (!menu || menu != g_menus.last) &&
            ::GetWindowThreadProcessId(w, nullptr) == ::GetCurrentThreadId())
            return w;
    }
    return nullptr;
}

// Notes the menu that opened last and types the next key into it; with none left, closes the
// menus. A menu that a key left open, or a box that opened instead, is closed after a while: the
// test fails, it does not hang.
void CALLBACK MenuTimer(HWND, UINT, UINT_PTR, DWORD) {
    HWND popup = Visible(L"#32768");
    if (!popup) {
        if (++g_menus.ticks % 100 == 0) {
            ::EndMenu();
            if (HWND box = Visible(L"#32770"))
                ::PostMessageW(box, WM_CLOSE, 0, 0);
        }
        return;
    }
    HMENU menu = g_menus.last = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
    std::vector<std::wstring>& entries = g_menus.seen.emplace_back();
    for (int i = 0; i < ::GetMenuItemCount(menu) && g_menus.seen.size() == 1; ++i)
        if (HMENU submenu = ::GetSubMenu(menu, i))
            g_menus.submenuEntries.push_back(::GetMenuItemCount(submenu));
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        // A submenu's state carries its number of entries in the high byte.
        const UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        const bool separator = !::GetSubMenu(menu, i) && (state & MF_SEPARATOR);
        entries.push_back(separator ? L"|"
                                    : ((state & MF_GRAYED) ? L"-" : L"") + std::wstring(text));
    }
    const size_t typed = g_menus.seen.size() - 1;
    if (typed < g_menus.keys.size())
        ::PostMessageW(popup, WM_CHAR, g_menus.keys[typed], 0);
    else
        ::EndMenu();
}

} // namespace

TMenus Menus(const std::function<void()>& open, const std::wstring& keys) {
    g_menus = {keys, {}, nullptr, 0, {}};
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, MenuTimer);
    open();
    ::KillTimer(nullptr, timer);
    return g_menus.seen;
}

const std::vector<int>& MenusSubmenuEntries() {
    return g_menus.submenuEntries;
}
