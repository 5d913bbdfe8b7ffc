// Pages and their items in the settings tree.
#pragma once

#include "uCmnFile.h"
#include "uCmnMatch.h"
#include "uOvPageId.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A page is the key PageKeyPath(n) (pages counted from 1, dense from 1 to PageCount()). Its
// default value is the folder the page mirrors, empty for an ordinary page; every other value is
// an item: the display name as value name, the full path as data. The store operations refuse
// nothing on a folder page: the commands test PageFolderRead first.

// Hears of every change the operations below make to the pages, once it is made. What follows the
// store (the search's index) listens here and learns from nothing else. A listener is heard from
// its construction to its destruction, on the thread that writes the store.
class TPageStoreListener {
  public:
    TPageStoreListener(const TPageStoreListener&) = delete;
    TPageStoreListener& operator=(const TPageStoreListener&) = delete;

    // Page `page` was created, or its items or folder written.
    virtual void PageChanged(int32_t page) = 0;
    // Page `page` is gone and every later page moved down by one.
    virtual void PageRemoved(int32_t page) = 0;
    // Any page may have changed, and the number of pages with them (a removal that failed
    // part-way, a repair).
    virtual void PagesChanged() = 0;

  protected:
    TPageStoreListener();
    ~TPageStoreListener();
};

// Tells every listener what a store operation did; for the store's own units, once their write is
// made. PagesChangedTell also ends every page's identity (uOvPageId): the store cannot tell which
// page became which.
void PageChangedTell(int32_t page);
void PagesChangedTell();

// Key path of page n: the Data key, "\" and n in decimal.
std::wstring PageKeyPath(int32_t page);
// Number of pages: the subkeys of the Data key named by a page number.
int32_t PageCount();
// A page key's name read as its number: decimal digits without a leading zero, 1 to
// 2147483647. False for any other name, which is no page.
bool PageNumberParse(const std::wstring& name, int32_t& page);

// Creates the page key (an existing one is kept) and sets its folder; always true.
bool PageCreate(int32_t page, const std::wstring& folderPath);
// The page's folder; empty for an ordinary page and for an absent page.
std::wstring PageFolderRead(int32_t page);
// The page's value names in store order: the default value's empty name first, then the items.
void PageItemNames(int32_t page, std::vector<std::wstring>& names);
// The page's values less its folder value (none for an absent page).
int32_t PageItemCount(int32_t page);

// The item's path; empty when there is no such item.
std::wstring ItemPathRead(int32_t page, const std::wstring& name);
// The name an item of this path goes by: its file name, a ".lnk" extension dropped.
std::wstring ItemName(const std::wstring& path);
// Adds the path under its display name; false, writing nothing, when that name is empty or
// already taken (letter case ignored).
bool ItemAdd(int32_t page, const std::wstring& path);
void ItemRemove(int32_t page, const std::wstring& name);
// Renames an item to newText exactly as typed (blanks kept); the item then comes last in store
// order. False, changing nothing, when newText is blank or names an existing value (letter case
// ignored, the item itself included).
bool ItemRename(int32_t page, const std::wstring& oldName, const std::wstring& newText);

// An item's name and path, never changed once made: the search's index and the rows of its
// results share one copy, so a result costs the list no copy of either (a row renamed gets a new
// one).
struct TItemText {
    // The path's extension in capitals (PathExtensionKey): what the item's type is known by,
    // first, beside the count of the record's users that every copy touches.
    std::wstring extension;
    std::wstring name;
    std::wstring path;
};
using TItemTextPtr = std::shared_ptr<const TItemText>;
TItemTextPtr ItemTextMake(std::wstring name, std::wstring path);

// One item of a page and what the file system answers for its path.
struct TPageEntry {
    std::wstring name;
    std::wstring path;
    FindRecord record;
    bool found = false;
    // The page the item is on.
    int32_t page = 0;
    // The name's sort key, where the search's index made one; empty otherwise.
    TSortKey order;
};
using TPageEntries = std::vector<TPageEntry>;

// The page's items in store order with their paths, read in one pass over the page key; the
// default value and values that are not strings (no items, left as they are) are left out. Each
// entry carries the page.
void PageItemsRead(int32_t page, TPageEntries& entries);
// Looks each entry's path up once and keeps its directory entry.
void PageEntriesFind(TPageEntries& entries);

// Folder page: brought in line with the folder's entries, turned into an empty ordinary page
// when the path probe finds the folder Absent, left as it is when it cannot tell. Ordinary page:
// items whose path is no longer an existing file are removed. `entries` receives the items the page
// then holds, each with the directory entry the refresh found for it (folder pages in the folder's
// order, ordinary pages in store order). Values that are not strings are no items and stay as they
// are; the first one's name is returned (empty when there is none). On a folder page such a value
// keeps its name from the folder's entry of that name.
std::wstring PageRefresh(int32_t page, TPageEntries& entries);
void PageRefresh(int32_t page);
// Creates page n bound to the folder and adds each entry of the listing in order.
// The items `folder`'s listing makes for `page`, as its refresh makes them: each entry under its
// display name (the first listed of two that share one), with its directory entry.
TPageEntries PageFolderItems(int32_t page, const std::wstring& folder);
void PageFolderAdd(int32_t page, const std::wstring& folderPath,
                   const std::vector<std::wstring>& listing);
// Deletes page n of pageTotal and moves every later page down by one, items and order intact.
// A page key that cannot be deleted raises before anything moves. Each move is journaled, so a
// removal cut short at any moment leaves a tree that PagesRepair turns into the pages before or
// after the removal. A move that fails raises after it was undone or finished and, as far as the
// store allows, the pages were numbered densely again; no journal is left behind.
void PageRemove(int32_t page, int32_t pageTotal);
// Run at start-up before pages are read: finishes a page move that was cut short, renumbers the
// pages densely in numeric order (items, order and folder bindings travel along) and gives a
// tree without pages page 1. Subkeys of Data that are not page numbers are left alone. A tree
// that needs none of this is not written to.
void PagesRepair();
// Empties page n and drops its folder binding and its name.
void PageClear(int32_t page);
// Swaps page n and page n + 1 of pageTotal (1 <= n < pageTotal), each with its items, folder and
// name, through the free number pageTotal + 1, each of the three moves journaled as a removal's:
// a swap cut short at any moment loses no page and no item. Raises as PageRemove.
void PageSwap(int32_t page, int32_t pageTotal);
