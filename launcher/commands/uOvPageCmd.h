// The page commands: the page list, a page named, moved, added or deleted, and items moved from
// one page to another (the row menu's entry, Ctrl+X and Ctrl+V, a drag onto a page button).
#pragma once

#include "uOvCmd.h"
#include "uOvHost.h"
#include "uOvLvw.h"
#include "uOvSearch.h"

#include <windows.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

// The page list's entries and the row menu's move entries, by command. A page's command is its
// first command plus its number less one; pages past the range are left out of the menus.
inline constexpr UINT IDM_PAGE_SHOW_FIRST = 0x0800;
inline constexpr UINT IDM_PAGE_MOVETO_FIRST = 0x0C00;
inline constexpr int32_t OV_PAGE_MENU_MAX = 0x0400;
inline constexpr UINT IDM_PAGE_NEW = 601;
inline constexpr UINT IDM_PAGE_NAME = 602;
inline constexpr UINT IDM_PAGE_MOVEBACK = 603;
inline constexpr UINT IDM_PAGE_MOVEFORWARD = 604;
inline constexpr UINT IDM_PAGE_DELETE = 605;
inline constexpr UINT IDM_PAGE_MOVETO_NEW = 606;

// A page's line in the menus: its number (the access key for 1 to 9), its name, a folder page's
// folder, and after a tab its item count. Ampersands of the name and folder are doubled.
std::wstring PageMenuText(int32_t page, const std::wstring& name, const std::wstring& folder,
                          int32_t items);

class TPageCommands {
  public:
    TPageCommands(TMainHost& host, const TMainState& state, TItemSearch& search,
                  TItemCommands& items)
        : host_(host), state_(state), search_(search), items_(items) {}
    TPageCommands(const TPageCommands&) = delete;
    TPageCommands& operator=(const TPageCommands&) = delete;

    // The page list as a menu: every page (the one shown checked), then the page commands. The
    // caller owns the menu.
    HMENU PageListMenuMake() const;
    // Opens the page list at `screen` and carries out the entry chosen.
    void PageListOpen(POINT screen);
    // Carries out a command of the page list or of the row menu's move entries; false for
    // another command.
    bool Command(UINT id);
    // Shows page `page` (clamped to the pages there are), leaving a search.
    void PageGo(int32_t page);
    // Asks for the shown page's name.
    void PageNameAsk();
    // Moves the page shown one place back (-1) or forward (1); it stays shown.
    void PageMoveBy(int delta);
    // Appends an empty page and shows it.
    void PageAppend();

    // The row menu's submenu: every page to move the selected rows to, and a new page. `sources`:
    // the pages the rows are on.
    HMENU MoveMenuMake(const std::set<int32_t>& sources) const;
    // Moves the rows' items to page `target` (0: a new page), each from its own page, and shows
    // the rows that remain. Items of a folder page and a folder page as the target are refused
    // with a box, before anything moves.
    void ItemsMoveTo(const std::vector<TListRow>& rows, int32_t target);

    // Ctrl+X: the selected rows marked to be moved (dimmed); Ctrl+V on another page moves them
    // there; Escape drops the mark. DropMark is false when there was none.
    void SelectedMark();
    void MarkedMoveHere();
    bool MarkDrop();
    bool Marked() const noexcept { return !marked_.empty(); }

  private:
    TMainHost& host_;
    TMainState state_;
    TItemSearch& search_;
    TItemCommands& items_;
    std::vector<TListRow> marked_;
};
