// The item list's view: the view button and its menu, the view styles, the column headers' sort,
// and the page list under the next button's arrow. The handlers are TFrmOvMain's (uOvMain declares
// them); this unit holds them.
#include "uOvMain.h"

#include "uOvFrmDef.h"
#include "uOvLvw.h"
#include "uOvPmu.h"

#include <commctrl.h>

void TFrmOvMain::ViewMenuDropDown() {
    RECT rc;
    ::SendMessageW(CptTbrToolBar, TB_GETRECT, IDC_TBN_VIEWSTYLE, reinterpret_cast<LPARAM>(&rc));
    ::MapWindowPoints(CptTbrToolBar, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    ::SendMessageW(CptTbrToolBar, TB_PRESSBUTTON, IDC_TBN_VIEWSTYLE, TRUE);
    TPMPARAMS tpm{sizeof(tpm), rc};
    ::TrackPopupMenuEx(CptPmuViewStyle.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL, rc.left,
                       rc.bottom, Handle(), &tpm);
    ::SendMessageW(CptTbrToolBar, TB_PRESSBUTTON, IDC_TBN_VIEWSTYLE, FALSE);
}

void TFrmOvMain::ViewStyleButtonRelease() {
    ::SendMessageW(CptTbrToolBar, TB_PRESSBUTTON, IDC_TBN_VIEWSTYLE, FALSE);
}

void TFrmOvMain::CptLvwItemsColumnClick(int column) {
    SortColumn = column;
    SortOrder = SortOrder * -1;
    ListSort(column, SortOrder);
}

void TFrmOvMain::CptTbnViewStyleClick() {
    ViewStyle = ViewStyle + 1;
    if (ViewStyle > 3)
        ViewStyle = 0;
    ViewStyleSet(ViewStyle);
    ViewMenuCheck(CptPmuViewStyle.Get(), ViewStyle);
    ViewStyleButtonRelease();
}

void TFrmOvMain::CptPmuViewStyleClick(int entry) {
    ViewMenuUncheckAll(CptPmuViewStyle.Get());
    ::CheckMenuItem(CptPmuViewStyle.Get(), static_cast<UINT>(entry), MF_BYPOSITION | MF_CHECKED);
    ViewMenuCheckedIndex(CptPmuViewStyle.Get(), ViewStyle);
    ViewStyleSet(ViewStyle);
    ViewStyleButtonRelease();
}

void TFrmOvMain::PageListDropDown() {
    RECT rc{};
    ::SendMessageW(CptTbrToolBar, TB_GETRECT, IDC_TBN_NEXT, reinterpret_cast<LPARAM>(&rc));
    ::MapWindowPoints(CptTbrToolBar, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    ::SendMessageW(CptTbrToolBar, TB_PRESSBUTTON, IDC_TBN_NEXT, TRUE);
    pages_.PageListOpen({rc.left, rc.bottom});
    ::SendMessageW(CptTbrToolBar, TB_PRESSBUTTON, IDC_TBN_NEXT, FALSE);
}
