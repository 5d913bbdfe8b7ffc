// Backup and restore: the whole product tree written to a registry editor's file, and such a file
// read back, checked, and either put in the tree's place (safe against a kill at any moment) or
// its pages appended after the pages there are.
#pragma once

#include "uCmnRegFile.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The largest file an import reads: far beyond any tree of pages a user builds.
inline constexpr size_t OvImportMost = size_t{64} << 20;

struct TImportPage {
    std::wstring folder;
    std::wstring name;
    // Items in file order: display name, path.
    std::vector<std::pair<std::wstring, std::wstring>> items;
};

// What a file to import holds, checked: its keys below the product key (paths from it, "" for
// the product key itself), its pages and how many settings it has.
struct TImport {
    std::vector<TRegFileKey> keys;
    std::vector<TImportPage> pages;
    size_t settings = 0;
    size_t items = 0;
};

// Reads a file's bytes and checks them: only keys under the product key, pages numbered densely
// from 1, every value of a page a string, a page's name a string of at most 64 characters, every
// known setting of its type. Raises ERegFileError saying what is wrong and on which line; reads
// nothing of the store.
TImport ImportRead(const std::vector<BYTE>& bytes);
// The product tree as a registry editor's file.
std::vector<BYTE> ExportBytes();

// The tree becomes the file's. The file's tree is first written beside the product key, then put
// in its place; a kill at any moment leaves the old tree whole or, after ImportFinish, the new.
void ImportReplace(const TImport& import);
// The file's pages appended after the existing ones, with their folders, items and names (a name
// another page has gets a number); the settings stay. Returns the number of pages appended.
int32_t ImportAppend(const TImport& import);
// Run at the start before anything reads the tree: an import cut short before its tree was whole
// is forgotten, one cut short after is finished.
void ImportFinish();
