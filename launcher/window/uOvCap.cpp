// Fixed texts of the main window, the options dialog and the status bar.
#include "uOvCap.h"

#include "uCmnApp.h"
#include "uCmnIcon.h"
#include "uCmnReg.h"
#include "uCmnError.h"
#include "uCmnStr.h"
#include "uOvCapDef.h"
#include "uOvCfg.h"
#include "uOvFrmDef.h"
#include "uOvLvw.h"
#include "uOvRowIcon.h"
#include "uOvMain.h"
#include "uOvReg.h"
#include "uOvOptn.h"
#include "uOvPageCmd.h"
#include "uOvPages.h"
#include "uOvRegDef.h"

#include <commctrl.h>

namespace {

void ButtonCaptionSet(HWND toolbar, int id, const wchar_t* text) {
    TBBUTTONINFOW info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_TEXT;
    info.pszText = const_cast<wchar_t*>(text);
    ::SendMessageW(toolbar, TB_SETBUTTONINFOW, id, reinterpret_cast<LPARAM>(&info));
}

void MenuCaptionSet(HMENU menu, int id, const wchar_t* text) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<wchar_t*>(text);
    ::SetMenuItemInfoW(menu, static_cast<UINT>(id), FALSE, &info);
}

void ColumnAdd(HWND list, int index, const wchar_t* text, int width) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(text);
    column.iSubItem = index;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

} // namespace

void CaptionsSet(TFrmOvMain& form) {
    Application.SetTitle(OV_APP_TITLE);
    form.SetCaption(Application.Title());
    for (int i = 0; i < OV_TOOLBAR_BUTTONS; ++i)
        ButtonCaptionSet(form.CptTbrToolBar, IDC_TBN_BEFORE + i, OV_CAP_BUTTONS[i]);
    for (int i = 0; i < OV_TOOLBAR_BUTTONS; ++i)
        form.CptTbnHints[i] = OV_CAP_BUTTONS[i];
    for (int i = 0; i < 4; ++i)
        MenuCaptionSet(form.CptPmuViewStyle.Get(), IDM_PMU_ICON + i, OV_CAP_MENU_VIEWS[i]);
    MenuCaptionSet(form.CptPmuViewStyle.Get(), IDM_PMU_BTNUPDATE, OV_CAP_MENU_BTNUPDATE);
    MenuCaptionSet(form.CptPmuViewStyle.Get(), IDM_PMU_INSERT, OV_CAP_MENU_INSERT);
    for (int i = 0; i < 5; ++i)
        ColumnAdd(form.CptLvwItems, i, OV_CAP_COLUMNS[i], form.Scaled(OV_COLUMN_WIDTH));
    LVCOLUMNW align{};
    align.mask = LVCF_FMT;
    align.fmt = LVCFMT_RIGHT;
    ::SendMessageW(form.CptLvwItems, LVM_SETCOLUMNW, OV_COLUMN_SIZE,
                   reinterpret_cast<LPARAM>(&align));
}

std::wstring StatusPageText(int32_t page, int32_t pageTotal, int32_t itemCount,
                            const std::wstring& name) {
    if (name.empty())
        return FormatMessageText(OV_CAP_STATUS_PAGE, {page, pageTotal, itemCount});
    return FormatMessageText(OV_CAP_STATUS_PAGE_NAMED,
                             {std::to_wstring(page), std::to_wstring(pageTotal),
                              TextShortened(name, OV_STATUS_NAME_MOST),
                              std::to_wstring(itemCount)});
}

