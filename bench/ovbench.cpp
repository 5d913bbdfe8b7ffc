// Times the refresh of the current page on large pages against the least work that shows the
// same folder, watches the process's private memory over many refreshes, times the icons of the
// rows on screen after a drag through a page of programs, times the search over 50 pages and the
// move of 1,000 items to another page against their drop, and
// times the launcher's start against a blank window and its call-up by the hot key from outside. It
// builds its own folders under the temporary folder and its own settings tree, removes both at the
// end and prints plain text. Speed is judged from these figures, never from timed assertions in
// tests.
//
//   ovbench [--runs=N] [--runs-large=N] [--memory-refreshes=N] [--budget=S] [--memory-budget=S]
//           [--memory-only=1] [--start-runs=N] [--start-only=1] [--scroll-runs=N]
//           [--scroll-only=1] [--search-runs=N] [--search-only=1] [--move-runs=N]
//           [--move-only=1] [--backup-runs=N] [--backup-only=1] [--large-runs=N]
//           [--large-only=1] [--callup-runs=N] [--callup-only=1] [--probe=1]
//
// --probe=1 times the refresh cases and the floor only, with a breakdown of each refresh into its
// stages and of the icon look-ups by kind of file: where the time goes, in a few minutes.
//
// A case on 1,000 entries starts with one untimed warm-up run that fills the caches of the
// shell, the registry and the file system, so every timed run sees the same warm state. Each
// case stops adding runs once it has used its budget (0: no budget), but not before a minimum.
#include "uBenchBackup.h"
#include "uBenchCallUp.h"
#include "uBenchCommon.h"
#include "uBenchFolders.h"
#include "uBenchMemory.h"
#include "uBenchLarge.h"
#include "uBenchOptions.h"
#include "uBenchMove.h"
#include "uBenchProbe.h"
#include "uBenchScroll.h"
#include "uBenchSearch.h"
#include "uBenchStart.h"
#include "uCmnApp.h"
#include "uCmnError.h"
#include "uCmnFile.h"
#include "uCmnHandle.h"
#include "uCmnReg.h"
#include "uOvLvw.h"
#include "uOvRowIcon.h"
#include "uOvCfg.h"
#include "uOvMain.h"
#include "uOvReg.h"
#include "uOvRegDef.h"
#include "uTestFiles.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The search case's pages: as many pages of as many items, the entries of the 1,000-file folder.
constexpr int SearchPages = 50;
constexpr int SearchItems = 1000;

// Programs in the scroll case's page: each costs an icon extraction of its own.
constexpr int ScrollPrograms = 5000;

// The fewest runs (refreshes) a case makes whatever its budget: a median wants three.
constexpr int MinRuns = 3;
constexpr int MinRunsLarge = 1;

// ---------------------------------------------------------------------------------------------
// Cases

// How often a case runs. Timed runs stop at `planned`, or once the case has used its budget
// but never before `minimum`: a slow build still gets its figures in bounded time, and says how
// many runs they rest on.
struct TPlan {
    bool warmUp = true;
    int planned = 1;
    int minimum = 1;
    double budgetMs = 0; // 0: no budget
};

struct TResult {
    std::string label;
    int expectedRows = 0;
    const TResult* baseline = nullptr;
    const TResult* floor = nullptr;
    // Until the refresh is complete: every row in the list, sorted, the visible ones painted.
    std::vector<double> times{};
    // Until the first screen of rows is painted with its icons.
    std::vector<double> firstScreen{};
    int rows = 0;
};

// Paints what is waiting and loads the icons the list has asked for, until the rows on screen
// show their own icons.
void IconsSettle(HWND list) {
    do
        PumpMessages();
    while (ListIconsLoad(1000));
    ::UpdateWindow(list);
}

