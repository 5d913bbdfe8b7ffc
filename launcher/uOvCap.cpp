// Sets the fixed texts of the main window.
#include "uOvCap.h"

#include "uCmnApp.h"
#include "uOvCapDef.h"
#include "uOvFrmDef.h"
#include "uOvMain.h"

#include <commctrl.h>

namespace {

void ButtonCaptionSet(HWND toolbar, int id, const char* text) {
    TBBUTTONINFOA info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_TEXT;
    info.pszText = const_cast<char*>(text);
    ::SendMessageA(toolbar, TB_SETBUTTONINFOA, id, reinterpret_cast<LPARAM>(&info));
}

void MenuCaptionSet(HMENU menu, int id, const char* text) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<char*>(text);
    ::SetMenuItemInfoA(menu, static_cast<UINT>(id), FALSE, &info);
}

void ColumnAdd(HWND list, int index, const char* text) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = OV_COLUMN_WIDTH;
    column.pszText = const_cast<char*>(text);
    column.iSubItem = index;
    ::SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

} // namespace

void CaptionsSet() {
    TFrmOvMain& form = *FrmOvMain;
    Application.SetTitle(OV_APP_TITLE);
    form.SetCaption(Application.Title());
    for (int i = 0; i < OV_TOOLBAR_BUTTONS; ++i)
        ButtonCaptionSet(form.CptTbrToolBar, IDC_TBN_BEFORE + i, OV_CAP_BUTTONS[i]);
    for (int i = 0; i < OV_TOOLBAR_BUTTONS; ++i)
        form.CptTbnHints[i] = OV_CAP_BUTTONS[i];
    for (int i = 0; i < 4; ++i)
        MenuCaptionSet(form.CptPmuViewStyle.Get(), IDM_PMU_ICON + i, OV_CAP_MENU_VIEWS[i]);
    MenuCaptionSet(form.CptPmuViewStyle.Get(), IDM_PMU_BTNUPDATE, OV_CAP_MENU_BTNUPDATE);
    for (int i = 0; i < 5; ++i)
        ColumnAdd(form.CptLvwItems, i, OV_CAP_COLUMNS[i]);
    LVCOLUMNA align{};
    align.mask = LVCF_FMT;
    align.fmt = LVCFMT_RIGHT;
    ::SendMessageA(form.CptLvwItems, LVM_SETCOLUMNA, OV_COLUMN_SIZE,
                   reinterpret_cast<LPARAM>(&align));
}
