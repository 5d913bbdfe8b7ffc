// The main window's item commands.
#include "uOvCmd.h"

#include "uCmnApp.h"
#include "uCmnCom.h"
#include "uCmnFile.h"
#include "uCmnShell.h"
#include "uCmnWnd.h"
#include "uOvLvw.h"
#include "uOvMsg.h"
#include "uOvMsgDef.h"
#include "uOvReg.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <set>
#include <utility>

// ---------------------------------------------------------------------------------------------
// Adding items

void ItemTargetResolve(std::wstring& path, std::wstring& arguments) {
    arguments.clear();
    if (!FileIsLink(path))
        return;
    std::wstring target;
    try {
        LinkResolve(path, target, arguments);
    } catch (const std::exception& e) {
        throw ItemError(path, e);
    }
    path = target;
}

TDroppedPaths DroppedPaths(HDROP drop) {
    TDroppedPaths dropped;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        if (length == 0)
            continue;
        std::wstring path(length + 1, L'\0');
        path.resize(::DragQueryFileW(drop, i, path.data(), length + 1));
        // Longer paths than the file functions take would be stored but never found again.
        if (length >= MAX_PATH) {
            if (dropped.tooLong++ == 0)
                dropped.firstTooLong = std::move(path);
            continue;
        }
        dropped.paths.push_back(std::move(path));
    }
    return dropped;
}

void TItemCommands::FilesDropped(HDROP drop) {
    TDroppedPaths dropped;
    bool refused = false;
    {
        // Finish, also after an error: the handle goes back to the shell, the counts are
        // repainted, before the box below tells what was left out.
        struct TFinish {
            TMainHost& host;
            HDROP drop;
            ~TFinish() {
                ::DragFinish(drop);
                host.StatusRepaint();
            }
        } finish{host_, drop};
        dropped = DroppedPaths(drop);
        const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        POINT point{};
        const bool inClient = ::DragQueryPoint(drop, &point) != FALSE;
        refused = !FilesDroppedOnto(dropped.paths, count, point, inClient);
    }
    if (!refused && dropped.tooLong > 0)
        ErrorMessageBox(AboutFileText(
            dropped.firstTooLong,
            FormatMessageText(OV_MSG_PATHS_TOO_LONG, static_cast<int>(dropped.tooLong))));
}

bool TItemCommands::FilesDroppedOnto(const std::vector<std::wstring>& paths, size_t dropped,
                                     POINT point, bool inClient) {
    if (paths.empty())
        return true;
    if (inClient && DropOntoProgram(paths, point))
        return true;
    // What is added shows on its page, not among results it may not match.
    search_.Leave();
    // A folder dropped with anything else, even what cannot be named here, is no folder page.
    if (dropped == 1 && paths.size() == 1 && FolderPresent(paths[0])) {
        // One folder makes a new last page that mirrors it.
        // Bound first, then shown empty while the folder is listed on a thread; its rows show the
        // whole listing as soon as it is done, its items are written afterwards a slice at a time,
        // and a start cut short leaves a bound page its next refresh completes.
        const std::wstring folder = paths[0];
        state_.pageTotal = state_.pageTotal + 1;
        state_.currentPage = state_.pageTotal;
        PageCreate(state_.currentPage, folder);
        ListFill(TPageEntries{});
        host_.PageFillStart(state_.currentPage, folder);
        return true;
    }
    if (!PageFolderRead(state_.currentPage).empty()) {
        ErrorBox(OV_ERR_NOT_ADDABLE);
        return false;
    }
    ItemsAdd(paths);
    return true;
}

bool TItemCommands::DropOntoProgram(const std::vector<std::wstring>& paths, POINT point) {
    RECT list{};
    ::GetWindowRect(host_.ItemList(), &list);
    ::MapWindowPoints(nullptr, host_.Window(), reinterpret_cast<POINT*>(&list), 2);
    const TListRow row = ListRowOf(ListItemAt(point.x - list.left, point.y - list.top));
    if (row.name.empty())
        return false;
    std::wstring path = row.path;
    if (!FilePresent(path))
        return false;
    std::wstring arguments;
    ItemTargetResolve(path, arguments);
    if (!FileIsExe(path))
        return false;
    for (const std::wstring& dropped : paths) {
        if (!arguments.empty())
            arguments += L' ';
        arguments += CommandLineArg(dropped);
    }
    ShellOpen(path, arguments);
    return true;
}

