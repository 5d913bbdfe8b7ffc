// Pages and their items in the settings tree.
#include "uOvReg.h"

#include "uCmnError.h"
#include "uCmnFile.h"
#include "uCmnReg.h"
#include "uCmnRegDef.h"
#include "uCmnRegStore.h"
#include "uCmnStr.h"
#include "uOvRegDef.h"

#include <windows.h>

#include <algorithm>
#include <climits>

#include <unordered_map>
#include <unordered_set>

namespace {

const HKEY Root = HKEY_CURRENT_USER;

bool IsBlankOnly(const std::wstring& text) {
    for (wchar_t c : text)
        if (!IsBlank(c))
            return false;
    return true;
}

std::vector<TPageStoreListener*>& Listeners() {
    static std::vector<TPageStoreListener*> listeners;
    return listeners;
}

// Every listener told of what a write did; `tell` is called once per listener.
template <typename TTell> void Tell(TTell tell) {
    for (TPageStoreListener* listener : Listeners())
        tell(*listener);
}

} // namespace

void PageChangedTell(int32_t page) {
    Tell([&](TPageStoreListener& listener) { listener.PageChanged(page); });
}

void PagesChangedTell() {
    PageIdsEnd();
    Tell([](TPageStoreListener& listener) { listener.PagesChanged(); });
}

TPageStoreListener::TPageStoreListener() {
    Listeners().push_back(this);
}

TPageStoreListener::~TPageStoreListener() {
    std::erase(Listeners(), this);
}

std::wstring PageKeyPath(int32_t page) {
    return std::wstring(OvKeyPagePrefix) + std::to_wstring(page);
}

namespace {

// The page numbers among the Data key's subkeys, in increasing order.
std::vector<int32_t> PageNumbers() {
    std::vector<std::wstring> names;
    RegSubKeyNames(Root, OvKeyData, names);
    std::vector<int32_t> pages;
    for (const std::wstring& name : names)
        if (int32_t page = 0; PageNumberParse(name, page))
            pages.push_back(page);
    std::sort(pages.begin(), pages.end());
    return pages;
}

bool LastPageIs(int32_t page) {
    const std::vector<int32_t> pages = PageNumbers();
    return !pages.empty() && pages.back() == page;
}

} // namespace

bool PageNumberParse(const std::wstring& name, int32_t& page) {
    if (name.empty() || name.size() > 10 || name[0] == L'0')
        return false;
    int64_t n = 0;
    for (wchar_t c : name) {
        if (c < L'0' || c > L'9')
            return false;
        n = n * 10 + (c - L'0');
    }
    if (n > INT32_MAX)
        return false;
    page = static_cast<int32_t>(n);
    return true;
}

int32_t PageCount() {
    return static_cast<int32_t>(PageNumbers().size());
}

bool PageCreate(int32_t page, const std::wstring& folderPath) {
    const std::wstring key = PageKeyPath(page);
    RegKeyCreate(Root, key);
    RegStrWrite(Root, key, OvValFolderPath, folderPath);
    PageChangedTell(page);
    return true;
}

std::wstring PageFolderRead(int32_t page) {
    return RegStrRead(Root, PageKeyPath(page), OvValFolderPath);
}

void PageItemNames(int32_t page, std::vector<std::wstring>& names) {
    RegValueNames(Root, PageKeyPath(page), names);
}

std::wstring ItemPathRead(int32_t page, const std::wstring& name) {
    return RegStrRead(Root, PageKeyPath(page), name);
}

TItemTextPtr ItemTextMake(std::wstring name, std::wstring path) {
    std::wstring extension = PathExtensionKey(path);
    return std::make_shared<const TItemText>(
        TItemText{std::move(extension), std::move(name), std::move(path)});
}

std::wstring ItemName(const std::wstring& path) {
    return FileDisplayName(PathName(path));
}

bool ItemAdd(int32_t page, const std::wstring& path) {
    const std::wstring name = ItemName(path);
    const std::wstring key = PageKeyPath(page);
    // The empty name is the page's folder binding, whether or not the key exists yet.
    if (name.empty() || RegValueExists(Root, key, name))
        return false;
    RegStrWrite(Root, key, name, path);
    PageChangedTell(page);
    return true;
}

