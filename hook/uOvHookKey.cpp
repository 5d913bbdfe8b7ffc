// Which low-level keyboard events the hot-key library passes on to the main window, and how.
#include "uOvHookKey.h"

#include <cstdint>

// Injected events (LLKHF_INJECTED) are passed on like typed ones: on-screen keyboards, remote
// desktops and automation tools deliver their keys that way, and the user means them as much.
std::optional<THookKeyPost> HookKeyForward(int code, WPARAM message, const KBDLLHOOKSTRUCT* key) {
    if (code < 0 || key == nullptr)
        return std::nullopt;
    bool released;
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        released = false;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        released = true;
        break;
    default:
        return std::nullopt;
    }
    // Repeat count 1, scan code, extended-key and context (Alt) bits; a release sets both the
    // previous-state and the transition bit, as WM_KEYUP does. The hook cannot tell a first
    // press from an auto-repeat, so a press always reports the key as previously up.
    uint32_t flags = 1u | (key->scanCode & 0xFFu) << 16;
    if (key->flags & LLKHF_EXTENDED)
        flags |= 1u << 24;
    if (key->flags & LLKHF_ALTDOWN)
        flags |= 1u << 29;
    if (released)
        flags |= 1u << 30 | 1u << 31;
    // The hook tells left from right; the keyboard messages, and the hot-key table, do not.
    DWORD vk = key->vkCode;
    if (vk == VK_LCONTROL || vk == VK_RCONTROL)
        vk = VK_CONTROL;
    else if (vk == VK_LSHIFT || vk == VK_RSHIFT)
        vk = VK_SHIFT;
    else if (vk == VK_LMENU || vk == VK_RMENU)
        vk = VK_MENU;
    return THookKeyPost{static_cast<WPARAM>(vk), static_cast<LPARAM>(flags)};
}
