// The search's index of every page's items.
#include "uOvIndex.h"

#include "uCmnMatch.h"
#include "uCmnRegStore.h"

#include <algorithm>

namespace {

TIndexItem IndexItem(const TPageEntry& entry, bool looked) {
    TIndexItem item;
    item.name = entry.name;
    item.path = entry.path;
    item.folded = TextFold(entry.name);
    if (looked) {
        item.record = entry.record;
        // The row needs the record's figures only; the name is the item's own.
        item.record.Name.clear();
        item.found = entry.found;
        item.looked = true;
    }
    return item;
}

} // namespace

void TItemIndex::Build(int32_t pageTotal) {
    pages_.clear();
    built_ = true;
    for (int32_t page = 1; page <= pageTotal; ++page)
        PageRead(page);
}

void TItemIndex::Clear() {
    pages_.clear();
    built_ = false;
}

std::vector<TIndexItem>* TItemIndex::Page(int32_t page) {
    if (!built_ || page < 1 || page > PageCount())
        return nullptr;
    return &pages_[static_cast<size_t>(page - 1)];
}

std::vector<TIndexItem>* TItemIndex::PageGrown(int32_t page) {
    if (!built_ || page < 1)
        return nullptr;
    if (page > PageCount())
        pages_.resize(static_cast<size_t>(page));
    return &pages_[static_cast<size_t>(page - 1)];
}

void TItemIndex::PageSet(int32_t page, const TPageEntries& entries, bool looked) {
    std::vector<TIndexItem>* grown = PageGrown(page);
    if (!grown)
        return;
    std::vector<TIndexItem>& items = *grown;
    items.clear();
    items.reserve(entries.size());
    for (const TPageEntry& entry : entries)
        items.push_back(IndexItem(entry, looked));
}

void TItemIndex::PageRead(int32_t page) {
    if (!built_)
        return;
    TPageEntries entries;
    PageItemsRead(page, entries);
    PageSet(page, entries, false);
}

void TItemIndex::PageRemoved(int32_t page) {
    if (Page(page))
        pages_.erase(pages_.begin() + (page - 1));
}

void TItemIndex::ItemAdded(int32_t page, const std::wstring& name, const std::wstring& path) {
    std::vector<TIndexItem>* items = PageGrown(page);
    if (!items)
        return;
    TPageEntry entry;
    entry.name = name;
    entry.path = path;
    items->push_back(IndexItem(entry, false));
}

void TItemIndex::ItemRemoved(int32_t page, const std::wstring& name) {
    if (std::vector<TIndexItem>* items = Page(page))
        std::erase_if(*items,
                      [&](const TIndexItem& item) { return RegNameEqual(item.name, name); });
}

void TItemIndex::ItemRenamed(int32_t page, const std::wstring& oldName,
                             const std::wstring& newName) {
    std::vector<TIndexItem>* items = Page(page);
    if (!items)
        return;
    auto found = std::find_if(items->begin(), items->end(), [&](const TIndexItem& item) {
        return RegNameEqual(item.name, oldName);
    });
    if (found == items->end())
        return;
    // A renamed value comes last in the store's order.
    TIndexItem item = std::move(*found);
    items->erase(found);
    item.name = newName;
    item.folded = TextFold(newName);
    items->push_back(std::move(item));
}

void TItemIndex::LookUpsForget() {
    for (std::vector<TIndexItem>& items : pages_)
        for (TIndexItem& item : items)
            item.looked = false;
}

size_t TItemIndex::ItemCount() const noexcept {
    size_t count = 0;
    for (const std::vector<TIndexItem>& items : pages_)
        count += items.size();
    return count;
}

std::vector<TIndexHit> TItemIndex::Match(const std::wstring& text) const {
    std::vector<TIndexHit> hits;
    const std::wstring part = TextFold(text);
    for (size_t page = 0; page < pages_.size(); ++page) {
        const std::vector<TIndexItem>& items = pages_[page];
        for (size_t i = 0; i < items.size(); ++i)
            if (TextFoldedContains(items[i].folded, part))
                hits.push_back({static_cast<int32_t>(page + 1), i});
    }
    return hits;
}

TPageEntries TItemIndex::Entries(const std::vector<TIndexHit>& hits) {
    TPageEntries entries;
    entries.reserve(hits.size());
    for (const TIndexHit& hit : hits) {
        TIndexItem& item = pages_[static_cast<size_t>(hit.page - 1)][hit.item];
        if (!item.looked) {
            item.found = FileRecordGet(item.path, item.record);
            item.record.Name.clear();
            item.looked = true;
        }
        TPageEntry& entry = entries.emplace_back();
        entry.name = item.name;
        entry.path = item.path;
        entry.record = item.record;
        entry.found = item.found;
        entry.page = hit.page;
    }
    return entries;
}
