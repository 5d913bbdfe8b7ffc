// The item list's menus: a row's own menu with the shell's menu, and the list's own menu.
#include "uOvItemMenu.h"

#include "uCmnFile.h"
#include "uCmnStr.h"
#include "uCmnHandle.h"
#include "uCmnShell.h"
#include "uCmnShellMenu.h"
#include "uOvCapDef.h"
#include "uOvCmd.h"
#include "uOvFrmDef.h"
#include "uOvLvw.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <exception>
#include <set>
#include <vector>

TItemMenuTargets ItemMenuTargets(const std::wstring& path) {
    TItemMenuTargets targets;
    if (!FilePresent(path) && !FolderPresent(path))
        return targets;
    targets.present = path;
    std::wstring target = path, arguments;
    if (FilePresent(path)) {
        try {
            ItemTargetResolve(target, arguments);
        } catch (const std::exception&) {
            // Damaged: the shortcut stands only for itself.
            return targets;
        }
    }
    if (FilePresent(target) && PathExtensionIs(target, L".exe")) {
        targets.program = target;
        targets.arguments = arguments;
    }
    if (FilePresent(target) || FolderPresent(target))
        targets.located = target;
    return targets;
}

namespace {

bool RowSelected(HWND list, int row) {
    return ListView_GetItemState(list, row, LVIS_SELECTED) != 0;
}

// True on the report view's column headers, which have no menu.
bool OnHeaders(HWND list, POINT screen) {
    HWND header = ListView_GetHeader(list);
    RECT bar{};
    return header && ::IsWindowVisible(header) && ::GetWindowRect(header, &bar) &&
           ::PtInRect(&bar, screen);
}

// The row under a point on the screen; -1 where no row is.
int RowAtPoint(HWND list, POINT screen) {
    LVHITTESTINFO hit{};
    hit.pt = screen;
    ::ScreenToClient(list, &hit.pt);
    const int row = ListView_HitTest(list, &hit);
    return row >= 0 && (hit.flags & LVHT_ONITEM) ? row : -1;
}

// Where a menu opened from the keyboard appears: the middle of the row's icon, or the list's top
// left corner; always inside the list.
POINT MenuPointOf(HWND list, int row) {
    RECT client{};
    ::GetClientRect(list, &client);
    POINT point{client.left, client.top};
    if (row >= 0) {
        ListView_EnsureVisible(list, row, FALSE);
        RECT icon{};
        ListView_GetItemRect(list, row, &icon, LVIR_ICON);
        point = {std::clamp<LONG>((icon.left + icon.right) / 2, client.left, client.right - 1),
                 std::clamp<LONG>((icon.top + icon.bottom) / 2, client.top, client.bottom - 1)};
    }
    ::ClientToScreen(list, &point);
    return point;
}

std::vector<std::wstring> SelectedPaths() {
    std::vector<std::wstring> paths;
    ListSelectedEach(
        [&](const std::wstring&, TPageId, const std::wstring& path) { paths.push_back(path); });
    return paths;
}

} // namespace

std::array<bool, OV_ITEM_MENU_ENTRIES> ItemMenuEnabled(const TItemMenuTargets& targets,
                                                       bool shellBuilt) {
    return {true,       !targets.program.empty(), !targets.located.empty(), true, true,
            shellBuilt, !targets.present.empty()};
}

