// The item list: rows built from a page's items, columns, sorting and view styles.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "uCmnIcon.h"
#include "uOvReg.h"
#include "uOvRowText.h"

#include <windows.h>
#include <commctrl.h>

// Rows. The list keeps none of its own (an owner-data list): it asks for a row's texts and image
// when it paints the row (ListDispInfo). A row's icons are loaded then (ListRowImage, then
// ListIconsLoad in idle time), so a fill costs no icon look-up at all.
void ListFill(int32_t page);
// Fills from entries a refresh has already looked up; entries not found get no row.
void ListFill(const TPageEntries& entries);
void ListRowAdd(const std::wstring& name, const std::wstring& path, int32_t page);
// Fills, sorts and clears first end the in-place editor, cancelled: the rows move under it, and
// its text was meant for the row it was opened on.
void ListClear();
// Empties both image lists; the rows shown ask for their icons again.
void ListImagesReset();
// Forgets the rows, the icons and the type texts: a new main window starts from nothing.
void ListStateReset();
// The sizes the rows' icons are taken at, those of the item image lists, which it empties (call
// it with the new lists in place): the rows ask for their icons again.
void ListIconSizesSet(const TIconSizes& sizes);
// Answers the list's LVN_GETDISPINFO for the row at list position item.iItem: its texts, and its
// image (ListRowImage).
void ListDispInfo(LVITEMW& item);
// The image position of the row at list position `item`. A row whose icons are not loaded yet
// shows none and is put in line for ListIconsLoad: no file is touched here.
int ListRowImage(int item);
// The list position of the first row from `start` on (wrapping round with LVFI_WRAP) whose name
// is the text of `find` (LVFI_STRING), or begins with it (LVFI_PARTIAL), letter case aside: the
// list's LVN_ODFINDITEM, which finds a row by its first letters as they are typed. -1 for none.
int ListFindItem(int start, const LVFINDINFOW& find);
// Loads the icons of the rows in line, newest first, for about `budgetMs` milliseconds, and
// redraws each row; a row no longer on screen is passed over until it is painted again. True
// while rows are still waiting. An icon that cannot be read (a damaged shortcut) leaves its row
// blank and is reported once per fill.
bool ListIconsLoad(int budgetMs = 20);

// The small icon of the file at `path` at the rows' size, as a row of it shows it: icons that
// files share are looked up once for the window's life. Null for none; it lives as long as `own`
// and the list's icons do. Raises as FileIconsGet.
HICON ListIconSmall(const std::wstring& path, TIconPair& own);

// A fully transparent icon of size x size pixels, kept for the program's life: it stands in where a
// file yields only one of its two icons, so both image lists stay parallel.
HICON BlankIcon(int size);

// Turns the list's drawing off while rows are filled and sorted, then paints once; nests.
class TListUpdate {
  public:
    TListUpdate();
    ~TListUpdate();
    TListUpdate(const TListUpdate&) = delete;
    TListUpdate& operator=(const TListUpdate&) = delete;
};
void ListSelectedNames(std::vector<std::wstring>& names);
// A row's item, the one place every command learns it from: its caption, the page it is on (the
// page shown, or for a row of the search's results the item's own page) and the path the row
// stands for, as the store held it when the row was made.
struct TListRow {
    std::wstring name;
    int32_t page = 0;
    std::wstring path;
    bool operator==(const TListRow&) const = default;
};
// The selected rows in list order.
std::vector<TListRow> ListSelectedRows();
// The row at list position `item`; an empty row (page 0) when there is none.
TListRow ListRowOf(int item);
// The list position of the row at (x, y) in the list's coordinates; -1 over no row.
int ListItemAt(int x, int y);
// The row of the item `oldName` on `page` shows `newName` from now on, and sorts by it.
void ListRowRenamed(int32_t page, const std::wstring& oldName, const std::wstring& newName);
// Ends the list's in-place editor, if open, as Escape would: nothing is renamed.
void ListEditCancel();

// Columns, sorting and view styles.
void ColumnWidthsLoad();
int ColumnWidth(HWND list, int column);
void ColumnWidthSet(HWND list, int column, int width);
void ColumnWidthsSave();
void ViewStyleSet(int32_t style);
void ListSort(int32_t column);
int SortCompareName(LPARAM a, LPARAM b);
int SortCompareColumn(LPARAM a, LPARAM b, int column);
