// Pages and their items in the settings tree.
#include "uOvReg.h"

#include "uCmnFile.h"
#include "uCmnReg.h"
#include "uOvRegDef.h"

#include <windows.h>

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

void PageRefresh(int32_t page) {
    std::string folder = PageFolderRead(page);
    if (!folder.empty()) {
        std::vector<std::string> listing;
        FolderList(folder, "*", listing);
        RegKeyDelete(Root, PageKeyPath(page));
        if (!FolderPresent(folder))
            folder.clear();
        PageFolderAdd(page, folder, listing);
        return;
    }
    std::vector<std::string> names;
    PageItemNames(page, names);
    for (const std::string& name : names) {
        // The default value is the first entry of a well-formed page; skipping it by its empty
        // name rather than by position gives the same result there, and on a page whose first
        // value is an item that item is still examined and the folder binding never removed.
        if (name.empty())
            continue;
        if (!FilePresent(ItemPathRead(page, name)))
            ItemRemove(page, name);
    }
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
