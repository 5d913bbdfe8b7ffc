// The search: Ctrl+F opens a field above the item list, and the list then shows the items of
// every page whose name holds the field's text, from the index (uOvIndex) and never from the
// store. The field, the index and what the search keeps of the page it replaced are its own; the
// window it lives in is reached through the host.
#pragma once

#include "uCmnHandle.h"
#include "uOvHost.h"
#include "uOvIndex.h"
#include "uOvLvw.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TItemSearch {
  public:
    TItemSearch(TMainHost& host, const TMainState& state);
    TItemSearch(const TItemSearch&) = delete;
    TItemSearch& operator=(const TItemSearch&) = delete;

    // The field; null until the search first opens.
    HWND Field() const noexcept { return field_; }
    // Every page's items, read once the window first shows (IndexStart) or when the search first
    // opens; it follows the store from then on.
    TItemIndex& Index() noexcept { return index_; }
    // The index begins to read the store, on its own thread, unless it has begun already.
    void IndexStart();
    // The index's reader has read pages (WM_INDEXREAD): the results shown take them in.
    void IndexRead();
    // The results shown while pages were still to come are shown again (OV_TIMER_RESULTSGROW).
    void ResultsGrow();
    // The results shown are those of part of the pages: the rest is still being read.
    bool Searching() const noexcept { return searching_; }
    // The field is shown.
    bool IsOpen() const noexcept { return open_; }
    // The list shows results, not the page.
    bool ResultsShown() const noexcept { return results_; }
    // The rows found and the pages they are on.
    int32_t FoundItems() const noexcept { return items_; }
    int32_t FoundPages() const noexcept { return pages_; }

    // Opens the field (building the index the first time) and gives it the keyboard, its text
    // selected.
    void Show();
    // Opens the field empty, the page shown again if results were, with the keyboard in it: the
    // hot key's search.
    void ShowEmpty();
    // Closes the field. With `pageBack` the page shown before comes back with its selection;
    // without, the caller shows a page. False when no search was open.
    bool Leave(bool pageBack = true);
    // The field's text changed.
    void TextChanged();
    // Shows the results afresh, after a command changed the store or the files.
    void ShowAgain();
    // Every page read from the store again and every result's file looked up again.
    void IndexReread();
    // The first result, which Enter in the field opens; none while no results are shown.
    std::optional<TListRow> FirstResult() const;
    // The field takes the keyboard with its text selected, so what is typed starts a new search.
    void FieldTake();
    // A key pressed in the field: true when it was one of the field's own keys (OV_SEARCH_KEYS,
    // sent to the window as commands); the others are its editing keys.
    bool FieldKeyTranslate(MSG& msg);
    // Up on the list's first row during a search goes back to the field; true when it did.
    bool UpToField(const MSG& msg);

  private:
    void FieldCreate();
    void IndexEnsure();
    void GrowTimerSet(bool on);
    // The results for `text`; with `keepSelection` (the same text shown again) the rows the user
    // selected among them stay selected.
    void ResultsShow(const std::wstring& text, bool keepSelection);
    // The page shown before the results, with the selection it had.
    void PageBack();

    TMainHost& host_;
    TMainState state_;
    TItemIndex index_;
    HWND field_ = nullptr;
    TUniqueAccel keys_;
    bool open_ = false;
    bool results_ = false;
    bool searching_ = false;
    bool growTimer_ = false;
    // The page's selection when the results took its place.
    std::vector<std::wstring> selected_;
    std::wstring focused_;
    int32_t items_ = 0;
    int32_t pages_ = 0;
};