// Each run ends with UpdateWindow of the list, so the rows the user can see are painted inside
// the time; a run of the launcher then goes on until those rows show their icons. Whatever else
// is left waiting runs untimed between the runs.
template <typename Run>
void Measure(TResult& result, HWND list, const TPlan& plan, bool icons, Run run) {
    std::printf("  %s:", result.label.c_str());
    std::fflush(stdout);
    const double caseStart = Now();
    for (int i = plan.warmUp ? -1 : 0; i < plan.planned; ++i) {
        if (i >= plan.minimum && plan.budgetMs > 0 && Now() - caseStart >= plan.budgetMs) {
            std::printf(" (budget used)");
            break;
        }
        PumpMessages();
        const double start = Now();
        run();
        ::UpdateWindow(list);
        const double complete = Now() - start;
        if (icons)
            IconsSettle(list);
        const double firstScreen = Now() - start;
        result.rows = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        if (i >= 0) {
            result.times.push_back(complete);
            result.firstScreen.push_back(firstScreen);
        }
        std::printf(" %.0f/%.0f%s", complete, firstScreen, i < 0 ? " (warm-up)" : "");
        std::fflush(stdout);
    }
    Line(" ms");
    PumpMessages();
}

void RefreshCase(TResult& result, TFrmOvMain& form, int page, const TPlan& plan) {
    Measure(result, form.CptLvwItems, plan, true, [&] {
        form.CurrentPage = page;
        form.CptPmuItemBtnUpdateClick();
    });
}

// The private memory over refreshes of the folder page `page`, each until its first screen shows
// its icons.
TMemoryResult MemoryOfRefreshes(TFrmOvMain& form, int page, const TOptions& options) {
    form.CurrentPage = page;
    return MemoryCase(
        [&] {
            form.CptPmuItemBtnUpdateClick();
            IconsSettle(form.CptLvwItems);
        },
        options.memoryRefreshes, options.memoryBudgetSeconds * 1000.0);
}

void BaselineCase(TResult& result, TBaseline& baseline, const std::wstring& folder,
                  const TPlan& plan) {
    Measure(result, baseline.List(), plan, false, [&] { baseline.Show(folder); });
}

std::string Ratio(double value, const TResult* to) {
    if (!to || to->times.empty())
        return "-";
    char text[32];
    std::snprintf(text, sizeof(text), "x%.3f", value / Median(to->times));
    return text;
}

bool Report(const std::vector<const TResult*>& results) {
    bool allRows = true;
    Line("%s", "");
    Line("%-42s %4s %10s %10s %10s %12s %9s %9s", "case", "runs", "median ms", "min ms", "max ms",
         "1st screen", "ratio (d)", "ratio (e)");
    for (const TResult* r : results) {
        const double median = Median(r->times);
        Line("%-42s %4d %10.1f %10.1f %10.1f %12.1f %9s %9s", r->label.c_str(),
             static_cast<int>(r->times.size()), median,
             *std::min_element(r->times.begin(), r->times.end()),
             *std::max_element(r->times.begin(), r->times.end()), Median(r->firstScreen),
             Ratio(median, r->baseline).c_str(), Ratio(median, r->floor).c_str());
        if (r->rows != r->expectedRows) {
            Line("  ^ showed %s rows, expected %s", Grouped(r->rows).c_str(),
                 Grouped(r->expectedRows).c_str());
            allRows = false;
        }
    }
    Line("median: until the refresh is complete (all rows in, sorted, the visible ones painted)");
    Line("1st screen: median until the visible rows are painted with their icons");
    Line("ratio: median over the median of (d) or (e) on the same number of entries");
    return allRows;
}

// Per run, the time from the refresh's completion until the first screen shows its icons.
double IconsMedian(const TResult& r) {
    std::vector<double> icons;
    for (size_t i = 0; i < r.times.size(); ++i)
        icons.push_back(r.firstScreen[i] - r.times[i]);
    return Median(icons);
}

const char* Verdict(double ratio, double target) {
    return ratio <= target ? "met" : "missed";
}