void ItemMenuShow(TMainHost& host, TItemCommands& commands, TPageCommands& pages, HMENU listMenu,
                  POINT screen) {
    HWND list = host.ItemList();
    int row = -1;
    if (screen.x == -1 && screen.y == -1) {
        row = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
        if (row < 0 || !RowSelected(list, row))
            row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
        screen = MenuPointOf(list, row);
    } else if (OnHeaders(list, screen)) {
        return;
    } else if ((row = RowAtPoint(list, screen)) >= 0 && !RowSelected(list, row)) {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
    }
    if (row < 0) {
        // Its entries come back as commands, as from the toolbar's drop-down.
        ::TrackPopupMenuEx(listMenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, screen.x,
                           screen.y, host.Window(), nullptr);
        return;
    }
    // The entries for one row act on the focused row.
    ListView_SetItemState(list, row, LVIS_FOCUSED, LVIS_FOCUSED);
    const TItemMenuTargets targets = ItemMenuTargets(ListRowOf(row).path);
    // What the selected rows have in common, asked of them in place: with 50,000 selected, a
    // copy of each would hold the menu up.
    std::set<TPageId> sourceIds;
    std::wstring folder;
    bool oneFolder = !targets.present.empty(), first = true;
    ListSelectedEach([&](const std::wstring&, TPageId page, const std::wstring& path) {
        sourceIds.insert(page);
        if (!oneFolder)
            return;
        const std::wstring_view itsFolder = PathFolderView(path);
        if (path.empty() || (!first && !SameText(itsFolder, folder)))
            oneFolder = false;
        else if (first)
            folder = itsFolder;
        first = false;
    });

    // The pages the rows are on now, by number: the move entries grey the one they share.
    std::set<int32_t> sources;
    for (TPageId page : sourceIds)
        sources.insert(PageNumberOf(page));
    TUniqueMenu menu(::CreatePopupMenu());
    TUniqueMenu more(::CreatePopupMenu());
    // The shell's menu is made when its submenu first opens: for thousands of selected files it
    // takes seconds, which a menu opened for another entry must not wait for. It can be made only
    // for the files of one folder, the row's own file there.
    TShellMenu shell;
    if (oneFolder)
        shell.BuildOnOpen(
            host.Window(), [] { return SelectedPaths(); }, more.Get(), IDM_SHELL_FIRST,
            IDM_SHELL_LAST, ::GetKeyState(VK_SHIFT) < 0, OV_CAP_SHELL_NONE);
    // Entries that do not apply are greyed, never left out: the access keys keep their places.
    const std::array<bool, OV_ITEM_MENU_ENTRIES> enabled = ItemMenuEnabled(targets, oneFolder);
    for (int i = 0; i < OV_ITEM_MENU_ENTRIES; ++i) {
        const int id = IDM_ITEM_OPEN + i;
        if (id == IDM_ITEM_RENAME || id == IDM_ITEM_SHELL)
            ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
        if (id == IDM_ITEM_SHELL) {
            // Moves to another page, below the entries that change the item.
            TUniqueMenu moves(pages.MoveMenuMake(sources));
            if (::AppendMenuW(menu.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(moves.Get()),
                              OV_CAP_ITEM_MOVETO))
                moves.Release();
        }
        const UINT state = enabled[i] ? MF_ENABLED : MF_GRAYED;
        if (id != IDM_ITEM_SHELL)
            ::AppendMenuW(menu.Get(), MF_STRING | state, static_cast<UINT_PTR>(id),
                          OV_CAP_ITEM_MENU[i]);
        else if (::AppendMenuW(menu.Get(), MF_POPUP | state, reinterpret_cast<UINT_PTR>(more.Get()),
                               OV_CAP_ITEM_MENU[i]))
            more.Release();
    }
    ::SetMenuDefaultItem(menu.Get(), IDM_ITEM_OPEN, FALSE);
    const UINT chosen = ::TrackPopupMenuEx(
        menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x,
        screen.y, host.Window(), nullptr);
    switch (chosen) {
    case 0:
        break;
    case IDM_ITEM_OPEN:
        commands.SelectedOpen();
        break;
    case IDM_ITEM_RUNAS:
        ShellVerb(L"runas", targets.program, targets.arguments);
        break;
    case IDM_ITEM_LOCATION:
        ShellShowInFolder(targets.located);
        break;
    case IDM_ITEM_RENAME:
        commands.RenameEditorOpen();
        break;
    case IDM_ITEM_DELETE:
        commands.SelectedDelete();
        break;
    case IDM_ITEM_PROPERTIES:
        ShellProperties(host.Window(), targets.present);
        break;
    default:
        if (!pages.Command(chosen))
            shell.Invoke(chosen, screen);
        break;
    }
}
