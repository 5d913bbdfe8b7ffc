// A folder page's items written into the store a slice at a time, so that a folder of thousands
// of files dropped as a new page never holds the window. The page shows its folder's listing
// whole from the start; the store, a mirror of that listing, catches up in slices of the window's
// idle time (a timer). A start cut short is no loss: the page is bound to its folder first, and
// its next refresh writes what is missing, as it does for every folder page.
#pragma once

#include "uOvReg.h"

#include <cstdint>
#include <deque>
#include <string>
#include <utility>

class TPageFill : private TPageStoreListener {
  public:
    TPageFill() = default;

    // The items of `page`, a folder page already bound, to be written: each under its name, as
    // the folder's listing makes them (the first listed of two that share a name).
    void Start(int32_t page, const TPageEntries& items);
    // Writes for about `budgetMs`; true while items remain.
    bool Step(double budgetMs);
    // Writes what remains, at once (the program closing).
    void Finish();
    bool Busy() const noexcept { return !jobs_.empty(); }
    // The items of `page` still to be written.
    size_t Pending(int32_t page) const;

  private:
    struct TJob {
        int32_t page = 0;
        std::deque<std::pair<std::wstring, std::wstring>> items;
    };

    // The pages' numbers follow a removal before them; a page removed, or every page changed
    // (a repair, an import), leaves its items to its next refresh.
    void PageChanged(int32_t) override {}
    void PageRemoved(int32_t page) override;
    void PagesChanged() override { jobs_.clear(); }
    void JobEnd(TJob& job);

    std::deque<TJob> jobs_;
};
