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
    // Every value of the page key but its folder, in file order, of whatever type: the items
    // (the values the store reads as text) and what other programs put there, kept as it is.
    std::vector<TRegDataValue> values;
    // The keys below the page key (its name's key among them), paths from the page key.
    std::vector<TRegFileKey> below;
    size_t items = 0;
};

// What a file to import holds, checked: its keys below the product key (paths from it, "" for
// the product key itself), its pages and how many settings it has.
struct TImport {
    std::vector<TRegFileKey> keys;
    std::vector<TImportPage> pages;
    size_t settings = 0;
    size_t items = 0;
};

// Reads a file's bytes and checks them: only keys under the product key, no name with a zero in
// it, pages numbered densely from 1, each page's folder a text, a page's name a string of at
// most 64 characters, every known setting of its type. A page's values of other types are kept,
// as the store keeps them. Raises ERegFileError saying what is wrong and on which line (a name
// quoted in it cut short); reads nothing of the store.
TImport ImportRead(const std::vector<BYTE>& bytes);
// The product tree as a registry editor's file.
std::vector<BYTE> ExportBytes();

// The tree becomes the file's. The file's tree is first written beside the product key, then put
// in its place; a kill at any moment leaves the old tree whole or, after ImportFinish, the new.
// The new tree is marked as a first run's, so that every setting the file lacks is written with
// its default before the program reads it (ConfigTreeComplete): here, or by the next start when
// the import was cut short.
void ImportReplace(const TImport& import);
// The file's pages appended after the existing ones, with their folders, items, other values
// and keys, and names (a name another page has gets a number, within the longest name); the
// settings stay. Journaled: cut short, or failing part-way, it leaves none of the file's pages.
// Returns the number of pages appended.
int32_t ImportAppend(const TImport& import);
// Run at the start before anything reads the tree: an import cut short before its tree was whole
// is forgotten, one cut short after is finished, and pages appended in part are taken away. A
// journal that names no staging tree to finish from is dropped and the tree left as it is.
void ImportFinish();
