// The item list's menus, opened by a right click, Shift+F10 or the menu key: a row's own menu,
// with the shell's menu for the selected files, and the list's own menu (the view-style menu).
// The handler is TFrmOvMain's (uOvMain declares it); this unit holds it and what it works out.
#pragma once

#include <string>

// What the row menu's entries for one row act on, worked out from its item's path when the menu
// opens. A damaged shortcut stands only for itself.
struct TItemMenuTargets {
    // The item's own file or folder, when present: the properties.
    std::wstring present;
    // The program to start elevated (a shortcut's target) and its arguments, when it is one.
    std::wstring program;
    std::wstring arguments;
    // The file or folder to show selected in its folder (a shortcut's target), when present.
    std::wstring located;
};
TItemMenuTargets ItemMenuTargets(const std::wstring& path);
