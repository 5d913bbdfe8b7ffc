// Check marks of the view-style menu.
#include "uOvPmu.h"

#include "uOvFrmDef.h"

#include <windows.h>

namespace {

// The entries before the refresh entry: the four views and the separator.
constexpr int CheckableEntries = IDM_PMU_BTNUPDATE - IDM_PMU_ICON;

} // namespace

void ViewMenuUncheckAll(HMENU menu) {
    for (int i = 0; i < CheckableEntries; ++i)
        ::CheckMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | MF_UNCHECKED);
}

void ViewMenuCheck(HMENU menu, int32_t style) {
    ViewMenuUncheckAll(menu);
    // A style that names no view entry (outside edits only) checks the large-icon view,
    // the view that ViewStyleSet shows for it; the separator never gets a mark.
    if (style < 0 || style > 3)
        style = 0;
    ::CheckMenuItem(menu, static_cast<UINT>(style), MF_BYPOSITION | MF_CHECKED);
}

void ViewMenuCheckedIndex(HMENU menu, int32_t& style) {
    for (int i = 0; i < CheckableEntries; ++i) {
        if (::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) {
            style = i;
            return;
        }
    }
}
