// The main window FrmOvMain.
#include "uOvMain.h"

#include "uCmnApp.h"
#include "uCmnDpi.h"
#include "uCmnError.h"
#include "uCmnReg.h"
#include "uCmnRegDef.h"
#include "uCmnShellMenu.h"
#include "uCmnWnd.h"
#include "uOvCap.h"
#include "uOvCapDef.h"
#include "uOvBackup.h"
#include "uOvCfg.h"
#include "uOvDll.h"
#include "uOvFrm.h"
#include "uOvFrmDef.h"
#include "uOvItemMenu.h"
#include "uOvLvw.h"
#include "uOvOptn.h"
#include "uOvPmu.h"
#include "uOvReg.h"
#include "uOvRegDef.h"
#include "uOvRowIcon.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

TFrmOvMain* FrmOvMain = nullptr;

TFrmOvMain::TFrmOvMain() : fill_([this] { ::PostMessageW(Handle(), WM_FOLDERLISTED, 0, 0); }) {
    FrmOvMain = this;
}

TFrmOvMain::~TFrmOvMain() {
    DestroyHandle();
    if (FrmOvMain == this) {
        Application.OnIdle = nullptr;
        Application.OnMessage = nullptr;
        ListStateReset();
        FrmOvMain = nullptr;
    }
}

void TFrmOvMain::Create() {
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP));
    const int dpi = SystemDpi();
    CreateHandle(OV_MAIN_CLASS, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_ACCEPTFILES,
                 Application.Handle(), CW_USEDEFAULT, CW_USEDEFAULT, DpiScale(OV_MAIN_WIDTH, dpi),
                 DpiScale(OV_MAIN_HEIGHT, dpi), COLOR_BTNFACE + 1, icon);
    if (!Handle())
        throw std::runtime_error("CreateWindowEx TFrmOvMain");
    keys_.Reset(::CreateAcceleratorTableW(const_cast<ACCEL*>(OV_KEYS.data()),
                                          static_cast<int>(OV_KEYS.size())));
    Application.OnMessage = [](MSG& msg) { return FrmOvMain && FrmOvMain->KeyTranslate(msg); };
}

// ---------------------------------------------------------------------------------------------
// Window-level events

void TFrmOvMain::FormCreate() {
    // The window takes drops from its creation on (WS_EX_ACCEPTFILES, what DragAcceptFiles sets),
    // so the shell need not be loaded at the start for it.
    // An import cut short is finished or forgotten before the first-run check looks at the tree.
    RunStep([&] { ImportFinish(); });
    RunStep([&] { ConfigTreeEnsure(); });
    RunStep([&] { VersionUpdate(); });
    // Before anything reads a page: a page deletion or first run cut short is finished here.
    RunStep([&] { PagesRepair(); });
    StateRead();
    RunStep([&] { CaptionsSet(*this); });
    RunStep([&] { WindowBoundsLoad(*this); });
    ViewApply();
    // The one layout of the creation, before the rows go in: the list arranges them once, at
    // its own size, instead of again when it gets that size.
    RunStep([&] {
        creating_ = false;
        LayoutControls();
    });
    RunStep([&] { CptPmuItemBtnUpdateClick(); });
    RunStep([&] { Application.ShowMainForm = true; });
    // Bound in the first idle moment after the window shows (IdleWork): the library's thread and
    // hook are no part of the first paint.
    RunStep([&] { hookPending_ = true; });
    indexPending_ = true;
    // Also for a start that shows no window (at sign-in with the taskbar button off): the icon is
    // then the program's one sign.
    // A taskbar setting that cannot be read is told once, when the window shows (FormShow).
    RunStep([&] {
        trayWanted_ = TrayIconWanted();
        try {
            TaskbarSettingRead();
        } catch (...) {
            taskbarHidden_.reset();
        }
        TrayUpdate();
    });
}

void TFrmOvMain::StateRead() {
    HKEY hkcu = HKEY_CURRENT_USER;
    RunStep([&] { CurrentPage = RegIntRead(hkcu, OvKeyConfig, OvValSelPage); });
    RunStep([&] {
        PageTotal = PageCount();
        // Only an outside edit leaves the stored page outside the pages that exist.
        CurrentPage = std::clamp(CurrentPage, 1, std::max(PageTotal, 1));
    });
    RunStep([&] { ViewStyle = RegIntRead(hkcu, OvKeyConfig, OvValLvwStyle); });
    RunStep([&] { SortColumn = RegIntRead(hkcu, OvKeyConfig, OvValLvwColSort); });
    RunStep([&] { SortOrder = RegIntRead(hkcu, OvKeyConfig, OvValLvwColSortAscDec); });
    RunStep([&] { LastOpenDir = RegStrRead(hkcu, OvKeyConfig, OvValOpenFileDir); });
}

