// The main window's item commands.
#include "uOvCmd.h"

#include "uCmnApp.h"
#include "uCmnFile.h"
#include "uCmnShell.h"
#include "uCmnWnd.h"
#include "uOvLvw.h"
#include "uOvMain.h"
#include "uOvMsg.h"
#include "uOvMsgDef.h"
#include "uOvReg.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstring>

// ---------------------------------------------------------------------------------------------
// Adding items

void ItemTargetResolve(std::string& path, std::string& arguments) {
    arguments.clear();
    if (!FileIsLink(path))
        return;
    std::string target;
    LinkResolve(path, target, arguments);
    path = target;
}

std::vector<std::string> DroppedPaths(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        if (length == 0)
            continue;
        std::wstring wide(length + 1, L'\0');
        const UINT got = ::DragQueryFileW(drop, i, wide.data(), length + 1);
        wide.resize(got);
        BOOL lossy = FALSE;
        const int bytes =
            ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                  static_cast<int>(wide.size()), nullptr, 0, nullptr, &lossy);
        if (bytes <= 0 || lossy || bytes >= MAX_PATH)
            continue;
        std::string path(static_cast<size_t>(bytes), '\0');
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                              static_cast<int>(wide.size()), path.data(), bytes, nullptr, nullptr);
        paths.push_back(std::move(path));
    }
    return paths;
}

void TFrmOvMain::FilesDropped(HDROP drop) {
    // Finish, also after an error: the handle goes back to the shell, the counts are repainted.
    struct TFinish {
        TFrmOvMain& form;
        HDROP drop;
        ~TFinish() {
            ::DragFinish(drop);
            form.StatusRepaint();
        }
    } finish{*this, drop};
    const std::vector<std::string> paths = DroppedPaths(drop);
    const UINT dropped = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    POINT point{};
    const bool inClient = ::DragQueryPoint(drop, &point) != FALSE;
    FilesDroppedOnto(paths, dropped, point, inClient);
}

void TFrmOvMain::FilesDroppedOnto(const std::vector<std::string>& paths, size_t dropped,
                                  POINT point, bool inClient) {
    if (paths.empty())
        return;
    if (inClient && DropOntoProgram(paths, point))
        return;
    // A folder dropped with anything else, even what cannot be named here, is no folder page.
    if (dropped == 1 && paths.size() == 1 && FolderPresent(paths[0])) {
        // One folder makes a new last page that mirrors it.
        const std::string folder = paths[0];
        std::vector<std::string> listing;
        FolderList(folder, "*", listing);
        PageTotal = PageTotal + 1;
        CurrentPage = PageTotal;
        THourglass hourglass;
        PageFolderAdd(CurrentPage, folder, listing);
        TListUpdate update;
        ListFill(CurrentPage);
        ListSort(SortColumn);
        return;
    }
    if (!PageFolderRead(CurrentPage).empty()) {
        ErrorBox(OV_ERR_NOT_ADDABLE);
        return;
    }
    ItemsAdd(paths);
}

bool TFrmOvMain::DropOntoProgram(const std::vector<std::string>& paths, POINT point) {
    RECT list{};
    ::GetWindowRect(CptLvwItems, &list);
    ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&list), 2);
    const std::string caption = ListNameAt(point.x - list.left, point.y - list.top);
    if (caption.empty())
        return false;
    std::string path = ItemPathRead(CurrentPage, caption);
    if (!FilePresent(path))
        return false;
    std::string arguments;
    ItemTargetResolve(path, arguments);
    if (!FileIsExe(path))
        return false;
    for (const std::string& dropped : paths) {
        arguments += '"';
        arguments += dropped;
        arguments += "\" ";
    }
    ShellOpen(path, arguments);
    return true;
}

void TFrmOvMain::ItemsAdd(const std::vector<std::string>& paths) {
    THourglass hourglass;
    TListUpdate update;
    for (const std::string& path : paths)
        if (ItemAdd(CurrentPage, path))
            ListRowAdd(ItemName(path), path);
    ListSort(SortColumn);
}

namespace {

inline constexpr char OpenFilter[] =
    "全てのファイル (*.*)|*.*|アプリケーション (*.exe)|*.exe|"
    "テキストファイル (*.txt *.pas *.cpp)|*.txt;*.pas;*.cpp|"
    "イメージファイル (*.bmp *.gif *.jpg *.tif)|*.bmp;*.gif;*.jpg;*.tif|"
    "Html (*.htm *.html)|*.htm;*.html|Adobe Acrobat (*.pdf)|*.pdf|"
    "Microsoft Word (*.doc)|*.doc|Microsoft Excel (*.xls)|*.xls|"
    "Microsoft PowerPoint (*.ppt)|*.ppt|Microsoft Access (*.mdb)|*.mdb";

} // namespace

