// The item list: rows built from a page's items, columns, sorting and view styles.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "uCmnIcon.h"
#include "uOvReg.h"
#include "uOvRowText.h"

#include <windows.h>
#include <commctrl.h>

// The list control these functions work on, and the window that owns it; set when the window
// makes its controls.
void ListAttach(HWND list, HWND owner);

// Rows. The list keeps none of its own (an owner-data list): it asks for a row's texts and image
// when it paints the row (ListDispInfo). A row's icons are loaded then (uOvRowIcon), so a fill
// costs no icon look-up at all.
void ListFill(int32_t page);
// Fills from entries a refresh has already looked up; entries not found get no row. With
// `pageLabels` (the search's results, by page number), each row's location starts with its
// page's label.
void ListFill(TPageEntries entries, std::map<int32_t, std::wstring> pageLabels = {});
// The page shown afresh: brought in line with the disk (PageRefresh), its rows filled and sorted
// by `column` in `order`. Returns the name of the first value that is no item (empty for none).
std::wstring ListPageShow(int32_t page, int32_t column, int32_t order);
void ListRowAdd(const std::wstring& name, const std::wstring& path, int32_t page);
// Fills, sorts and clears first end the in-place editor, cancelled: the rows move under it, and
// its text was meant for the row it was opened on.
void ListClear();
// Forgets the rows, the icons, the type texts and the controls: a new main window starts from
// nothing.
void ListStateReset();
// Answers the list's LVN_GETDISPINFO for the row at list position item.iItem: its texts, and its
// image (ListRowImage).
void ListDispInfo(LVITEMW& item);
// The list position of the first row from `start` on (wrapping round with LVFI_WRAP) whose name
// is the text of `find` (LVFI_STRING), or begins with it (LVFI_PARTIAL), letter case aside: the
// list's LVN_ODFINDITEM, which finds a row by its first letters as they are typed. -1 for none.
int ListFindItem(int start, const LVFINDINFOW& find);

// Turns the list's drawing off while rows are filled and sorted, then paints once; nests.
class TListUpdate {
  public:
    TListUpdate();
    ~TListUpdate();
    TListUpdate(const TListUpdate&) = delete;
    TListUpdate& operator=(const TListUpdate&) = delete;
};
// Fills the list with rows given one by one from items whose texts the caller holds already (the
// search's results: the index's items, shared, not copied). The list is emptied when the fill is
// made (room made for `count` rows) and told the rows' count, once, when it ends.
class TListFill {
  public:
    explicit TListFill(size_t count);
    ~TListFill();
    TListFill(const TListFill&) = delete;
    TListFill& operator=(const TListFill&) = delete;
    // The next row in list order. Where every row comes with its name's sort key, the name column
    // sorts by the keys.
    void Add(TItemTextPtr text, const FindRecord& record, int32_t page, TSortKey order = {});
    // Each row's location starts with its page's label, as for ListFill.
    void Labels(std::map<int32_t, std::wstring> pageLabels);
    // The rows' order in the list, by their place among the rows added (every one once), in place
    // of the order they were added in.
    void Order(std::vector<size_t> order);

  private:
    TListUpdate update_;
};
// The list's selection as it tells it (LVN_ITEMCHANGED, one row or with -1 every row, and
// LVN_ODSTATECHANGED, a range): the program keeps it with the rows, so that a sort, a command or
// a menu over 50,000 selected rows asks the list nothing row by row.
void ListItemChanged(const NMLISTVIEW& change);
void ListRangeChanged(const NMLVODSTATECHANGE& change);
void ListSelectedNames(std::vector<std::wstring>& names);
// A row's item, the one place every command learns it from: its caption, the page it is on (the
// page shown, or for a row of the search's results the item's own page) and the path the row
// stands for, as the store held it when the row was made. The page is held by identity, so a row
// kept across a page move or deletion still names its own item's page.
struct TListRow {
    std::wstring name;
    TPageId page;
    std::wstring path;
    // The page's number now; 0 when the page is gone.
    int32_t Page() const { return PageNumberOf(page); }
    bool operator==(const TListRow&) const = default;
};
// The selected rows in list order. From the selection kept with the rows, once two questions to
// the list (its count and its first selected row) show it in step; otherwise asked of the list
// row by row and kept again.
std::vector<TListRow> ListSelectedRows();
// Calls `each` with every selected row's name, page and path in list order, as ListSelectedRows
// would give them, without a copy: a menu over 50,000 selected rows asks what they have in common.
void ListSelectedEach(const std::function<void(const std::wstring& name, TPageId page,
                                               const std::wstring& path)>& each);
// An item as a row shows it, for a selection kept across a fill: its page and its name.
using TRowItem = std::pair<TPageId, std::wstring>;
// The selected rows' items and the focused row's (none: an empty name).
void ListSelectionNote(std::set<TRowItem>& selected, TRowItem& focused);
// Selects the rows of those items and focuses the focused one's, where they are now: a list filled
// again keeps what the user selected in it.
void ListSelectionRestore(const std::set<TRowItem>& selected, const TRowItem& focused);
// The row at list position `item`; an empty row (page 0) when there is none.
TListRow ListRowOf(int item);
// The rows of these items show dimmed (marked to be moved) until the next call; an empty list
// drops the mark.
void ListMarkSet(const std::vector<TListRow>& rows);
// The list position of the row at (x, y) in the list's coordinates; -1 over no row.
int ListItemAt(int x, int y);
// The row of the item `oldName` on `page` shows `newName` from now on, and sorts by it.
void ListRowRenamed(TPageId page, const std::wstring& oldName, const std::wstring& newName);
// Ends the list's in-place editor, if open, as Escape would: nothing is renamed.
void ListEditCancel();

// Columns, sorting and view styles. The stored widths are at 96 DPI, so a tree reads the same at
// every display scale; `dpi` is the window's.
void ColumnWidthsLoad(int dpi);
int ColumnWidth(HWND list, int column);
void ColumnWidthSet(HWND list, int column, int width);
void ColumnWidthsSave(int dpi);
void ViewStyleSet(int32_t style);
// Sorts by `column` (0 to 4; any other leaves the rows as they are), each comparison multiplied
// by `order` (1 ascending, -1 descending).
void ListSort(int32_t column, int32_t order);
int SortCompareName(LPARAM a, LPARAM b);
int SortCompareColumn(LPARAM a, LPARAM b, int column);