void ItemRemove(int32_t page, const std::wstring& name) {
    // The empty name would delete the folder binding and leave a page without its first value.
    if (name.empty())
        return;
    RegValueDelete(Root, PageKeyPath(page), name);
    PageChangedTell(page);
}

bool ItemRename(int32_t page, const std::wstring& oldName, const std::wstring& newText) {
    const std::wstring key = PageKeyPath(page);
    if (IsBlankOnly(newText) || oldName.empty() || RegValueExists(Root, key, newText))
        return false;
    RegValueRename(Root, key, oldName, newText);
    PageChangedTell(page);
    // RegValueRename does nothing when the old item is gone; the caption must not claim a rename
    // that did not happen.
    return RegValueExists(Root, key, newText);
}

namespace {

// A value that is not a string is no item and is left as it is; the first one's name is kept in
// `odd`, to be told.
bool OddValueNoted(const TRegStrValue& value, std::wstring& odd) {
    if (value.isString)
        return false;
    if (odd.empty())
        odd = value.name;
    return true;
}

// Hands each item of the page to `visit` in store order, the default value left out, from one
// pass over the page key. Returns the name of the first value that is not a string: no item, and
// left as it is.
template <typename TVisit> std::wstring PageItemsEach(int32_t page, TVisit visit) {
    std::vector<TRegStrValue> values;
    RegStrValuesRead(Root, PageKeyPath(page), values);
    std::wstring odd;
    for (TRegStrValue& value : values) {
        if (value.name.empty() || OddValueNoted(value, odd))
            continue;
        TPageEntry entry;
        entry.name = std::move(value.name);
        entry.path = std::move(value.text);
        entry.page = page;
        visit(std::move(entry));
    }
    return odd;
}

} // namespace

int32_t PageItemCount(int32_t page) {
    // A page key without its folder value (written by another program) has none to take off the
    // count. Two look-ups whatever the page's size: the status bar asks after every change.
    const std::wstring key = PageKeyPath(page);
    const int32_t values = RegValueCount(Root, key);
    return std::max(values - (RegValueExists(Root, key, OvValFolderPath) ? 1 : 0), 0);
}

void PageItemsRead(int32_t page, TPageEntries& entries) {
    entries.clear();
    PageItemsEach(page, [&](TPageEntry&& entry) { entries.push_back(std::move(entry)); });
}

void PageEntriesFind(TPageEntries& entries) {
    for (TPageEntry& entry : entries)
        entry.found = FileRecordGet(entry.path, entry.record);
}