void TFrmOvMain::ViewApply() {
    RunStep([&] { ViewMenuCheck(CptPmuViewStyle.Get(), ViewStyle); });
    RunStep([&] { ColumnWidthsLoad(Dpi); });
    RunStep([&] { ViewStyleSet(ViewStyle); });
    RunStep([&] {
        ToolBarPosApply(*this, RegIntRead(HKEY_CURRENT_USER, OvKeyOption, OvValToolBarPos));
    });
}

void TFrmOvMain::TreeReread(bool replaced) {
    search_.Leave(false);
    pages_.MarkDrop();
    if (replaced) {
        // The settings are the file's: read as a start reads them; the window keeps its place.
        RunStep([] { ConfigTreeComplete(); });
        StateRead();
        ViewApply();
        hotKeyBroken_ = false;
        RunStep([&] {
            TaskbarSettingRead();
            trayWanted_ = TrayIconWanted();
        });
    } else {
        RunStep([&] { PageTotal = PageCount(); });
    }
    RunStep([&] { CptPmuItemBtnUpdateClick(); });
}

bool TFrmOvMain::IdleWork() {
    if (hookPending_) {
        hookPending_ = false;
        RunStep([] { HookDllLoad(); });
        return true;
    }
    if (ListIconsLoad())
        return true;
    bool loaded = false;
    RunStep([&] { loaded = StatusFolderIconLoad(*this); });
    if (loaded)
        return true;
    // The search's index is read once the first screen is whole, on the index's own thread: the
    // search then opens at once whenever it is asked for.
    if (indexPending_) {
        indexPending_ = false;
        RunStep([&] { search_.IndexStart(); });
    }
    return false;
}

void TFrmOvMain::FormShow() {
    TaskbarSettingRead();
    if (taskbarHidden_)
        TaskbarButtonSet(*taskbarHidden_);
    RunStep([&] { TrayUpdate(); });
}

void TFrmOvMain::TaskbarSettingRead() {
    taskbarHidden_.reset();
    if (HookDllExists())
        taskbarHidden_ = RegBoolRead(HKEY_CURRENT_USER, OvKeyOption, OvValHideTaskbar);
}

bool TFrmOvMain::FormCloseQuery() {
    HKEY hkcu = HKEY_CURRENT_USER;
    // A failed write never stops the close.
    RunStep([&] { WindowBoundsSave(Handle()); });
    RunStep([&] { ColumnWidthsSave(Dpi); });
    RunStep([&] { RegIntWrite(hkcu, OvKeyConfig, OvValSelPage, CurrentPage); });
    RunStep([&] { RegIntWrite(hkcu, OvKeyConfig, OvValLvwStyle, ViewStyle); });
    RunStep([&] { RegIntWrite(hkcu, OvKeyConfig, OvValLvwColSort, SortColumn); });
    RunStep([&] { RegIntWrite(hkcu, OvKeyConfig, OvValLvwColSortAscDec, SortOrder); });
    RunStep([&] { RegStrWrite(hkcu, OvKeyConfig, OvValOpenFileDir, LastOpenDir); });
    RunStep([&] { HookDllFree(); });
    return true;
}

// ---------------------------------------------------------------------------------------------
// Control events

void TFrmOvMain::CptPmuItemBtnUpdateClick() {
    if (search_.ResultsShown()) {
        search_.ShowAgain();
        ViewStyleButtonRelease();
        return;
    }
    const std::wstring odd = ListPageShow(CurrentPage, SortColumn, SortOrder);
    StatusRepaint();
    ViewStyleButtonRelease();
    // Told once per start, over the rows that do show; the value itself stays as it is.
    if (!odd.empty() && !oddValueTold_) {
        oddValueTold_ = true;
        Application.HandleException(ERegError(FormatMessageText(CmnRegErrValueType, odd)));
    }
}

void TFrmOvMain::CptSbrStatusDrawPanel(int panel, HDC dc, const RECT& rect) {
    StatusPanelPaint(*this, panel, dc, rect);
}