namespace {

// Selects the status bar's font and transparent text for as long as it lives.
class TPanelText {
  public:
    TPanelText(HDC dc, HWND bar) : dc_(dc) {
        auto font = reinterpret_cast<HGDIOBJ>(::SendMessageW(bar, WM_GETFONT, 0, 0));
        previousFont_ = font ? ::SelectObject(dc, font) : nullptr;
        previousMode_ = ::SetBkMode(dc, TRANSPARENT);
        previousColour_ = ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    }
    ~TPanelText() {
        ::SetTextColor(dc_, previousColour_);
        ::SetBkMode(dc_, previousMode_);
        if (previousFont_)
            ::SelectObject(dc_, previousFont_);
    }
    void Out(int x, int y, const std::wstring& text) {
        ::TextOutW(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
    }

  private:
    HDC dc_;
    HGDIOBJ previousFont_;
    int previousMode_;
    COLORREF previousColour_;
};

} // namespace

void StatusPanelsUpdate(TFrmOvMain& form) {
    TStatusPanels& panels = form.StatusPanels;
    if (form.Search().ResultsShown()) {
        panels.pageText = FormatMessageText(
            form.Search().Searching() ? OV_CAP_STATUS_SEARCHING : OV_CAP_STATUS_FOUND,
            {form.Search().FoundItems(), form.Search().FoundPages()});
        panels.folder.clear();
        panels.folderIcon = false;
        panels.iconWanted = false;
        return;
    }
    const std::wstring name = PageNameRead(form.CurrentPage);
    panels.pageText =
        StatusPageText(form.CurrentPage, form.PageTotal,
                       PageItemCount(form.CurrentPage) +
                           static_cast<int32_t>(form.Fill().Pending(form.CurrentPage)),
                       name);
    // The caption, and the application window's that carries the taskbar button and shows in
    // Alt+Tab, say which page is shown; the product's name stays the application's title.
    const std::wstring caption =
        name.empty() ? Application.Title()
                     : FormatMessageText(OV_CAP_TITLE_NAMED, {Application.Title(), name});
    form.SetCaption(caption);
    if (Application.Handle())
        ::SetWindowTextW(Application.Handle(), caption.c_str());
    panels.folder = PageFolderRead(form.CurrentPage);
    panels.folderIcon = false;
    panels.iconWanted = false;
    if (panels.folder.empty())
        return;
    HIMAGELIST images = form.CptImlDefImages.Get();
    panels.folderIcon = images && panels.iconFolder == panels.folder &&
                        panels.iconImages == images && ::ImageList_GetImageCount(images) > 0;
    panels.iconWanted = !panels.folderIcon;
}

bool StatusFolderIconLoad(TFrmOvMain& form) {
    TStatusPanels& panels = form.StatusPanels;
    if (!panels.iconWanted)
        return false;
    panels.iconWanted = false;
    panels.iconFolder.clear();
    HIMAGELIST images = form.CptImlDefImages.Get();
    // As a row of the folder would show it: a folder's icon is seldom its own.
    TIconPair own;
    HICON smallIcon = ListIconSmall(panels.folder, own);
    if (smallIcon && images) {
        // One slot, reused for every folder shown.
        const int slot = ::ImageList_GetImageCount(images) > 0 ? 0 : -1;
        panels.folderIcon = ::ImageList_ReplaceIcon(images, slot, smallIcon) >= 0;
        if (panels.folderIcon) {
            panels.iconFolder = panels.folder;
            panels.iconImages = images;
        }
    }
    ::InvalidateRect(form.CptSbrStatus, nullptr, TRUE);
    return true;
}

void StatusPanelPaint(const TFrmOvMain& form, int32_t panel, HDC dc, const RECT& rect) {
    const TStatusPanels& panels = form.StatusPanels;
    const int margin = form.Scaled(2);
    if (panel == 0) {
        TPanelText(dc, form.CptSbrStatus)
            .Out(rect.left + margin, rect.top + margin, panels.pageText);
    } else if (panel == 1 && !panels.folder.empty()) {
        if (panels.folderIcon)
            ::ImageList_Draw(form.CptImlDefImages.Get(), 0, dc, rect.left + margin,
                             rect.top + form.Scaled(1), ILD_NORMAL);
        // The text starts half an icon's width after the icon.
        const int icon = form.ItemIconSizes().small;
        TPanelText(dc, form.CptSbrStatus)
            .Out(rect.left + icon + icon / 2, rect.top + margin, panels.folder);
    }
}

namespace {

void ComboFill(HWND combo, const std::vector<std::wstring>& entries) {
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& entry : entries)
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
}

} // namespace