namespace {

// The ordinary page keeps the items whose path is an existing file. One look-up per item serves
// both the decision and the row. What cannot be reached is not gone: an item on a drive or share
// that does not answer, below a folder link whose target is missing or below a folder that
// cannot be read stays, without a row.
std::wstring OrdinaryPageRefresh(int32_t page, TPageEntries& entries) {
    entries.clear();
    TPathProbe probe;
    return PageItemsEach(page, [&](TPageEntry&& item) {
        const TPathState state = probe.Get(item.path, item.record);
        item.found = state == TPathState::Present;
        if (item.found && !(item.record.Attr & FILE_ATTRIBUTE_DIRECTORY)) {
            entries.push_back(std::move(item));
            return;
        }
        // A folder is no file.
        if (state != TPathState::Unknown)
            ItemRemove(page, item.name);
    });
}

// The items a folder's listing makes, as ItemAdd would make them one by one: each entry under its
// display name, the first listed of two that share a name.
TPageEntries FolderItems(int32_t page, const std::wstring& folder,
                         std::vector<FindRecord>& listing) {
    TPageEntries items;
    items.reserve(listing.size());
    std::unordered_set<std::wstring> taken;
    for (FindRecord& record : listing) {
        std::wstring name = FileDisplayName(record.Name);
        if (name.empty() || !taken.insert(RegNameFold(name)).second)
            continue;
        TPageEntry& item = items.emplace_back();
        item.name = std::move(name);
        item.path = folder + L"\\" + record.Name;
        item.record = std::move(record);
        item.found = true;
        item.page = page;
    }
    return items;
}

// Brings the page key's items in line with `items` without ever removing the key or its folder
// binding: values that are no longer wanted are deleted, changed paths rewritten, new items
// added in listing order. An unchanged page is not written to at all, and a refresh cut short
// leaves a bound page that the next one completes. A value that is not a string is left as it
// is, and holds its name against an entry of the folder; the first one's name is returned.
std::wstring PageItemsSync(int32_t page, TPageEntries& items) {
    const std::wstring key = PageKeyPath(page);
    std::vector<TRegStrValue> stored;
    RegStrValuesRead(Root, key, stored);
    std::unordered_map<std::wstring, size_t> wanted;
    wanted.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        wanted.emplace(RegNameFold(items[i].name), i);
    std::vector<bool> present(items.size(), false);
    std::wstring odd;
    bool written = false;
    for (const TRegStrValue& value : stored) {
        if (value.name.empty() || OddValueNoted(value, odd))
            continue;
        const auto match = wanted.find(RegNameFold(value.name));
        // A name that now differs in letter case is written anew: the store keeps the spelling a
        // value was created with.
        if (match == wanted.end() || items[match->second].name != value.name) {
            RegValueDelete(Root, key, value.name);
            written = true;
            continue;
        }
        const TPageEntry& item = items[match->second];
        if (value.text != item.path) {
            RegStrWrite(Root, key, item.name, item.path);
            written = true;
        }
        present[match->second] = true;
    }
    if (written)
        PageChangedTell(page);
    TPageEntries kept;
    kept.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        if (present[i] || ItemAdd(page, items[i].path))
            kept.push_back(std::move(items[i]));
    items = std::move(kept);
    return odd;
}

} // namespace

std::wstring PageRefresh(int32_t page, TPageEntries& entries) {
    std::wstring folder = PageFolderRead(page);
    if (folder.empty())
        return OrdinaryPageRefresh(page, entries);
    std::vector<FindRecord> listing;
    entries.clear();
    // Only a folder that is gone for certain unbinds its page. One that cannot be listed (a dead
    // folder link, a denied folder, a drive or share that does not answer) leaves the page as it
    // is; one that is there follows its listing, also when its parent denies listing it.
    const TPathState state = TPathProbe().Listed(folder, listing);
    if (state == TPathState::Unknown)
        return {};
    const bool bound = state == TPathState::Present;
    if (bound)
        entries = FolderItems(page, folder, listing);
    // A vanished folder leaves an empty ordinary page: its items go first, its binding last.
    std::wstring odd = PageItemsSync(page, entries);
    if (!bound)
        PageCreate(page, L"");
    return odd;
}

void PageRefresh(int32_t page) {
    TPageEntries entries;
    PageRefresh(page, entries);
}

TPageEntries PageFolderItems(int32_t page, const std::wstring& folder) {
    std::vector<FindRecord> listing;
    TPathProbe().Listed(folder, listing);
    return FolderItems(page, folder, listing);
}

void PageFolderAdd(int32_t page, const std::wstring& folderPath,
                   const std::vector<std::wstring>& listing) {
    PageCreate(page, folderPath);
    for (const std::wstring& entry : listing)
        ItemAdd(page, entry);
}