void TItemCommands::ItemsAdd(const std::vector<std::wstring>& paths) {
    THourglass hourglass;
    TListUpdate update;
    for (const std::wstring& path : paths) {
        if (ItemAdd(state_.currentPage, path))
            ListRowAdd(ItemName(path), path, state_.currentPage);
    }
    ListSort(state_.sortColumn, state_.sortOrder);
}

namespace {

inline constexpr wchar_t OpenFilter[] =
    L"全てのファイル (*.*)|*.*|アプリケーション (*.exe)|*.exe|"
    L"テキストファイル (*.txt *.pas *.cpp)|*.txt;*.pas;*.cpp|"
    L"イメージファイル (*.bmp *.gif *.jpg *.tif)|*.bmp;*.gif;*.jpg;*.tif|"
    L"Html (*.htm *.html)|*.htm;*.html|Adobe Acrobat (*.pdf)|*.pdf|"
    L"Microsoft Word (*.doc)|*.doc|Microsoft Excel (*.xls)|*.xls|"
    L"Microsoft PowerPoint (*.ppt)|*.ppt|Microsoft Access (*.mdb)|*.mdb";

} // namespace

std::wstring DialogFilter(const wchar_t* barred) {
    std::wstring filter = barred;
    for (wchar_t& c : filter)
        if (c == L'|')
            c = L'\0';
    filter.push_back(L'\0');
    return filter;
}

std::vector<std::wstring> ChosenFiles(const wchar_t* buffer) {
    std::vector<std::wstring> parts;
    for (const wchar_t* p = buffer; *p; p += parts.back().size() + 1)
        parts.emplace_back(p);
    if (parts.size() <= 1)
        return parts;
    // A drive root comes with its separator already.
    const std::wstring folder = PathName(parts[0]).empty() ? parts[0] : parts[0] + L"\\";
    std::vector<std::wstring> files;
    for (size_t i = 1; i < parts.size(); ++i) {
        // A name typed as a full path comes back whole from some dialogs: never prefix it twice.
        const std::wstring& name = parts[i];
        const bool full = (name.size() > 1 && name[1] == L':') || name.rfind(L"\\\\", 0) == 0;
        files.push_back(full ? name : folder + name);
    }
    return files;
}

