// The search's index: every page's items in memory, their names folded for matching, kept in
// step with the store by the commands that change it.
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
    // The path has been looked up (by a refresh of its page or by a search that showed it).
    bool looked = false;
};

// A match: the item's page and its position among that page's items.
struct TIndexHit {
    int32_t page = 0;
    size_t item = 0;
};

// Pages are counted from 1. Every change of a page that the index has not been told of is a
// change it does not see: the commands tell it what they change. Until it is built it holds
// nothing and every change is ignored, so it costs nothing while no search was ever opened.
class TItemIndex {
  public:
    bool Built() const noexcept { return built_; }
    // Reads pages 1 to pageTotal from the store, one pass over each page key.
    void Build(int32_t pageTotal);
    void Clear();

    // The page's items become `entries` (store order). With `looked`, their `found` and `record`
    // are what a look-up just answered; otherwise each path is looked up when a search first
    // shows it. A page beyond the last one appends pages up to it.
    void PageSet(int32_t page, const TPageEntries& entries, bool looked);
    // The page read again from the store.
    void PageRead(int32_t page);
    // Page `page` is gone and every later page moved down by one.
    void PageRemoved(int32_t page);
    void ItemAdded(int32_t page, const std::wstring& name, const std::wstring& path);
    void ItemRemoved(int32_t page, const std::wstring& name);
    void ItemRenamed(int32_t page, const std::wstring& oldName, const std::wstring& newName);
    // Every path is looked up again when a search next shows it.
    void LookUpsForget();

    int32_t PageCount() const noexcept { return static_cast<int32_t>(pages_.size()); }
    size_t ItemCount() const noexcept;
    const TIndexItem& Item(const TIndexHit& hit) const { return pages_[hit.page - 1][hit.item]; }

    // The items whose name contains `text` (TextFold on both sides), page by page in store
    // order.
    std::vector<TIndexHit> Match(const std::wstring& text) const;
    // The hits as rows for the list: each path looked up the first time, each entry carrying its
    // page.
    TPageEntries Entries(const std::vector<TIndexHit>& hits);

  private:
    std::vector<TIndexItem>* Page(int32_t page);
    // The page's items, the pages up to it made when they are beyond the last; null while the
    // index is not built.
    std::vector<TIndexItem>* PageGrown(int32_t page);

    std::vector<std::vector<TIndexItem>> pages_;
    bool built_ = false;
};
