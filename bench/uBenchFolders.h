// The benchmark's test folders (a fixed mix of documents, programs and shortcuts), its settings
// tree and the shell's baseline: the least work that shows a folder with the shell's icons.
#pragma once

#include "uBenchCommon.h"
#include "uCmnError.h"
#include "uCmnHandle.h"
#include "uCmnReg.h"
#include "uOvRegDef.h"
#include "uTestFiles.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <exception>
#include <stdexcept>
#include <string>

// Both lists get this size, so both paint the same number of visible rows.
inline constexpr int ListWidth = 480;
inline constexpr int ListHeight = 360;

// A fresh folder under the temporary folder, removed with everything in it at destruction.
class TScratch {
  public:
    TScratch() {
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH, temp);
        std::wstring base = temp;
        if (!base.empty() && base.back() == L'\\')
            base.pop_back();
        // One fixed name: a run that was stopped half-way leaves nothing behind for long.
        path_ = base + L"\\ovbench";
        TreeDelete(path_);
        if (!::CreateDirectoryW(path_.c_str(), nullptr))
            throw std::runtime_error("cannot create " + Utf8Of(path_));
    }
    ~TScratch() { TreeDelete(path_); }
    TScratch(const TScratch&) = delete;
    TScratch& operator=(const TScratch&) = delete;

    const std::wstring& Path() const noexcept { return path_; }

  private:
    std::wstring path_;
};

// The product's settings tree, gone before the bench starts and again when it ends, so the
// bench neither reads a user's pages nor leaves 11,000 items behind.
class TProductKeyScope {
  public:
    TProductKeyScope() { RegKeyDelete(HKEY_CURRENT_USER, OvKeyProduct); }
    ~TProductKeyScope() {
        try {
            RegKeyDelete(HKEY_CURRENT_USER, OvKeyProduct);
        } catch (const std::exception& e) {
            Line("ovbench: the settings tree could not be removed: %s", e.what());
        }
    }
    TProductKeyScope(const TProductKeyScope&) = delete;
    TProductKeyScope& operator=(const TProductKeyScope&) = delete;
};

// The mix of every test folder, per 100 entries. Documents with and without an association,
// programs with their own icon, and shortcuts whose target (a program or a document in the same
// folder) gives their icon: each kind takes another path through the icon look-up.
struct TKind {
    const wchar_t* prefix;
    const wchar_t* extension;
    int perHundred;
};
inline constexpr int KindCount = 6;
extern const TKind Kinds[KindCount];

// The name of the i-th entry of a kind.
std::wstring EntryName(const TKind& kind, int i);
// The mix as text: "30% .txt, 15% .bmp, ...".
std::string MixText();
// Fills `folder` with `count` entries (a multiple of 100) of the mix, the programs copies of
// `sampleExe`.
void FolderFill(const std::wstring& folder, int count, const std::wstring& sampleExe);

// One directory pass and, per entry, one SHGetFileInfoW with SHGFI_SYSICONINDEX and one
// LVM_INSERTITEMW, into a report-view list that shows the shell's own small image list. The
// shell keeps that list for the whole process and adds an icon only the first time it meets its
// source, so no icon is extracted, copied or destroyed per row: this is how a file manager
// shows a folder, and no way of showing the real icons does less. Asking for SHGFI_ICON instead
// would hand out a new icon per row that the list would have to copy and the caller destroy.
class TBaseline {
  public:
    // Without icons it is the floor: one directory pass and one text-only insert per entry, the
    // least work that shows the names.
    TBaseline(int x, int y, bool icons) : icons_(icons) {
        SHFILEINFOW info{};
        images_ = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoW(
            L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
        // A top-level list view of its own; the shell's image list is shared, never destroyed.
        list_.Reset(::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"ovbench baseline",
                                      WS_OVERLAPPEDWINDOW | LVS_REPORT | LVS_SHAREIMAGELISTS, x, y,
                                      ListWidth, ListHeight, nullptr, nullptr,
                                      ::GetModuleHandleW(nullptr), nullptr));
        if (!list_)
            throw std::runtime_error("cannot create the baseline's list view");
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 200;
        column.pszText = const_cast<wchar_t*>(L"Name");
        ::SendMessageW(list_.Get(), LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        if (icons_)
            ::SendMessageW(list_.Get(), LVM_SETIMAGELIST, LVSIL_SMALL,
                           reinterpret_cast<LPARAM>(images_));
        ::ShowWindow(list_.Get(), SW_SHOWNOACTIVATE);
    }

    HWND List() const noexcept { return list_.Get(); }

    // Shows the folder anew; the rows it made.
    int Show(const std::wstring& folder) {
        HWND list = list_.Get();
        ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
        WIN32_FIND_DATAW data{};
        TUniqueFind find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
        int rows = 0;
        if (find) {
            do {
                if (!std::wcscmp(data.cFileName, L".") || !std::wcscmp(data.cFileName, L".."))
                    continue;
                LVITEMW item{};
                item.mask = LVIF_TEXT;
                item.iItem = rows;
                item.pszText = data.cFileName;
                if (icons_) {
                    const std::wstring path = folder + L"\\" + data.cFileName;
                    SHFILEINFOW info{};
                    ::SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info),
                                     SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
                    item.mask |= LVIF_IMAGE;
                    item.iImage = info.iIcon;
                }
                if (::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) >= 0)
                    ++rows;
            } while (::FindNextFileW(find.Get(), &data));
        }
        ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        return rows;
    }

  private:
    bool icons_;
    HIMAGELIST images_ = nullptr;
    TUniqueWindow list_;
};
