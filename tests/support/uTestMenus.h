// Menus opened by a test as the user opens them (a key, a click), watched from a timer: each
// menu's entries noted, keys typed into it, and the menus closed when the keys run out.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Each menu that opened, in order: its entries, "-" before a greyed one, "|" for a separator.
using TMenus = std::vector<std::vector<std::wstring>>;

// Runs `open`, which opens the menus, typing `keys` into them, one a menu. A menu that a key left
// open, or a box that opened instead, is closed after a while: the test fails, it does not hang.
TMenus Menus(const std::function<void()>& open, const std::wstring& keys);
// The number of entries of each submenu of the first menu of the last Menus, as it showed them.
const std::vector<int>& MenusSubmenuEntries();