void TFrmOvMain::StatusRepaint() noexcept {
    RunStep([this] { StatusPanelsUpdate(*this); });
    // The icon's tip is the caption, which names the page.
    RunStep([this] { TrayUpdate(); });
    ::InvalidateRect(CptSbrStatus, nullptr, TRUE);
    CptLvwItemsCue.SetText(search_.Searching()           ? OV_CAP_EMPTY_SEARCHING
                           : search_.ResultsShown()      ? OV_CAP_EMPTY_FOUND
                           : StatusPanels.folder.empty() ? OV_CAP_EMPTY_PAGE
                           : fill_.Listing(CurrentPage)  ? OV_CAP_EMPTY_LISTING
                                                         : OV_CAP_EMPTY_FOLDER);
}

// ---------------------------------------------------------------------------------------------
// The item commands (uOvCmd) and the list's menus (uOvItemMenu)

void TFrmOvMain::FilesDropped(HDROP drop) {
    commands_.FilesDropped(drop);
}

void TFrmOvMain::CptTbnInsertClick() {
    commands_.InsertDialogRun();
}

void TFrmOvMain::CptLvwItemsDblClick() {
    commands_.SelectedOpen();
}

void TFrmOvMain::CptTbnDeleteClick() {
    commands_.ItemsOrPageDelete();
}

bool TFrmOvMain::CptLvwItemsEditing(int item) {
    return commands_.RenameAllowed(item);
}

bool TFrmOvMain::CptLvwItemsEdited(const wchar_t* newText) {
    return commands_.RenameCommit(newText);
}

void TFrmOvMain::ItemMenusOpen(POINT screen) {
    ItemMenuShow(*this, commands_, pages_, CptPmuViewStyle.Get(), screen);
}

// ---------------------------------------------------------------------------------------------
// Page navigation

void TFrmOvMain::CptTbnBeforeClick() {
    // Only an outside edit leaves the shown page beyond the last one: go to the last that exists.
    int32_t page = CurrentPage;
    if (CurrentPage > PageTotal && PageTotal >= 1)
        page = PageTotal;
    else if (CurrentPage > 1)
        page = CurrentPage - 1;
    // From the page shown before the search: a step that shows another page shows it; on the
    // first page the page itself comes back.
    search_.Leave(page == CurrentPage);
    if (page != CurrentPage) {
        CurrentPage = page;
        CptPmuItemBtnUpdateClick();
    }
}

void TFrmOvMain::CptTbnNextClick() {
    search_.Leave(false);
    if (CurrentPage >= PageTotal) {
        // The shown page is the last: append an empty ordinary page, known to be empty.
        PageTotal = PageTotal + 1;
        PageCreate(PageTotal, L"");
        CurrentPage = PageTotal;
        ListClear();
        StatusRepaint();
    } else {
        CurrentPage = CurrentPage + 1;
        CptPmuItemBtnUpdateClick();
    }
}

void TFrmOvMain::CptTbnOptionClick() {
    {
        // A fresh dialog each time, so every opening starts from the registry.
        TFrmOvOptn dialog({Handle(), Dpi, [this](int32_t edge) { ToolBarPosApply(*this, edge); },
                           [this](bool replaced) { TreeReread(replaced); }});
        dialog.ShowModal();
    }
    // A sign-out ends the program under the dialog: nothing is left to update.
    if (!Handle())
        return;
    // The settings may have been set anew: the hot key gets another chance, and the paints
    // apply the taskbar setting as it is now.
    hotKeyBroken_ = false;
    TaskbarSettingRead();
    RunStep([&] {
        trayWanted_ = TrayIconWanted();
        TrayUpdate();
    });
}

LRESULT TFrmOvMain::FailureResult(UINT msg, WPARAM wParam, LPARAM lParam) {
    // A failed check must not let the editor open: TRUE refuses it.
    if (msg == WM_NOTIFY) {
        const UINT code = reinterpret_cast<NMHDR*>(lParam)->code;
        if (code == LVN_BEGINLABELEDITW)
            return TRUE;
    }
    return TForm::FailureResult(msg, wParam, lParam);
}

