// Which low-level keyboard events the hot-key library passes on to the main window, and how.
#pragma once

#include <windows.h>

#include <optional>

// What to post to the main window: the virtual-key code and keystroke flags laid out like the
// LParam of WM_KEYDOWN / WM_KEYUP.
struct THookKeyPost {
    WPARAM key;
    LPARAM flags;
};

// Decides for one call of the low-level keyboard hook (`code`, `message` and the event record as
// the hook receives them). Key presses, auto-repeats and releases, system keys included, are
// passed on; injected events too. The left and right Ctrl, Shift and Alt keys go as VK_CONTROL,
// VK_SHIFT and VK_MENU, as the keyboard messages report them. `key` is not read when `code` is
// negative.
std::optional<THookKeyPost> HookKeyForward(int code, WPARAM message, const KBDLLHOOKSTRUCT* key);