// The targets: the first screen's icons take a time that does not grow with the page (at 10,000
// entries at most 1.5 times what they take at 1,000) and, at 1,000, at most as long again as
// the refresh; each refresh takes at most 2.5 times the floor on as many entries.
void TargetsReport(const TResult& ordinary, const TResult& folderSmall,
                   const TResult& folderLarge) {
    Line("%s", "");
    Line("icons of the first screen: median of (1st screen - complete) per run");
    for (const TResult* r : {&ordinary, &folderSmall}) {
        const double ratio = Median(r->firstScreen) / Median(r->times);
        Line("  %-42s %8.1f ms   1st screen x%.2f of complete (target x2 at most: %s)",
             r->label.c_str(), IconsMedian(*r), ratio, Verdict(ratio, 2.0));
    }
    const double growth = IconsMedian(folderLarge) / IconsMedian(folderSmall);
    Line("  %-42s %8.1f ms   x%.2f of (b)'s (target x1.5 at most: %s)", folderLarge.label.c_str(),
         IconsMedian(folderLarge), growth, Verdict(growth, 1.5));
    Line("refresh against the floor (e) on as many entries (target x2.5 at most):");
    for (const TResult* r : {&ordinary, &folderSmall, &folderLarge}) {
        const double ratio = Median(r->times) / Median(r->floor->times);
        Line("  %-42s x%.2f %s", r->label.c_str(), ratio, Verdict(ratio, 2.5));
    }
}

// ---------------------------------------------------------------------------------------------

// Report view, as the baseline's: the same kind of rows to lay out and paint. The window is sized
// so that its list has the baseline's size; the window's size.
SIZE ListWindowShow(TFrmOvMain& form) {
    form.ViewStyle = 3;
    ViewStyleSet(form.ViewStyle);
    RECT list{}, window{};
    ::GetWindowRect(form.CptLvwItems, &list);
    ::GetWindowRect(form.Handle(), &window);
    const int width = ListWidth + (window.right - window.left) - (list.right - list.left);
    const int height = ListHeight + (window.bottom - window.top) - (list.bottom - list.top);
    ::MoveWindow(form.Handle(), 0, 0, width, height, TRUE);
    ::ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
    PumpMessages();
    return SIZE{width, height};
}