LRESULT TFrmOvMain::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE: {
        // Until FormCreate lays the window out, its steps' changes of size and place wait.
        creating_ = true;
        try {
            CreateControls();
            FormCreate();
        } catch (...) {
            creating_ = false;
            throw;
        }
        return 0;
    }
    case WM_SIZE:
        LayoutControls();
        return 0;
    case WM_SHOWWINDOW:
        if (wParam) {
            FormShow();
            ::PostMessageW(Handle(), WM_LISTFOCUS, 0, 0);
        }
        break;
    case WM_LISTFOCUS:
        // Only a window shown to be used: one shown without activation keeps its selection.
        if (::IsWindowVisible(Handle()) && ::GetActiveWindow() == Handle())
            KeyboardTake();
        return 0;
    case WM_SETFOCUS:
        // The window itself takes no keys: they go to the list (after a box or the options
        // dialog too, when the window is activated again).
        ItemListFocus(false);
        return 0;
    case WM_PAINT:
        PaintToolBarEdge();
        if (taskbarHidden_)
            TaskbarButtonSet(*taskbarHidden_);
        return 0;
    case WM_GETMINMAXINFO:
        OnMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
        if (search_.Field() && reinterpret_cast<HWND>(lParam) == search_.Field()) {
            if (HIWORD(wParam) == EN_CHANGE)
                search_.TextChanged();
            return 0;
        }
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_DRAWITEM: {
        // The status bar's owner-draw notice carries no reliable control type: go by the window.
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (dis->hwndItem == CptSbrStatus) {
            CptSbrStatusDrawPanel(static_cast<int>(dis->itemID), dis->hDC, dis->rcItem);
            return TRUE;
        }
        [[fallthrough]];
    }
    case WM_INITMENUPOPUP:
    case WM_MEASUREITEM:
    case WM_MENUCHAR:
        // The shell's entries of the item menu, while it is open.
        if (LRESULT result = 0; TShellMenu::Forward(msg, wParam, lParam, result))
            return result;
        break;
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
        menuOpen_ = msg == WM_ENTERMENULOOP;
        break;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) != CptLvwItems)
            break;
        ItemMenusOpen({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_SYSCOMMAND:
        return OnSysCommand(wParam, lParam);
    case WM_DROPFILES:
        FilesDropped(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_MOUSEMOVE:
        ItemDragMove({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)},
                     (wParam & (MK_LBUTTON | MK_RBUTTON)) != 0);
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        ItemDragEnd({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, true);
        break;
    case WM_CAPTURECHANGED:
        // Capture taken away (another window, a box): the drag is given up.
        if (reinterpret_cast<HWND>(lParam) != Handle())
            ItemDragEnd({}, false);
        break;
    case WM_TIMER:
        if (wParam == OV_TIMER_DRAGHOVER) {
            ItemDragHover();
            return 0;
        }
        if (wParam == OV_TIMER_FILL) {
            PageFillStep();
            return 0;
        }
        if (wParam == OV_TIMER_RESULTSGROW) {
            RunStep([&] { search_.ResultsGrow(); });
            return 0;
        }
        break;
    case WM_INDEXREAD:
        RunStep([&] { search_.IndexRead(); });
        return 0;
    case WM_FOLDERLISTED:
        RunStep([&] { FolderListed(); });
        return 0;
    case WM_HOOKKEY:
        HookKeyPressed(wParam, lParam);
        return 0;
    case WM_TRAYICON:
        TrayNotified(LOWORD(lParam));
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            deactivatedAt_ = ::GetTickCount();
        break;
    case WM_CLOSE:
        // A question or the options dialog open over the window is answered first: closing
        // under it would end it unseen. It comes to the front instead. (A sign-out still ends
        // the program: the dialog then ends as its safe answer.)
        if (ModalWindowOf(Handle())) {
            CallUp();
            return 0;
        }
        if (FormCloseQuery())
            ::DestroyWindow(Handle());
        return 0;
    case WM_QUERYENDSESSION:
        return FormCloseQuery() ? TRUE : FALSE;
    case WM_ENDSESSION:
        if (wParam)
            ::DestroyWindow(Handle());
        else
            // The log-off was cancelled after the close query released the library: bind it
            // again so the hot key keeps working.
            RunStep([] { HookDllLoad(); });
        return 0;
    case WM_DESTROY:
        // The icons' shell folders go while COM is still there: the loop ends COM right after
        // this window, before the form itself is gone.
        // A folder page's items still to be written are written now: its next refresh would, but
        // the store is whole when the program ends.
        RunStep([&] { fill_.Finish(); });
        if (FrmOvMain == this)
            ListStateReset();
        tray_.Remove();
        if (Application.MainForm() == this)
            ::PostQuitMessage(0);
        return 0;
    }
    if (msg == TTrayIcon::TaskbarCreatedMessage() && msg != 0) {
        tray_.Restore();
        return 0;
    }
    return DefaultHandler(msg, wParam, lParam);
}