void OptionCaptionsSet(TFrmOvOptn& form) {
    HKEY hkcu = HKEY_CURRENT_USER;
    const std::wstring version = RegStrRead(hkcu, OvKeySystem, OvValVersion);
    const std::wstring copyright = RegStrRead(hkcu, OvKeySystem, OvValCopyright);
    ::SetWindowTextW(form.CptLblVerAndCopyright, (version + L" " + copyright).c_str());
    std::wstring url = L" ";
    url += RegStrRead(hkcu, OvKeySystem, OvValUrl);
    ::SetWindowTextW(form.CptLblURL, url.c_str());
    ::SetWindowTextW(form.CptCbxHook, OV_CAP_OPTN_HOOK);
    ::SetWindowTextW(form.CptLblShortCutKey, OV_CAP_OPTN_SHORTCUTKEY);
    ::SetWindowTextW(form.CptCbxMoveMouse, OV_CAP_OPTN_MOVEMOUSE);
    ::SetWindowTextW(form.CptCbxHideTaskbar, OV_CAP_OPTN_HIDETASKBAR);
    ::SetWindowTextW(form.CptLblToolBar, OV_CAP_OPTN_TOOLBAR);
    ::SetWindowTextW(form.CptCbxSignIn, OV_CAP_OPTN_SIGNIN);
    ::SetWindowTextW(form.CptLblSignInNote, OV_CAP_OPTN_SIGNIN_OTHER);
    ::SetWindowTextW(form.CptCbxTrayIcon, OV_CAP_OPTN_TRAYICON);
    ::SetWindowTextW(form.CptCbxHookSearch, OV_CAP_OPTN_HOOKSEARCH);
    ::SetWindowTextW(form.CptBtnExport, OV_CAP_OPTN_EXPORT);
    ::SetWindowTextW(form.CptBtnImport, OV_CAP_OPTN_IMPORT);
    ::SetWindowTextW(form.CptBtnSet, OV_CAP_OPTN_SET);
    ::SetWindowTextW(form.CptBtnCancel, OV_CAP_OPTN_CANCEL);
    ComboFill(form.CptCmbShortCutKey,
              CommaTextSplit(RegStrRead(hkcu, OvKeyOption, OvValHookKeyCharTbl)));
    ComboFill(form.CptCmbToolBar,
              CommaTextSplit(RegStrRead(hkcu, OvKeyOption, OvValToolBarPosTbl)));
}

void OptionValuesLoad(TFrmOvOptn& form) {
    HKEY hkcu = HKEY_CURRENT_USER;
    const bool hookKey = RegBoolRead(hkcu, OvKeyOption, OvValHookKey);
    if (CheckBoxTicked(form.CptCbxHook) != hookKey) {
        CheckBoxSet(form.CptCbxHook, hookKey);
        form.CptCbxHookClick();
    }
    // With the hot key off the two stored window options are not shown.
    CheckBoxSet(form.CptCbxMoveMouse, false);
    CheckBoxSet(form.CptCbxHideTaskbar, false);
    CheckBoxSet(form.CptCbxHookSearch, false);
    if (CheckBoxTicked(form.CptCbxHook)) {
        CheckBoxSet(form.CptCbxMoveMouse, RegBoolRead(hkcu, OvKeyOption, OvValHereMouse));
        CheckBoxSet(form.CptCbxHideTaskbar, RegBoolRead(hkcu, OvKeyOption, OvValHideTaskbar));
        CheckBoxSet(form.CptCbxHookSearch, OptionFlagRead(OvValHookSearch));
    }
    // The truth of the Run key, read at each opening: another program may have changed it.
    form.SignInShown = SignInStateRead(ProgramPath());
    CheckBoxSet(form.CptCbxSignIn, form.SignInShown == TSignInState::ThisCopy);
    ::ShowWindow(form.CptLblSignInNote,
                 form.SignInShown == TSignInState::OtherCopy ? SW_SHOWNA : SW_HIDE);
    CheckBoxSet(form.CptCbxTrayIcon, TrayIconWanted());

    const std::vector<std::wstring> codes =
        CommaTextSplit(RegStrRead(hkcu, OvKeyOption, OvValHookKeyNoTbl));
    const std::wstring stored = std::to_wstring(RegIntRead(hkcu, OvKeyOption, OvValHookKeyNo));
    int found = -1;
    for (size_t i = 0; i < codes.size(); ++i) {
        if (codes[i] == stored) {
            found = static_cast<int>(i);
            break;
        }
    }
    // An index past the list's end, like -1, leaves nothing selected.
    ::SendMessageW(form.CptCmbShortCutKey, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    ::SendMessageW(form.CptCmbToolBar, CB_SETCURSEL,
                   static_cast<WPARAM>(RegIntRead(hkcu, OvKeyOption, OvValToolBarPos)), 0);
}
