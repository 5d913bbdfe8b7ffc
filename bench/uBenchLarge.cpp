// The large selection and the large folder drop.
#include "uBenchLarge.h"

#include "uBenchCommon.h"
#include "uCmnFile.h"
#include "uOvFrmDef.h"
#include "uOvLvw.h"
#include "uOvMain.h"
#include "uOvPageCmd.h"
#include "uOvReg.h"
#include "uTestSupport.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

double menuShown = 0;

// The row menu's loop tells its owner it is idle (WM_ENTERIDLE) once the menu is up and has
// nothing to do: that moment is noted and the menu closed.
LRESULT CALLBACK MenuUp(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_ENTERIDLE && sent->wParam == MSGF_MENU &&
        menuShown == 0) {
        menuShown = Now();
        ::EndMenu();
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

void SelectionCase(TFrmOvMain& form, int rows, int runs) {
    TPageEntries entries(static_cast<size_t>(rows));
    const std::wstring folder = L"C:\\bench";
    for (int i = 0; i < rows; ++i) {
        TPageEntry& entry = entries[static_cast<size_t>(i)];
        entry.name = L"file " + std::to_wstring(i) + L".txt";
        entry.path = folder + L"\\" + entry.name;
        entry.found = true;
        entry.page = form.CurrentPage;
        entry.record.Size64 = (static_cast<int64_t>(i) * 7919) % rows;
        entry.record.Time = static_cast<uint32_t>(i);
    }
    Line("%s", "");
    Line("large selections: %s rows, all selected with Ctrl+A, %d rounds", Grouped(rows).c_str(),
         runs);
    // Each command is timed twice: with every row selected, and with one row selected among as
    // many, the same rows in the same order. The second is the yardstick: the sort of 50,000 rows
    // and the menu's window are the command's own work, whatever the selection.
    std::vector<double> selects, sorts, collects, menus, oneSorts, oneMenus;
    HWND list = form.CptLvwItems;
    auto fill = [&] {
        ListFill(entries);
        ::SetFocus(list);
        ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
        ::UpdateWindow(form.Handle());
        PumpMessages();
    };
    // The column's sort up from the rows' fill order, in both cases.
    auto columnClick = [&](int column) {
        form.SortOrder = -1;
        const double start = Now();
        form.CptLvwItemsColumnClick(column);
        ::UpdateWindow(list);
        return Now() - start;
    };
    auto menuUp = [&] {
        PumpMessages();
        HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, MenuUp, nullptr, ::GetCurrentThreadId());
        menuShown = 0;
        const double start = Now();
        form.ItemMenusOpen({-1, -1});
        ::UnhookWindowsHookEx(hook);
        const double took = menuShown > 0 ? menuShown - start : Now() - start;
        PumpMessages();
        return took;
    };
    for (int run = 0; run < runs; ++run) {
        const int column = 1 + run % 3;
        fill();
        ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
        oneSorts.push_back(columnClick(column));
        oneMenus.push_back(menuUp());
        fill();
        double start = Now();
        ::SendMessageW(form.Handle(), WM_COMMAND, IDM_KEY_SELECTALL, 0);
        ::UpdateWindow(list);
        selects.push_back(Now() - start);
        sorts.push_back(columnClick(column));
        start = Now();
        const size_t collected = ListSelectedRows().size();
        collects.push_back(Now() - start);
        if (collected != static_cast<size_t>(rows))
            Line("  ^ %s rows collected of %s", Grouped(static_cast<long long>(collected)).c_str(),
                 Grouped(rows).c_str());
        menus.push_back(menuUp());
        Line("  round %d: Ctrl+A %.1f ms, column click %.1f ms (one row selected: %.1f), rows "
             "collected %.1f ms, row menu up %.1f ms (one row selected: %.1f)",
             run + 1, selects.back(), sorts.back(), oneSorts.back(), collects.back(), menus.back(),
             oneMenus.back());
    }
    const double sort = Median(sorts), collect = Median(collects), menu = Median(menus);
    const double oneSort = Median(oneSorts), oneMenu = Median(oneMenus);
    Line("  median: Ctrl+A %.1f ms; column click %.1f ms, with one row selected %.1f ms: %+.1f ms "
         "(target at most 100 ms beyond it: %s); Delete's collection %.1f ms (target 100 ms: %s); "
         "row menu %.1f ms, with one row selected %.1f ms: %+.1f ms (target at most 100 ms beyond "
         "it: %s)",
         Median(selects), sort, oneSort, sort - oneSort, Verdict(sort <= oneSort + 100), collect,
         Verdict(collect <= 100), menu, oneMenu, menu - oneMenu, Verdict(menu <= oneMenu + 100));
    // Where a column click's time goes: the sort of the rows itself, with the selection kept.
    std::vector<double> bare;
    for (int run = 0; run < runs; ++run) {
        const double start = Now();
        ListSort(1 + run % 3, run % 2 ? -1 : 1);
        bare.push_back(Now() - start);
    }
    Line("  of a column click: the rows' sort with their selection kept %.1f ms, the rest (the "
         "header, the paint of a screen) %.1f ms",
         Median(bare), sort - Median(bare));
    ListFill(TPageEntries{});
}