std::string DialogFilter(const char* barred) {
    std::string filter = barred;
    // "|" (0x7C) is also the second byte of double-byte characters such as "ポ": those stay.
    for (size_t i = 0; i < filter.size(); ++i) {
        if (::IsDBCSLeadByte(static_cast<BYTE>(filter[i])) && i + 1 < filter.size())
            ++i;
        else if (filter[i] == '|')
            filter[i] = '\0';
    }
    filter.push_back('\0');
    return filter;
}

std::vector<std::string> ChosenFiles(const char* buffer) {
    std::vector<std::string> parts;
    for (const char* p = buffer; *p; p += std::strlen(p) + 1)
        parts.emplace_back(p);
    if (parts.size() <= 1)
        return parts;
    // A drive root comes with its separator already.
    const std::string folder = PathName(parts[0]).empty() ? parts[0] : parts[0] + "\\";
    std::vector<std::string> files;
    for (size_t i = 1; i < parts.size(); ++i) {
        // A name typed as a full path comes back whole from some dialogs: never prefix it twice.
        const std::string& name = parts[i];
        const bool full = (name.size() > 1 && name[1] == ':') || name.rfind("\\\\", 0) == 0;
        files.push_back(full ? name : folder + name);
    }
    return files;
}

void TFrmOvMain::CptTbnInsertClick() {
    if (!PageFolderRead(CurrentPage).empty()) {
        ErrorBox(OV_ERR_NOT_ADDABLE);
        return;
    }
    const std::string filter = DialogFilter(OpenFilter);
    // Room for a large multiple selection; the dialog reports a too-small buffer as failure.
    std::vector<char> buffer(64 * 1024, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = Handle();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = LastOpenDir.empty() ? nullptr : LastOpenDir.c_str();
    ofn.lpstrDefExt = "*.*";
    ofn.Flags = OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_ENABLESIZING | OFN_EXPLORER;
    if (::GetOpenFileNameA(&ofn)) {
        std::vector<std::string> files = ChosenFiles(buffer.data());
        if (!files.empty()) {
            LastOpenDir = PathFolderWithSep(files.front());
            // Last to first: of two files with one name, the later one in the dialog is kept.
            std::reverse(files.begin(), files.end());
            ItemsAdd(files);
        }
    }
    StatusRepaint();
}

// ---------------------------------------------------------------------------------------------
// Opening, deleting and renaming items

void TFrmOvMain::CptLvwItemsDblClick() {
    std::vector<std::string> names;
    ListSelectedNames(names);
    for (const std::string& name : names) {
        std::string path = ItemPathRead(CurrentPage, name);
        if (!FilePresent(path))
            continue;
        std::string arguments;
        ItemTargetResolve(path, arguments);
        ShellOpen(path, arguments);
    }
}

void TFrmOvMain::CptTbnDeleteClick() {
    std::vector<std::string> names;
    ListSelectedNames(names);
    if (names.empty()) {
        if (!ConfirmBox(OV_ASK_PAGE_DELETE))
            return;
        if (PageTotal > 1) {
            try {
                PageRemove(CurrentPage, PageTotal);
            } catch (...) {
                PagesShownAgain(PageTotal);
                throw;
            }
            PageTotal = PageTotal - 1;
            if (CurrentPage > 1)
                CurrentPage = CurrentPage - 1;
        } else {
            PageClear(CurrentPage);
        }
        CptPmuItemBtnUpdateClick();
        return;
    }
    if (!PageFolderRead(CurrentPage).empty()) {
        ErrorBox(OV_ERR_NOT_DELETABLE);
        return;
    }
    if (!ConfirmBox(OV_ASK_ITEMS_DELETE))
        return;
    for (const std::string& name : names)
        ItemRemove(CurrentPage, name);
    CptPmuItemBtnUpdateClick();
}

void TFrmOvMain::PagesShownAgain(int32_t pageTotalBefore) noexcept {
    // The first error is the one to report; a second one from the same store adds nothing.
    try {
        PageTotal = PageCount();
        if (PageTotal < pageTotalBefore && CurrentPage > 1)
            CurrentPage = CurrentPage - 1;
        CurrentPage = std::clamp(CurrentPage, 1, std::max(PageTotal, 1));
        CptPmuItemBtnUpdateClick();
    } catch (...) {
    }
}

bool TFrmOvMain::CptLvwItemsEditing(int) {
    if (!PageFolderRead(CurrentPage).empty()) {
        ErrorBox(OV_ERR_NOT_RENAMABLE);
        return false;
    }
    return true;
}

bool TFrmOvMain::CptLvwItemsEdited(int item, const std::string& newText) {
    // Value names may be far longer than a path.
    std::vector<char> old(16384, '\0');
    ListView_GetItemText(CptLvwItems, item, 0, old.data(), static_cast<int>(old.size()));
    if (!ItemRename(CurrentPage, old.data(), newText))
        return false;
    ListRowRenamed(item, newText);
    return true;
}
