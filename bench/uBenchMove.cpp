// The move case: 1,000 selected rows moved to another page against the drop that added them.
#include "uBenchMove.h"

#include "uBenchCommon.h"
#include "uCmnFile.h"
#include "uOvLvw.h"
#include "uOvMain.h"
#include "uOvPageCmd.h"
#include "uOvReg.h"
#include "uTestSupport.h"

#include <commctrl.h>

#include <algorithm>

bool MoveCase(TFrmOvMain& form, const std::wstring& folder, int items, int runs) {
    std::vector<std::wstring> listing;
    FolderList(folder, L"*", listing);
    std::sort(listing.begin(), listing.end());
    listing.resize(std::min(listing.size(), static_cast<size_t>(items)));
    const int32_t from = PageCount() + 1, to = from + 1;
    PageCreate(from, L"");
    PageCreate(to, L"");
    form.PageTotal = PageCount();
    form.Pages().PageGo(from);
    PumpMessages();

    Line("Moving %s selected items to another page, against adding them by a drop",
         Grouped(static_cast<long long>(listing.size())).c_str());
    std::vector<double> drops, moves;
    bool whole = true;
    for (int run = 0; run < runs; ++run) {
        const double dropStart = Now();
        form.FilesDropped(MakeDrop(listing, {4, 4}));
        ::UpdateWindow(form.Handle());
        const double dropped = Now() - dropStart;
        PumpMessages();
        ListView_SetItemState(form.CptLvwItems, -1, LVIS_SELECTED, LVIS_SELECTED);
        const double moveStart = Now();
        form.Pages().ItemsMoveTo(ListSelectedRows(), to);
        ::UpdateWindow(form.Handle());
        const double moved = Now() - moveStart;
        PumpMessages();
        const bool right =
            PageItemCount(from) == 0 && PageItemCount(to) == static_cast<int32_t>(listing.size());
        whole = whole && right;
        Line("  round %d: drop %.1f ms, move %.1f ms%s", run + 1, dropped, moved,
             right ? "" : "  (items lost or doubled)");
        drops.push_back(dropped);
        moves.push_back(moved);
        PageClear(to);
    }
    const double drop = Median(drops), move = Median(moves);
    Line("  median: drop %.1f ms, move %.1f ms, move/drop %.2fx (target at most 1.5x: %s)", drop,
         move, move / drop, move <= 1.5 * drop ? "met" : "missed");
    return whole;
}
