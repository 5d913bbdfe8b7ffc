// The item list's menus, opened by a right click, Shift+F10 or the menu key: a row's own menu,
// with the shell's menu for the selected files, and the list's own menu (the view-style menu).
#pragma once

#include "uOvCmd.h"
#include "uOvFrmDef.h"
#include "uOvHost.h"
#include "uOvPageCmd.h"

#include <windows.h>

#include <array>
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

// Which of the row menu's entries (OV_CAP_ITEM_MENU's order) apply to the row's targets: the
// others are greyed. `shellBuilt` tells whether the shell can give its menu for the selected files
// (they are of one folder).
std::array<bool, OV_ITEM_MENU_ENTRIES> ItemMenuEnabled(const TItemMenuTargets& targets,
                                                       bool shellBuilt);

// Opens the menus at `screen` ((-1, -1) from the keyboard: at the focused row): the row menu,
// whose entries the commands carry out (the page commands its moves to another page), or where
// no row is the list's menu `listMenu`, whose entries come back to the window as commands.
void ItemMenuShow(TMainHost& host, TItemCommands& commands, TPageCommands& pages, HMENU listMenu,
                  POINT screen);
