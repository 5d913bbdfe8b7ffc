// Pages and their items in the settings tree.
#include "uOvReg.h"

#include "uCmnFile.h"
#include "uCmnReg.h"
#include "uCmnRegStore.h"
#include "uOvRegDef.h"

#include <windows.h>

#include <unordered_map>
#include <unordered_set>

namespace {

const HKEY Root = HKEY_CURRENT_USER;

// Blanks and control characters; Shift-JIS bytes from 0x80 up are text, never blanks.
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

bool IsBlankOnly(const std::string& text) {
    for (char c : text)
        if (!IsBlank(c))
            return false;
    return true;
}

} // namespace

std::string PageKeyPath(int32_t page) {
    return std::string(OvKeyPagePrefix) + std::to_string(page);
}

int32_t PageCount() {
    return RegSubKeyCount(Root, OvKeyData);
}

bool PageCreate(int32_t page, const std::string& folderPath) {
    const std::string key = PageKeyPath(page);
    RegKeyCreate(Root, key);
    RegStrWrite(Root, key, OvValFolderPath, folderPath);
    return true;
}

std::string PageFolderRead(int32_t page) {
    return RegStrRead(Root, PageKeyPath(page), OvValFolderPath);
}

void PageItemNames(int32_t page, std::vector<std::string>& names) {
    RegValueNames(Root, PageKeyPath(page), names);
}

int32_t PageItemCount(int32_t page) {
    return RegValueCount(Root, PageKeyPath(page)) - 1;
}

std::string ItemPathRead(int32_t page, const std::string& name) {
    return RegStrRead(Root, PageKeyPath(page), name);
}

std::string ItemName(const std::string& path) {
    return FileDisplayName(PathName(path));
}

bool ItemAdd(int32_t page, const std::string& path) {
    const std::string name = ItemName(path);
    const std::string key = PageKeyPath(page);
    // The empty name is the page's folder binding, whether or not the key exists yet.
    if (name.empty() || RegValueExists(Root, key, name))
        return false;
    RegStrWrite(Root, key, name, path);
    return true;
}

void ItemRemove(int32_t page, const std::string& name) {
    // The empty name would delete the folder binding and leave a page without its first value.
    if (name.empty())
        return;
    RegValueDelete(Root, PageKeyPath(page), name);
}

bool ItemRename(int32_t page, const std::string& oldName, const std::string& newText) {
    const std::string key = PageKeyPath(page);
    if (IsBlankOnly(newText) || oldName.empty() || RegValueExists(Root, key, newText))
        return false;
    RegValueRename(Root, key, oldName, newText);
    // RegValueRename does nothing when the old item is gone; the caption must not claim a rename
    // that did not happen.
    return RegValueExists(Root, key, newText);
}

namespace {

// Hands each item of the page to `visit` in store order, the default value left out, from one
// pass over the page key. An item that is not a string raises the type error in its turn, after
// the items before it.
template <typename TVisit> void PageItemsEach(int32_t page, TVisit visit) {
    std::vector<TRegStrValue> values;
    RegStrValuesRead(Root, PageKeyPath(page), values);
    for (TRegStrValue& value : values) {
        if (value.name.empty())
            continue;
        if (!value.isString)
            ItemPathRead(page, value.name);
        TPageEntry entry;
        entry.name = std::move(value.name);
        entry.path = std::move(value.text);
        visit(std::move(entry));
    }
}

} // namespace

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
// both the decision and the row.
void OrdinaryPageRefresh(int32_t page, TPageEntries& entries) {
    entries.clear();
    PageItemsEach(page, [&](TPageEntry&& item) {
        item.found = FileRecordGet(item.path, item.record);
        if (!item.found || (item.record.Attr & FILE_ATTRIBUTE_DIRECTORY))
            ItemRemove(page, item.name);
        else
            entries.push_back(std::move(item));
    });
}

// The items a folder's listing makes, as ItemAdd would make them one by one: each entry under its
// display name, the first listed of two that share a name.
TPageEntries FolderItems(const std::string& folder, std::vector<FindRecord>& listing) {
    TPageEntries items;
    items.reserve(listing.size());
    std::unordered_set<std::string> taken;
    for (FindRecord& record : listing) {
        std::string name = FileDisplayName(record.Name);
        if (name.empty() || !taken.insert(RegNameFold(name)).second)
            continue;
        TPageEntry& item = items.emplace_back();
        item.name = std::move(name);
        item.path = folder + "\\" + record.Name;
        item.record = std::move(record);
        item.found = true;
    }
    return items;
}

// Brings the page key's items in line with `items` without ever removing the key or its folder
// binding: values that are no longer wanted are deleted, changed paths rewritten, new items
// added in listing order. An unchanged page is not written to at all, and a refresh cut short
// leaves a bound page that the next one completes.
void PageItemsSync(int32_t page, TPageEntries& items) {
    const std::string key = PageKeyPath(page);
    std::vector<TRegStrValue> stored;
    RegStrValuesRead(Root, key, stored);
    std::unordered_map<std::string, size_t> wanted;
    wanted.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        wanted.emplace(RegNameFold(items[i].name), i);
    std::vector<bool> present(items.size(), false);
    for (const TRegStrValue& value : stored) {
        if (value.name.empty())
            continue;
        const auto match = wanted.find(RegNameFold(value.name));
        // A name that now differs in letter case is written anew: the store keeps the spelling a
        // value was created with.
        if (match == wanted.end() || items[match->second].name != value.name) {
            RegValueDelete(Root, key, value.name);
            continue;
        }
        const TPageEntry& item = items[match->second];
        if (!value.isString || value.text != item.path)
            RegStrWrite(Root, key, item.name, item.path);
        present[match->second] = true;
    }
    TPageEntries kept;
    kept.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        if (present[i] || ItemAdd(page, items[i].path))
            kept.push_back(std::move(items[i]));
    items = std::move(kept);
}

} // namespace

void PageRefresh(int32_t page, TPageEntries& entries) {
    std::string folder = PageFolderRead(page);
    if (folder.empty()) {
        OrdinaryPageRefresh(page, entries);
        return;
    }
    std::vector<FindRecord> listing;
    FolderRecords(folder, "*", listing);
    const bool bound = FolderPresent(folder);
    entries.clear();
    if (bound)
        entries = FolderItems(folder, listing);
    // A vanished folder leaves an empty ordinary page: its items go first, its binding last.
    PageItemsSync(page, entries);
    if (!bound)
        PageCreate(page, "");
}

void PageRefresh(int32_t page) {
    TPageEntries entries;
    PageRefresh(page, entries);
}

void PageFolderAdd(int32_t page, const std::string& folderPath,
                   const std::vector<std::string>& listing) {
    PageCreate(page, folderPath);
    for (const std::string& entry : listing)
        ItemAdd(page, entry);
}

void PageRemove(int32_t page, int32_t pageTotal) {
    RegKeyDelete(Root, PageKeyPath(page));
    for (int32_t k = page; k < pageTotal; ++k)
        RegKeyMove(Root, PageKeyPath(k + 1), PageKeyPath(k));
}

void PageClear(int32_t page) {
    RegKeyDelete(Root, PageKeyPath(page));
    PageCreate(page, "");
}
