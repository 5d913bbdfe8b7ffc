// The search's index of every page's items.
#include "uOvIndex.h"

#include "uCmnMatch.h"

#include <unordered_map>

void TItemIndex::Build() {
    pages_.clear();
    built_ = true;
    recount_ = true;
    Fresh();
}

void TItemIndex::Clear() {
    pages_.clear();
    built_ = false;
    recount_ = false;
}

void TItemIndex::PageChanged(int32_t page) {
    if (!built_ || page < 1)
        return;
    // A page created beyond the last one the index knows brings the pages before it along.
    if (static_cast<size_t>(page) > pages_.size())
        pages_.resize(static_cast<size_t>(page));
    pages_[static_cast<size_t>(page - 1)].stale = true;
}

void TItemIndex::PageRemoved(int32_t page) {
    if (built_ && page >= 1 && static_cast<size_t>(page) <= pages_.size())
        pages_.erase(pages_.begin() + (page - 1));
}

void TItemIndex::PagesChanged() {
    if (built_)
        recount_ = true;
}

void TItemIndex::Fresh() {
    if (!built_)
        return;
    if (recount_) {
        pages_.resize(static_cast<size_t>(::PageCount()));
        for (TIndexPage& page : pages_)
            page.stale = true;
        recount_ = false;
    }
    for (size_t i = 0; i < pages_.size(); ++i)
        if (pages_[i].stale)
            PageRead(pages_[i], static_cast<int32_t>(i + 1));
}

void TItemIndex::PageRead(TIndexPage& page, int32_t number) {
    TPageEntries entries;
    PageItemsRead(number, entries);
    // What the file system answered for an item that kept its name and path still holds: a page
    // read again after one item was added does not look every other one up again.
    std::unordered_map<std::wstring, const TIndexItem*> before;
    before.reserve(page.items.size());
    for (const TIndexItem& item : page.items)
        if (item.looked)
            before.emplace(item.name, &item);
    std::vector<TIndexItem> items;
    items.reserve(entries.size());
    for (TPageEntry& entry : entries) {
        TIndexItem& item = items.emplace_back();
        if (auto known = before.find(entry.name);
            known != before.end() && known->second->path == entry.path) {
            item = *known->second;
            continue;
        }
        item.folded = TextFold(entry.name);
        item.name = std::move(entry.name);
        item.path = std::move(entry.path);
    }
    page.items = std::move(items);
    page.stale = false;
}

int32_t TItemIndex::PageCount() {
    Fresh();
    return static_cast<int32_t>(pages_.size());
}

size_t TItemIndex::ItemCount() {
    Fresh();
    size_t count = 0;
    for (const TIndexPage& page : pages_)
        count += page.items.size();
    return count;
}

const std::vector<TIndexItem>& TItemIndex::PageItems(int32_t page) {
    Fresh();
    static const std::vector<TIndexItem> none;
    if (page < 1 || static_cast<size_t>(page) > pages_.size())
        return none;
    return pages_[static_cast<size_t>(page - 1)].items;
}

std::vector<TIndexHit> TItemIndex::Match(const std::wstring& text) {
    Fresh();
    std::vector<TIndexHit> hits;
    const std::wstring part = TextFold(text);
    for (size_t page = 0; page < pages_.size(); ++page) {
        const std::vector<TIndexItem>& items = pages_[page].items;
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
        TIndexItem& item = pages_[static_cast<size_t>(hit.page - 1)].items[hit.item];
        if (!item.looked) {
            item.found = FileRecordGet(item.path, item.record);
            // The row needs the record's figures only; the name is the item's own.
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