namespace {

std::wstring MoveJournal(int32_t from, int32_t to, int phase) {
    return std::to_wstring(from) + L"," + std::to_wstring(to) + L"," + std::to_wstring(phase);
}

void PageKeyDelete(int32_t page) {
    const std::wstring key = PageKeyPath(page);
    if (RegKeyExists(Root, key) && !RegKeyDelete(Root, key))
        throw ERegError(FormatMessageText(CmnRegErrKeyDelete, key));
}

// Finishes the page move a journal names, provided it is one this program makes (a later page
// down to an earlier number, or a page up to the number past the last, phase 1 or 2) and the
// pages hold what such a move leaves: phase 1 drops a target that holds only values of the source
// (a partial copy), phase 2 a source whose every value the target holds (a whole copy). Any other
// journal goes, and nothing with it: two pages the user filled alike are never taken for a move.
void PageMoveFinish() {
    if (!RegValueExists(Root, OvKeyData, OvValPageMove))
        return;
    const std::vector<std::wstring> parts =
        CommaTextSplit(RegStrRead(Root, OvKeyData, OvValPageMove));
    int32_t from = 0, to = 0;
    if (parts.size() == 3 && PageNumberParse(parts[0], from) && PageNumberParse(parts[1], to) &&
        (from > to || (from < to && LastPageIs(to)))) {
        const std::wstring source = PageKeyPath(from), target = PageKeyPath(to);
        if (parts[2] == L"1" && RegTreeWithin(Root, target, source))
            PageKeyDelete(to);
        else if (parts[2] == L"2" && RegTreeWithin(Root, source, target))
            PageKeyDelete(from);
    }
    RegValueDelete(Root, OvKeyData, OvValPageMove);
}

// Moves page `from` to the free number `to`, journaled in the Data key: a move cut short at any
// moment leaves either a whole source with a partial target (phase 1) or a whole target with a
// partly removed source (phase 2), and PagesRepair knows which. A move that fails is finished or
// undone at once, so its journal never outlives the session for pages edited meanwhile.
void PageMove(int32_t from, int32_t to) {
    try {
        RegStrWrite(Root, OvKeyData, OvValPageMove, MoveJournal(from, to, 1));
        if (RegKeyCopy(Root, PageKeyPath(from), PageKeyPath(to))) {
            RegStrWrite(Root, OvKeyData, OvValPageMove, MoveJournal(from, to, 2));
            PageKeyDelete(from);
        }
        RegValueDelete(Root, OvKeyData, OvValPageMove);
    } catch (...) {
        // The first error is the one to report; a journal the store keeps is a true one.
        try {
            PageMoveFinish();
        } catch (...) {
        }
        throw;
    }
}

// After a page move that failed part-way: the gap it leaves is closed when the store allows, and
// every listener reads the pages again. The first error is the one the caller reports.
void RepairAfterFailedMoves() noexcept {
    try {
        PagesRepair();
    } catch (...) {
    }
    PagesChangedTell();
}

} // namespace

void PageRemove(int32_t page, int32_t pageTotal) {
    PageKeyDelete(page);
    try {
        for (int32_t k = page; k < pageTotal; ++k)
            PageMove(k + 1, k);
    } catch (...) {
        RepairAfterFailedMoves();
        throw;
    }
    PageIdsRemoved(page);
    Tell([&](TPageStoreListener& listener) { listener.PageRemoved(page); });
}

void PagesRepair() {
    bool changed = RegValueExists(Root, OvKeyData, OvValPageMove);
    PageMoveFinish();
    const std::vector<int32_t> pages = PageNumbers();
    // In increasing order each page moves down into a number that is free by then.
    for (size_t i = 0; i < pages.size(); ++i) {
        if (pages[i] != static_cast<int32_t>(i) + 1) {
            PageMove(pages[i], static_cast<int32_t>(i) + 1);
            changed = true;
        }
    }
    // Every page is created with its folder value right after its key, and only ever as the last
    // page: a last page key without any value is a creation cut short between the two (a folder
    // page killed at its birth), which did not happen.
    auto count = static_cast<int32_t>(pages.size());
    if (count > 0) {
        const std::wstring last = PageKeyPath(count);
        if (RegValueCount(Root, last) == 0 && RegSubKeyCount(Root, last) == 0) {
            PageKeyDelete(count--);
            changed = true;
        }
    }
    if (count == 0)
        PageCreate(1, L"");
    if (changed)
        PagesChangedTell();
}

void PageClear(int32_t page) {
    // A key that cannot be deleted would keep its items under a page reported as cleared.
    PageKeyDelete(page);
    PageCreate(page, L"");
}

void PageSwap(int32_t page, int32_t pageTotal) {
    const int32_t spare = pageTotal + 1;
    try {
        PageMove(page, spare);
        PageMove(page + 1, page);
        PageMove(spare, page + 1);
    } catch (...) {
        RepairAfterFailedMoves();
        throw;
    }
    PageIdsSwapped(page);
    PageChangedTell(page);
    PageChangedTell(page + 1);
}