// The longest message the window handled while a page was filled, and which it was.
struct TLongest {
    double ms = 0;
    UINT message = 0;
    WPARAM wParam = 0;
};

// Handles one waiting message, if any, timing it; false when none waited.
bool OneMessage(TLongest& longest) {
    MSG msg;
    if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    const double start = Now();
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
    if (const double took = Now() - start; took > longest.ms)
        longest = {took, msg.message, msg.wParam};
    return true;
}

bool FolderDropCase(TFrmOvMain& form, const std::wstring& folder, int runs) {
    std::vector<std::wstring> listing;
    FolderList(folder, L"*", listing);
    Line("%s", "");
    Line("a folder of %s files dropped as a new page, the window sent a message every 5 ms "
         "meanwhile, %d rounds",
         Grouped(static_cast<long long>(listing.size())).c_str(), runs);
    // Where the drop's first show goes: the listing made into items (on the lister's thread), the
    // rows, their sort.
    {
        double start = Now();
        const TPageEntries items = PageFolderItems(form.CurrentPage, folder);
        const double listed = Now() - start;
        start = Now();
        ListFill(items);
        const double filled = Now() - start;
        start = Now();
        ListSort(0, 1);
        const double sorted = Now() - start;
        start = Now();
        ::InvalidateRect(form.CptLvwItems, nullptr, TRUE);
        ::UpdateWindow(form.CptLvwItems);
        Line("  of the first show: the folder listed and made into items %.1f ms (on a thread of "
             "its "
             "own), the rows %.1f "
             "ms, their sort by name %.1f ms, one screen's paint %.1f ms",
             listed, filled, sorted, Now() - start);
        form.Pages().PageGo(1);
    }
    std::vector<double> waits, shows, wholes;
    bool right = true;
    for (int run = 0; run < runs; ++run) {
        PumpMessages();
        std::atomic<bool> stop{false}, stopped{false};
        std::atomic<double> longest{0};
        HWND window = form.Handle();
        std::thread sender([&] {
            while (!stop) {
                const double sent = Now();
                DWORD_PTR answer = 0;
                ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer);
                longest = std::max(longest.load(), Now() - sent);
                ::Sleep(5);
            }
            stopped = true;
        });
        const int32_t before = PageCount();
        const double start = Now();
        // Outside the list's rows: onto a program row it would start the program with it.
        form.FilesDropped(MakeDrop({folder}, {4, 4}, false));
        TLongest handled{Now() - start, WM_DROPFILES, 0};
        // Listed on a thread: shown once the listing's rows are in the list and painted.
        while (form.Fill().Listing(form.CurrentPage))
            if (!OneMessage(handled))
                ::Sleep(1);
        ::UpdateWindow(form.Handle());
        const double shown = Now() - start;
        while (form.Fill().Busy())
            if (!OneMessage(handled))
                ::Sleep(1);
        const double whole = Now() - start;
        // Its last message is answered while it winds down.
        stop = true;
        while (!stopped)
            PumpMessages(5);
        sender.join();
        PumpMessages();
        const int32_t page = form.CurrentPage;
        if (page != before + 1 || PageCount() != before + 1) {
            Line("  the drop made no new page");
            return false;
        }
        const bool pageRight = PageFolderRead(page) == folder &&
                               PageItemCount(page) == static_cast<int32_t>(listing.size());
        right = right && pageRight;
        Line("  round %d: shown whole %.1f ms, longest wait for an answer %.1f ms, store whole "
             "%.1f ms; the longest message handled meanwhile %.1f ms (0x%04x, %u)%s",
             run + 1, shown, longest.load(), whole, handled.ms, handled.message,
             static_cast<unsigned>(handled.wParam),
             pageRight ? "" : "  (the page is not the folder)");
        waits.push_back(longest);
        shows.push_back(shown);
        wholes.push_back(whole);
        PageRemove(page, PageCount());
        form.PageTotal = PageCount();
        form.Pages().PageGo(1);
    }
    const double wait = Median(waits);
    Line("  median: shown whole %.1f ms, longest wait for an answer %.1f ms (target 100 ms: %s), "
         "store whole %.1f ms",
         Median(shows), wait, Verdict(wait <= 100), Median(wholes));
    return right;
}