int Bench(const TOptions& options) {
    const double setupStart = Now();
    Application.Initialize();
    // The launcher starts COM where it needs it; the benchmark's own shortcuts need it first.
    TComInit com;

    wchar_t module[MAX_PATH + 1] = {};
    ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    const std::wstring bin = PathFolderWithSep(module);
    const std::wstring sampleExe = bin + L"ovbench_sample.exe";
    if (!FilePresent(sampleExe))
        throw std::runtime_error(Utf8Of(sampleExe) + " is missing: build the benchmarks target");

    TScratch scratch;
    const std::wstring small = scratch.Path() + L"\\folder1000";
    const std::wstring large = scratch.Path() + L"\\folder10000";
    const std::wstring programs = scratch.Path() + L"\\programs";
    TProductKeyScope productKey;
    if (options.scrollOnly) {
        TFrmOvMain form;
        form.Create();
        ListWindowShow(form);
        ScrollCase(form, PageCount() + 1, programs, sampleExe, ScrollPrograms, options.scrollRuns);
        return 0;
    }
    FolderFill(small, 1000, sampleExe);
    if (options.searchOnly) {
        TFrmOvMain form;
        form.Create();
        ListWindowShow(form);
        return SearchCase(form, small, SearchPages, SearchItems, options.searchRuns) ? 0 : 3;
    }
    if (options.backupOnly) {
        ConfigTreeCreate();
        return BackupCase(small, scratch.Path(), SearchPages, SearchItems, options.backupRuns) ? 0
                                                                                               : 3;
    }
    if (options.moveOnly) {
        TFrmOvMain form;
        form.Create();
        ListWindowShow(form);
        return MoveCase(form, small, 1000, options.moveRuns) ? 0 : 3;
    }
    if (options.startOnly) {
        StartCase(bin, small, 100, options.startRuns);
        return 0;
    }
    if (options.callUpOnly)
        return CallUpCase(bin, options.callUpRuns) ? 0 : 3;
    if (options.memoryOnly) {
        TFrmOvMain form;
        form.Create();
        std::vector<std::wstring> listing;
        FolderList(small, L"*", listing);
        PageFolderAdd(2, small, listing);
        form.PageTotal = PageCount();
        ListWindowShow(form);
        MemoryReport(MemoryOfRefreshes(form, 2, options));
        return 0;
    }
    FolderFill(large, 10000, sampleExe);
    const double filesReady = Now();
    if (options.largeOnly) {
        TFrmOvMain form;
        form.Create();
        ListWindowShow(form);
        SelectionCase(form, 50000, options.largeRuns);
        return FolderDropCase(form, large, options.largeRuns) ? 0 : 3;
    }

    TFrmOvMain form;
    form.Create();
    // Page 1, made by the first start, becomes the ordinary page; pages 2 and 3 mirror the two
    // folders, as a dropped folder would make them.
    std::vector<std::wstring> listing;
    FolderList(small, L"*", listing);
    for (const std::wstring& path : listing)
        ItemAdd(1, path);
    PageFolderAdd(2, small, listing);
    FolderList(large, L"*", listing);
    PageFolderAdd(3, large, listing);
    form.PageTotal = PageCount();
    const int ordinaryItems = PageItemCount(1);

    const SIZE size = ListWindowShow(form);
    const int width = size.cx, height = size.cy;
    TBaseline baseline(width + 8, 0, true);
    TBaseline floor(width + 8, height + 8, false);
    PumpMessages();
    RECT list{};
    ::GetWindowRect(form.CptLvwItems, &list);
    const double setupEnd = Now();

    Line("Orvanta benchmark: refresh of the current page against a bare folder listing, icons "
         "after a drag, start-up");
    Line("  data:   folders of 1,000 and 10,000 files in the temporary folder (%s)",
         MixText().c_str());
    Line("  setup:  files %.1f s, settings tree and window %.1f s",
         (filesReady - setupStart) / 1000.0, (setupEnd - filesReady) / 1000.0);
    Line("  lists:  all shown, report view, %dx%d pixels; each run prints complete/first screen: "
         "all rows in and the visible ones painted / those rows showing their icons",
         static_cast<int>(list.right - list.left), static_cast<int>(list.bottom - list.top));
    Line("  runs:   1,000 entries: 1 untimed warm-up, then %d timed runs; 10,000 entries: no "
         "warm-up (the same code has just run on the same kinds of files), %d timed runs",
         options.runs, options.runsLarge);
    if (options.budgetSeconds > 0)
        Line("          a case stops early once it has used %d s, after %d runs at least "
             "(%d with 10,000 entries)",
             options.budgetSeconds, std::min(options.runs, MinRuns),
             std::min(options.runsLarge, MinRunsLarge));
    Line("  clock:  QueryPerformanceCounter; times in milliseconds");
    Line("%s", "");

    const double budgetMs = options.budgetSeconds * 1000.0;
    const TPlan plan{true, options.runs, std::min(options.runs, MinRuns), budgetMs};
    const TPlan planLarge{false, options.runsLarge, std::min(options.runsLarge, MinRunsLarge),
                          budgetMs};
    TResult baseSmall{.label = "(d) baseline, folder of 1,000 files", .expectedRows = 1000};
    TResult baseLarge{.label = "(d) baseline, folder of 10,000 files", .expectedRows = 10000};
    TResult floorSmall{
        .label = "(e) floor, folder of 1,000 files", .expectedRows = 1000, .baseline = &baseSmall};
    TResult floorLarge{.label = "(e) floor, folder of 10,000 files",
                       .expectedRows = 10000,
                       .baseline = &baseLarge};
    TResult ordinary{.label = "(a) refresh, ordinary page of " + Grouped(ordinaryItems) + " items",
                     .expectedRows = ordinaryItems,
                     .baseline = &baseSmall,
                     .floor = &floorSmall};
    TResult folderSmall{.label = "(b) refresh, folder page of 1,000 files",
                        .expectedRows = 1000,
                        .baseline = &baseSmall,
                        .floor = &floorSmall};
    TResult folderLarge{.label = "(c) refresh, folder page of 10,000 files",
                        .expectedRows = 10000,
                        .baseline = &baseLarge,
                        .floor = &floorLarge};

    if (options.probe) {
        std::vector<std::wstring> samples;
        for (const std::wstring& folder : {small, large}) {
            for (const TKind& kind : Kinds)
                samples.push_back(folder + L"\\" + EntryName(kind, 0));
            // The first shortcut points at a program, the second at a document.
            samples.push_back(folder + L"\\" + EntryName(Kinds[4], 1));
        }
        ProbeIcons(samples, options.runs);
        BaselineCase(floorSmall, floor, small, plan);
        RefreshCase(ordinary, form, 1, plan);
        RefreshCase(folderSmall, form, 2, plan);
        BaselineCase(floorLarge, floor, large, planLarge);
        RefreshCase(folderLarge, form, 3, planLarge);
        ProbeRefresh(form, 1, ordinary.label, options.runs);
        ProbeRefresh(form, 2, folderSmall.label, options.runs);
        ProbeRefresh(form, 3, folderLarge.label, options.runsLarge);
        const bool rowsRight =
            Report({&ordinary, &folderSmall, &folderLarge, &floorSmall, &floorLarge});
        TargetsReport(ordinary, folderSmall, folderLarge);
        return rowsRight ? 0 : 2;
    }
    BaselineCase(baseSmall, baseline, small, plan);
    BaselineCase(floorSmall, floor, small, plan);
    RefreshCase(ordinary, form, 1, plan);
    RefreshCase(folderSmall, form, 2, plan);
    // Before the cases of 10,000 entries: memory they free would stay committed and could take
    // in what the refreshes keep without any growth showing.
    const TMemoryResult memory = MemoryOfRefreshes(form, 2, options);
    BaselineCase(baseLarge, baseline, large, planLarge);
    BaselineCase(floorLarge, floor, large, planLarge);
    RefreshCase(folderLarge, form, 3, planLarge);
    ScrollCase(form, PageCount() + 1, programs, sampleExe, ScrollPrograms, options.scrollRuns);
    SearchCase(form, small, SearchPages, SearchItems, options.searchRuns);
    BackupCase(small, scratch.Path(), SearchPages, SearchItems, options.backupRuns);
    MoveCase(form, small, 1000, options.moveRuns);
    SelectionCase(form, 50000, options.largeRuns);
    FolderDropCase(form, large, options.largeRuns);

    const bool rowsRight = Report(
        {&ordinary, &folderSmall, &folderLarge, &baseSmall, &baseLarge, &floorSmall, &floorLarge});
    TargetsReport(ordinary, folderSmall, folderLarge);
    MemoryReport(memory);
    // Last: the launcher's own starts rewrite the settings tree.
    StartCase(bin, small, 100, options.startRuns);
    const bool tripsRight = CallUpCase(bin, options.callUpRuns);
    return rowsRight && tripsRight ? 0 : 2;
}

} // namespace

int main(int argc, char** argv) {
    TOptions options;
    if (!OptionsParse(argc, argv, options))
        return 64;
    try {
        return Bench(options);
    } catch (const std::exception& e) {
        Line("ovbench: %s", e.what());
        return 1;
    }
}
