// The item commands: dropping files, the insert dialog, opening, deleting and renaming items, and
// deleting pages. The main window's handlers hand each event to them; the window itself is
// reached only through the host.
#pragma once

#include "uOvHost.h"
#include "uOvLvw.h"
#include "uOvSearch.h"

#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

class TItemCommands {
  public:
    TItemCommands(TMainHost& host, const TMainState& state, TItemSearch& search)
        : host_(host), state_(state), search_(search) {}
    TItemCommands(const TItemCommands&) = delete;
    TItemCommands& operator=(const TItemCommands&) = delete;

    // Files dropped from the shell: onto a program, a new folder page, or items of the page shown.
    // Always releases the drop handle.
    void FilesDropped(HDROP drop);
    // The insert dialog: the files chosen become items of the page shown.
    void InsertDialogRun();
    // Opens the selected rows' items, as a double click does.
    void SelectedOpen();
    // Opens the rows' items, each from its own page.
    void ItemsOpen(const std::vector<TListRow>& rows);
    // The delete button: the selected items after their question, or with none selected the page
    // shown.
    void ItemsOrPageDelete();
    // The page shown deleted after its question (the only page emptied instead); none during a
    // search.
    void PageShownDelete();
    // Delete: the selected items after their question; nothing with none selected.
    void SelectedDelete();
    // F2: the focused row's in-place editor, with the refusal of a folder page.
    void RenameEditorOpen();
    // The list is about to open its editor on the row at list position `item`: false when it may
    // not; otherwise the row's item is the one the edit renames.
    bool RenameAllowed(int item);
    // The editor closed with `newText` (null: cancelled). False when the old caption stays; true
    // when newText became the caption of the item the editor was opened on.
    bool RenameCommit(const wchar_t* newText);

  private:
    // `dropped` counts every object of the drop, those that could not be named included. False
    // when the page refused the paths (its box told so).
    bool FilesDroppedOnto(const std::vector<std::wstring>& paths, size_t dropped, POINT point,
                          bool inClient);
    bool DropOntoProgram(const std::vector<std::wstring>& paths, POINT point);
    void ItemsAdd(const std::vector<std::wstring>& paths);
    // After a page deletion that failed part-way (and was repaired as far as the store allowed),
    // shows what the store holds: its page count, and the page before the deleted one when the
    // deletion went through.
    void PagesShownAgain(int32_t pageTotalBefore) noexcept;

    TMainHost& host_;
    TMainState state_;
    TItemSearch& search_;
    // The item the in-place editor was opened on, while it is open.
    std::optional<TListRow> editing_;
};

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
