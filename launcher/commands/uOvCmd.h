// The main window's item commands: dropping files, the insert dialog, opening, deleting and
// renaming items, and deleting pages. The handlers are TFrmOvMain's (uOvMain declares them);
// this unit holds them and the rules they share.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

// What opening an item starts: a shortcut stands for its target, with its own arguments;
// anything else for itself, with none. Raises as LinkResolve, with the shortcut named (ItemError).
void ItemTargetResolve(std::wstring& path, std::wstring& arguments);

// The dropped paths in the shell's order, each fetched whole. A path longer than the file
// functions accept (260 characters and more) is left out rather than stored cut short: counted,
// the first one kept to be named.
struct TDroppedPaths {
    std::vector<std::wstring> paths;
    size_t tooLong = 0;
    std::wstring firstTooLong;
};
TDroppedPaths DroppedPaths(HDROP drop);
// The open dialog's filter: the bars of `barred` become the zero separators it expects, plus the
// closing zero.
std::wstring DialogFilter(const wchar_t* barred);
// The chosen files of a multiple-selection dialog's buffer: one full path, or the folder
// followed by the names, each ended by a zero.
std::vector<std::wstring> ChosenFiles(const wchar_t* buffer);
