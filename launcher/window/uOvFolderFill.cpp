// The main window's side of a folder dropped as a new page: the lister's listing shown when it
// arrives, and the store's writes a slice at a time (the work itself is uOvFill's).
#include "uCmnApp.h"
#include "uOvFrmDef.h"
#include "uOvLvw.h"
#include "uOvMain.h"

#include <commctrl.h>

void TFrmOvMain::PageFillStart(int32_t page, const std::wstring& folder) {
    fill_.List(page, folder);
}

void TFrmOvMain::FolderListed() {
    for (auto& [page, items] : fill_.Listed()) {
        ::SetTimer(Handle(), OV_TIMER_FILL, 1, nullptr);
        // Rows the page got meanwhile (a refresh listed the folder itself) stay as they are.
        if (page != CurrentPage || search_.ResultsShown() || ListView_GetItemCount(CptLvwItems) > 0)
            continue;
        {
            TListUpdate update;
            ListFill(std::move(items));
            ListSort(SortColumn, SortOrder);
        }
        StatusRepaint();
    }
}

void TFrmOvMain::PageFillStep() noexcept {
    // At most 15 ms a slice: the window answers between two.
    bool more = false;
    RunStep([&] { more = fill_.Step(15); });
    if (!more)
        ::KillTimer(Handle(), OV_TIMER_FILL);
}
