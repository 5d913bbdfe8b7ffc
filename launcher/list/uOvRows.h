// The item list's row records and what the list keeps between fills, shared by the list's own
// units (uOvLvw, uOvRowIcon) and by no one else.
#pragma once

#include "uCmnFile.h"
#include "uCmnIcon.h"
#include "uCmnMatch.h"
#include "uOvReg.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

// What a row shows until its icons are loaded, and for good when its file yields none: no image
// at all, which the list also paints far faster than a transparent one.
inline constexpr int ImageNone = I_IMAGENONE;
// The image of a row whose icons have not been asked for, or are waiting to be loaded: states
// of the row's own, never handed to the list, so neither may be an index or ImageNone.
inline constexpr int ImageUnknown = -1;
inline constexpr int ImageQueued = -3;
static_assert(ImageQueued != ImageNone && ImageUnknown != ImageNone);

// A row's size, date and folder texts, made when the row is first painted or sorted by one of
// them.
struct TRowTexts {
    std::wstring size, date, folder;
};

// A row of the list: the item and what its file's look-up found. The list holds no row of its own
// (an owner-data list): it asks for each text and image when it paints, so a fill costs no
// message per row, and the sort orders these records. A record is small and holds no text of its
// own until painted: a fill of 25,000 results makes no copy of a name.
struct TRowRecord {
    // The item's name and path, shared with where the row came from (the search's index).
    TItemTextPtr text;
    const std::wstring& Name() const noexcept { return text->name; }
    const std::wstring& Path() const noexcept { return text->path; }
    int64_t size = 0;
    uint32_t time = 0;
    // In the list state's type texts, filled when the row is made: a paint reads no registry.
    const std::wstring* type = nullptr;
    std::unique_ptr<TRowTexts> texts;
    // The page the item is on, by identity: a page moved or an earlier page deleted leaves the
    // row pointing at its item.
    TPageId page;
    // The name's sort key, where the row came with one (the search's results).
    TSortKey order;
    int image = ImageUnknown;
    // Position in the list, kept in step by every sort.
    int item = -1;
    // Selected, as the list last told (LVN_ITEMCHANGED, LVN_ODSTATECHANGED).
    bool selected = false;
};

// What the list keeps between fills, for the life of the main window.
struct TListState {
    // The list control, the window that owns it (woken to load icons) and its image lists.
    HWND list = nullptr;
    HWND owner = nullptr;
    HIMAGELIST large = nullptr;
    HIMAGELIST small = nullptr;
    // Every comparison of the sort is multiplied by it.
    int32_t sortOrder = 1;
    // In the order they were filled or added.
    std::vector<TRowRecord> rows;
    // The rows by position in the list.
    std::vector<size_t> order;
    // Rows whose icons the list has asked for, by position in `rows`, newest last.
    std::vector<size_t> wanted;
    // Bumped by every fill, so work begun on an older fill's rows is not finished on new ones.
    unsigned fill = 0;
    TFileIconCache icons;
    // Image-list positions of the shared icons; emptied with the image lists.
    std::map<const TIconPair*, int> typeImages;
    // Type texts by extension, letter case aside; a node never moves, so rows point into it.
    std::unordered_map<std::wstring, std::wstring> typeTexts;
    // The last row's extension and its type text.
    std::wstring lastExtension;
    const std::wstring* lastType = nullptr;
    bool iconErrorShown = false;
    // Every row came with its name's sort key: the name column sorts by them.
    bool keyed = false;
    // The search's results: each page's label ("[2 仕事]"), put before a row's folder.
    std::map<TPageId, std::wstring> pageLabels;
    // Items marked to be moved, by page and name: their rows show dimmed.
    std::set<std::pair<TPageId, std::wstring>> marked;
    int redrawOff = 0;
    // The rows selected, as the list told; while `selectionQuiet`, the list's notices are of the
    // program's own making and already in the rows.
    size_t selectedCount = 0;
    bool selectionQuiet = false;
};

TListState& ListState();
// The record of the row at list position `item`, null when there is none.
TRowRecord* RowAt(int item);

// The list's selection and focus follow their rows through a reordering made while it lives: the
// list itself keeps them by position. The view stays where it was, as after the list's own sort,
// although focusing a row scrolls it into view (Wine). In uOvSelect.
class TSelectionKeep {
  public:
    explicit TSelectionKeep(HWND list);
    ~TSelectionKeep();
    TSelectionKeep(const TSelectionKeep&) = delete;
    TSelectionKeep& operator=(const TSelectionKeep&) = delete;

  private:
    HWND list_;
    int x_, y_;
    const TRowRecord* focused_ = nullptr;
    // The list's places of the fewer of the selected and the unselected rows, before the reorder.
    std::vector<int> before_;
    // Those are the selected rows (else the unselected).
    bool few_ = false;
};