void TItemCommands::InsertDialogRun() {
    if (!PageFolderRead(state_.currentPage).empty()) {
        ErrorBox(OV_ERR_NOT_ADDABLE);
        return;
    }
    const std::wstring filter = DialogFilter(OpenFilter);
    // Room for a large multiple selection; the dialog reports a too-small buffer as failure.
    std::vector<wchar_t> buffer(64 * 1024, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = host_.Window();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = state_.lastOpenDir.empty() ? nullptr : state_.lastOpenDir.c_str();
    ofn.lpstrDefExt = L"*.*";
    ofn.Flags = OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_ENABLESIZING | OFN_EXPLORER;
    // The dialog hosts the shell's objects.
    ComEnsure();
    if (::GetOpenFileNameW(&ofn)) {
        std::vector<std::wstring> files = ChosenFiles(buffer.data());
        if (!files.empty()) {
            state_.lastOpenDir = PathFolderWithSep(files.front());
            // Last to first: of two files with one name, the later one in the dialog is kept.
            std::reverse(files.begin(), files.end());
            search_.Leave();
            ItemsAdd(files);
        }
    }
    host_.StatusRepaint();
}

// ---------------------------------------------------------------------------------------------
// Opening, deleting and renaming items

void TItemCommands::SelectedOpen() {
    ItemsOpen(ListSelectedRows());
}

void TItemCommands::ItemsOpen(const std::vector<TListRow>& rows) {
    std::vector<std::wstring> missing;
    for (const TListRow& row : rows) {
        std::wstring path = row.path;
        if (!FilePresent(path)) {
            // A page's rows are files its refresh just found; a result stands for what the index
            // read, perhaps long ago: one whose file is gone is told, not passed over.
            if (FindRecord record; search_.ResultsShown() && !FileRecordGet(path, record))
                missing.push_back(path);
            continue;
        }
        std::wstring arguments;
        ItemTargetResolve(path, arguments);
        ShellOpen(path, arguments);
    }
    if (!missing.empty())
        ErrorMessageBox(AboutFileText(
            missing[0], missing.size() == 1 ? std::wstring(OV_MSG_NOT_FOUND)
                                            : FormatMessageText(OV_MSG_NOT_FOUND_SOME,
                                                                static_cast<int>(missing.size()))));
}

void TItemCommands::ItemsOrPageDelete() {
    const std::vector<TListRow> rows = ListSelectedRows();
    if (rows.empty()) {
        PageShownDelete();
        return;
    }
    // Each item with its own page's rule: one on a folder page stops them all. Each page is read
    // once, however many of its rows are selected.
    std::set<int32_t> pages;
    for (const TListRow& row : rows)
        pages.insert(row.Page());
    for (int32_t page : pages) {
        if (!PageFolderRead(page).empty()) {
            ErrorBox(OV_ERR_NOT_DELETABLE);
            return;
        }
    }
    if (!ConfirmBox(OV_ASK_ITEMS_DELETE))
        return;
    const int first = ListView_GetNextItem(host_.ItemList(), -1, LVNI_SELECTED);
    // Each from the page it is on now: a page moved since the rows were made keeps its items.
    for (const TListRow& row : rows)
        if (const int32_t page = row.Page(); page > 0)
            ItemRemove(page, row.name);
    if (search_.ResultsShown())
        search_.ShowAgain();
    else
        host_.PageShowAgain();
    // As Windows lists do: the row that took the place of the first one deleted, so Delete and
    // Enter pressed again remove the next item.
    host_.ItemRowPick(first);
}

void TItemCommands::PageShownDelete() {
    // Results stand for no page: none is deleted from behind them.
    if (search_.ResultsShown())
        return;
    if (!ConfirmBox(OV_ASK_PAGE_DELETE))
        return;
    if (state_.pageTotal > 1) {
        try {
            PageRemove(state_.currentPage, state_.pageTotal);
        } catch (...) {
            PagesShownAgain(state_.pageTotal);
            throw;
        }
        state_.pageTotal = state_.pageTotal - 1;
        if (state_.currentPage > 1)
            state_.currentPage = state_.currentPage - 1;
    } else {
        PageClear(state_.currentPage);
    }
    host_.PageShowAgain();
}

void TItemCommands::PagesShownAgain(int32_t pageTotalBefore) noexcept {
    // The first error is the one to report; a second one from the same store adds nothing.
    try {
        state_.pageTotal = PageCount();
        if (state_.pageTotal < pageTotalBefore && state_.currentPage > 1)
            state_.currentPage = state_.currentPage - 1;
        state_.currentPage = std::clamp(state_.currentPage, 1, std::max(state_.pageTotal, 1));
        host_.PageShowAgain();
    } catch (...) {
    }
}

bool TItemCommands::RenameAllowed(int item) {
    editing_.reset();
    const TListRow row = ListRowOf(item);
    if (row.name.empty())
        return false;
    if (!PageFolderRead(row.Page()).empty()) {
        ErrorBox(OV_ERR_NOT_RENAMABLE);
        return false;
    }
    editing_ = row;
    return true;
}

bool TItemCommands::RenameCommit(const wchar_t* newText) {
    // The item the editor was opened on, by page and name: the rows, and the pages, may have
    // moved since.
    const std::optional<TListRow> row = std::exchange(editing_, std::nullopt);
    if (!newText || !row || row->Page() == 0 || !ItemRename(row->Page(), row->name, newText))
        return false;
    ListRowRenamed(row->page, row->name, newText);
    return true;
}

void TItemCommands::RenameEditorOpen() {
    HWND list = host_.ItemList();
    const int row = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    if (row < 0)
        return;
    ::SetFocus(list);
    // The list asks RenameAllowed first, which refuses a folder page with its box.
    ListView_EditLabel(list, row);
}

void TItemCommands::SelectedDelete() {
    // Only what is selected: with nothing selected a Delete pressed again after its question
    // never reaches the page, which only the toolbar's button deletes.
    if (ListView_GetSelectedCount(host_.ItemList()) > 0)
        ItemsOrPageDelete();
}
