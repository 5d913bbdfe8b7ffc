// The search's index: every page's items in memory, their names folded for matching. It follows
// the store: every page a store operation changes is read from the store again before the index
// is next used, and nothing else feeds it.
#pragma once

#include "uCmnFile.h"
#include "uOvReg.h"

#include <cstdint>
#include <string>
#include <vector>

// One item of the index: what the store holds, the name folded once (TextFold), and what the
// file system last answered for the path.
struct TIndexItem {
    std::wstring name;
    std::wstring path;
    std::wstring folded;
    FindRecord record;
    bool found = false;
    // The path has been looked up (by a search that showed it).
    bool looked = false;
};

// A match: the item's page and its position among that page's items.
struct TIndexHit {
    int32_t page = 0;
    size_t item = 0;
};

// Pages are counted from 1. Until it is built the index holds nothing and hears nothing, so it
// costs nothing while no search was ever opened.
class TItemIndex : private TPageStoreListener {
  public:
    TItemIndex() = default;

    bool Built() const noexcept { return built_; }
    // Reads every page of the store afresh, one pass over each page key; every path is looked up
    // again when a search next shows it.
    void Build();
    // Forgets everything; nothing is heard until the next Build.
    void Clear();

    // The pages as the store holds them now.
    int32_t PageCount();
    size_t ItemCount();
    // The page's items in store order.
    const std::vector<TIndexItem>& PageItems(int32_t page);
    const TIndexItem& Item(const TIndexHit& hit) const {
        return pages_[static_cast<size_t>(hit.page - 1)].items[hit.item];
    }

    // The items whose name contains `text` (TextFold on both sides), page by page in store
    // order.
    std::vector<TIndexHit> Match(const std::wstring& text);
    // The hits as rows for the list: each path looked up the first time, each entry carrying its
    // page.
    TPageEntries Entries(const std::vector<TIndexHit>& hits);

  private:
    struct TIndexPage {
        std::vector<TIndexItem> items;
        // Changed in the store since it was read.
        bool stale = true;
    };

    void PageChanged(int32_t page) override;
    void PageRemoved(int32_t page) override;
    void PagesChanged() override;
    // Reads the pages the store changed; with `recount_`, the number of pages too.
    void Fresh();
    void PageRead(TIndexPage& page, int32_t number);

    std::vector<TIndexPage> pages_;
    bool built_ = false;
    bool recount_ = false;
};
