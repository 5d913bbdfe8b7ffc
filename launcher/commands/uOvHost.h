// What the main window gives the units that carry out its commands (the item commands, the
// search, the item menu): its run-time state, its controls and the few steps only it takes. The
// window is the one host; these units never reach for it otherwise.
#pragma once

#include "uOvReg.h"

#include <windows.h>

#include <cstdint>
#include <string>

// The window's run-time state that the commands read and change, bound once to the window's own.
struct TMainState {
    // The page shown and the number of pages: the commands that add or remove pages change them.
    int32_t& currentPage;
    int32_t& pageTotal;
    // The column and order the rows are sorted by.
    const int32_t& sortColumn;
    const int32_t& sortOrder;
    // The folder the insert dialog opens in.
    std::wstring& lastOpenDir;
};

class TMainHost {
  public:
    // The window: owner of the boxes and dialogs, parent of the search field.
    virtual HWND Window() const = 0;
    virtual HWND ItemList() const = 0;
    // The interface font at the window's display scale.
    virtual HFONT Font() const = 0;
    // The refresh of the page shown: the store brought in line with the disk, the rows filled
    // and sorted, the status bar worked out.
    virtual void PageShowAgain() = 0;
    // The status bar and the empty list's line worked out anew, for a change of the rows.
    virtual void StatusRepaint() noexcept = 0;
    // The controls placed again, for the search field that came or went.
    virtual void LayoutControls() = 0;
    // The keyboard to the list; with `rowToo`, a row focused and selected too (the one focused
    // before, else the first).
    virtual void ItemListFocus(bool rowToo) = 0;
    // Focuses and selects the row (the last one when there are fewer) and scrolls it into view.
    virtual void ItemRowPick(int row) = 0;
    // A menu of the window is open: the entry chosen acts on the rows selected under it, which
    // stay as they are until it closes.
    virtual bool MenuOpen() const = 0;
    // `page`, a folder page just bound to `folder` and shown empty, listed on a thread of its
    // own; its rows show the listing when it is done, and its items are written into the store in
    // slices of the window's idle time (uOvFill).
    virtual void PageFillStart(int32_t page, const std::wstring& folder) = 0;

  protected:
    ~TMainHost() = default;
};
