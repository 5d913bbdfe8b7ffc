// The benchmark's scroll case.
#include "uBenchScroll.h"

#include "uBenchCommon.h"
#include "uCmnError.h"
#include "uCmnFile.h"
#include "uOvLvw.h"
#include "uOvRowIcon.h"
#include "uOvMain.h"
#include "uOvReg.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

// True when every row on screen shows an image. Asking for a row's image is what a paint does,
// so a row not yet asked for is put in line here too.
bool ScreenShowsIcons(HWND list) {
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    const int top = static_cast<int>(::SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    // One more than the whole rows: a row cut by the bottom edge shows too.
    const int shown = static_cast<int>(::SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0)) + 1;
    for (int item = top; item < count && item < top + shown; ++item) {
        LVITEMW lvi{};
        lvi.mask = LVIF_IMAGE;
        lvi.iItem = item;
        if (!::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&lvi)) ||
            lvi.iImage < 0)
            return false;
    }
    return true;
}

// Milliseconds until the rows on screen show their icons, the icons loading as in the
// program's idle time: slices of 20 ms with the paints they cause in between.
double UntilScreenShowsIcons(HWND list) {
    const double start = Now();
    ::UpdateWindow(list);
    for (;;) {
        const bool waiting = ListIconsLoad();
        PumpMessages();
        if (ScreenShowsIcons(list) || !waiting)
            break;
    }
    ::UpdateWindow(list);
    return Now() - start;
}

// What dragging the scroll box does to the list: it moves a screen at a time and each new
// screen is painted, while the program gets no idle time.
void DragToEnd(HWND list) {
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    int top = -1;
    while (top != static_cast<int>(::SendMessageW(list, LVM_GETTOPINDEX, 0, 0))) {
        top = static_cast<int>(::SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
        ::SendMessageW(list, WM_VSCROLL, SB_PAGEDOWN, 0);
        ::UpdateWindow(list);
    }
    ::SendMessageW(list, LVM_ENSUREVISIBLE, count - 1, FALSE);
    ::UpdateWindow(list);
}

} // namespace

void ScrollCase(TFrmOvMain& form, int page, const std::wstring& folder,
                const std::wstring& sampleExe, int count, int runs) {
    if (!::CreateDirectoryW(folder.c_str(), nullptr))
        throw std::runtime_error("cannot create " + Utf8Of(folder));
    for (int i = 0; i < count; ++i) {
        const std::wstring number = std::to_wstring(i);
        const std::wstring path =
            folder + L"\\prog" + std::wstring(5 - number.size(), L'0') + number + L".exe";
        if (!::CopyFileW(sampleExe.c_str(), path.c_str(), FALSE))
            throw std::runtime_error("cannot copy to " + Utf8Of(path));
    }
    std::vector<std::wstring> listing;
    FolderList(folder, L"*", listing);
    PageFolderAdd(page, folder, listing);
    form.PageTotal = PageCount();

    Line("%s", "");
    Line("scroll: a folder page of %s programs, each with its own icon; per run: refresh, first "
         "screen's icons at the top, drag to the end, last screen's icons",
         Grouped(count).c_str());
    std::printf("  top/end ms:");
    std::vector<double> tops, ends;
    HWND list = form.CptLvwItems;
    for (int run = 0; run < runs; ++run) {
        form.CurrentPage = page;
        form.CptPmuItemBtnUpdateClick();
        // The refresh keeps the list's scroll position.
        ::SendMessageW(list, LVM_ENSUREVISIBLE, 0, FALSE);
        tops.push_back(UntilScreenShowsIcons(list));
        DragToEnd(list);
        ends.push_back(UntilScreenShowsIcons(list));
        std::printf(" %.0f/%.0f", tops.back(), ends.back());
        std::fflush(stdout);
    }
    Line(" ms");
    const double top = Median(tops), end = Median(ends);
    Line("%-42s %4s %10s", "case", "runs", "median ms");
    Line("%-42s %4d %10.1f", "(f) first screen's icons at the top", runs, top);
    Line("%-42s %4d %10.1f   x%.2f of the top (target: x1.5 at most)",
         "(g) last screen's icons after a drag", runs, end, end / top);
}
