// Times the refresh of the current page on large pages against the least work that shows the
// same folder, watches the process's private memory over many refreshes, times the icons of the
// rows on screen after a drag through a page of programs, times the search over 50 pages, and
// times the launcher's start against a blank window. It builds its own folders under the temporary
// folder and its own settings tree, removes both at the end and prints plain text. Speed is judged
// from these figures, never from timed assertions in tests.
//
//   ovbench [--runs=N] [--runs-large=N] [--memory-refreshes=N] [--budget=S] [--memory-budget=S]
//           [--memory-only=1] [--start-runs=N] [--start-only=1] [--scroll-runs=N]
//           [--scroll-only=1] [--search-runs=N] [--search-only=1] [--probe=1]
//
// --probe=1 times the refresh cases and the floor only, with a breakdown of each refresh into its
// stages and of the icon look-ups by kind of file: where the time goes, in a few minutes.
//
// A case on 1,000 entries starts with one untimed warm-up run that fills the caches of the
// shell, the registry and the file system, so every timed run sees the same warm state. Each
// case stops adding runs once it has used its budget (0: no budget), but not before a minimum.
#include "uBenchCommon.h"
#include "uBenchMemory.h"
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

struct TOptions {
    int runs = 5;      // timed runs of each case on 1,000 entries
    int runsLarge = 3; // timed runs of each case on 10,000 entries
    int memoryRefreshes = 1000;
    // Seconds a case may take before it stops adding runs; 0 for no limit.
    int budgetSeconds = 60;
    int memoryBudgetSeconds = 1200;
    int memoryOnly = 0; // nothing but the memory case
    int startRuns = 15; // rounds of timed starts, one of each program per round
    int startOnly = 0;  // nothing but the start-up case
    int scrollRuns = 3; // rounds of the drag through a page of programs
    int scrollOnly = 0; // nothing but that case
    int probe = 0;      // the refresh cases with the probe of their stages, no shell baseline
    int searchRuns = 3; // rounds of the search's opening and typed letters
    int searchOnly = 0; // nothing but that case
};

// The search case's pages: as many pages of as many items, the entries of the 1,000-file folder.
constexpr int SearchPages = 50;
constexpr int SearchItems = 1000;

// Programs in the scroll case's page: each costs an icon extraction of its own.
constexpr int ScrollPrograms = 5000;

// The fewest runs (refreshes) a case makes whatever its budget: a median wants three.
constexpr int MinRuns = 3;
constexpr int MinRunsLarge = 1;

// Both lists get this size, so both paint the same number of visible rows.
constexpr int ListWidth = 480;
constexpr int ListHeight = 360;

// ---------------------------------------------------------------------------------------------
// Scratch folders

// A fresh folder under the temporary folder, removed with everything in it at destruction.
class TScratch {
  public:
    TScratch() {
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH, temp);
        std::wstring base = temp;
        if (!base.empty() && base.back() == L'\\')
            base.pop_back();
        // One fixed name: a run that was stopped half-way leaves nothing behind for long.
        path_ = base + L"\\ovbench";
        TreeDelete(path_);
        if (!::CreateDirectoryW(path_.c_str(), nullptr))
            throw std::runtime_error("cannot create " + Utf8Of(path_));
    }
    ~TScratch() { TreeDelete(path_); }
    TScratch(const TScratch&) = delete;
    TScratch& operator=(const TScratch&) = delete;

    const std::wstring& Path() const noexcept { return path_; }

  private:
    std::wstring path_;
};

// The product's settings tree, gone before the bench starts and again when it ends, so the
// bench neither reads a user's pages nor leaves 11,000 items behind.
class TProductKeyScope {
  public:
    TProductKeyScope() { RegKeyDelete(HKEY_CURRENT_USER, OvKeyProduct); }
    ~TProductKeyScope() {
        try {
            RegKeyDelete(HKEY_CURRENT_USER, OvKeyProduct);
        } catch (const std::exception& e) {
            Line("ovbench: the settings tree could not be removed: %s", e.what());
        }
    }
    TProductKeyScope(const TProductKeyScope&) = delete;
    TProductKeyScope& operator=(const TProductKeyScope&) = delete;
};

// ---------------------------------------------------------------------------------------------
// Test data

// The shared file helpers report failure; here a failure ends the bench.
void FileMake(const std::wstring& path, const std::string& bytes) {
    if (!FileWrite(path, bytes))
        throw std::runtime_error("cannot write " + Utf8Of(path));
}

// A 16 by 16 true-colour bitmap file, a blue square.
std::string BitmapBytes() {
    const int side = 16;
    const DWORD pixels = side * side * 3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + pixels;
    info.biSize = sizeof(info);
    info.biWidth = side;
    info.biHeight = side;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = pixels;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    for (DWORD i = 0; i < pixels; i += 3)
        bytes += std::string("\xC0\x40\x20", 3);
    return bytes;
}

void LinkMake(const std::wstring& link, const std::wstring& target) {
    if (!LinkCreate(link, target, L""))
        throw std::runtime_error("cannot create the shortcut " + Utf8Of(link));
}

// The mix of every test folder, per 100 entries. Documents with and without an association,
// programs with their own icon, and shortcuts whose target (a program or a document in the same
// folder) gives their icon: each kind takes another path through the icon look-up.
struct TKind {
    const wchar_t* prefix;
    const wchar_t* extension;
    int perHundred;
};
const TKind Kinds[] = {
    {L"text", L".txt", 30}, {L"pict", L".bmp", 15}, {L"conf", L".ini", 15},
    {L"prog", L".exe", 10}, {L"link", L".lnk", 20}, {L"data", L".dat", 10},
};

// Shortcuts made through the shell per folder; fewer than any kind's count in a folder of 1,000.
constexpr int LinkTemplates = 20;

std::wstring EntryName(const TKind& kind, int i) {
    const std::wstring number = std::to_wstring(i);
    return kind.prefix + std::wstring(number.size() < 5 ? 5 - number.size() : 0, L'0') + number +
           kind.extension;
}

std::string MixText() {
    std::string text;
    for (const TKind& kind : Kinds)
        text += std::string(text.empty() ? "" : ", ") + std::to_string(kind.perHundred) + "% " +
                Utf8Of(kind.extension);
    return text;
}

// Fills `folder` with `count` entries (a multiple of 100) of the mix above.
void FolderFill(const std::wstring& folder, int count, const std::wstring& sampleExe) {
    if (!::CreateDirectoryW(folder.c_str(), nullptr))
        throw std::runtime_error("cannot create " + Utf8Of(folder));
    const std::string bitmap = BitmapBytes();
    const int perKind = count / 100;
    for (const TKind& kind : Kinds) {
        const std::wstring ext = kind.extension;
        for (int i = 0; i < kind.perHundred * perKind; ++i) {
            const std::wstring path = folder + L"\\" + EntryName(kind, i);
            if (ext == L".txt")
                FileMake(path, "Line of text " + std::to_string(i) + "\r\n" +
                                   std::string(static_cast<size_t>(i % 64) * 32, 'x'));
            else if (ext == L".bmp")
                FileMake(path, bitmap);
            else if (ext == L".ini")
                FileMake(path, "[Settings]\r\nNumber=" + std::to_string(i) + "\r\n");
            else if (ext == L".dat")
                FileMake(path, std::string(static_cast<size_t>(i % 16) * 512 + 1, '\0'));
            else if (ext == L".exe") {
                if (!::CopyFileW(sampleExe.c_str(), path.c_str(), FALSE))
                    throw std::runtime_error("cannot copy to " + Utf8Of(path));
            } else if (i < LinkTemplates) {
                // Every other shortcut points at a program, the rest at a document.
                const TKind& targetKind = i % 2 ? Kinds[0] : Kinds[3];
                LinkMake(path, folder + L"\\" + EntryName(targetKind, i));
            } else {
                // Saving a shortcut costs some 25 ms under Wine; the rest are copies of the
                // first ones. Each copy is still resolved on its own when its row is made.
                const std::wstring source = folder + L"\\" + EntryName(kind, i % LinkTemplates);
                if (!::CopyFileW(source.c_str(), path.c_str(), FALSE))
                    throw std::runtime_error("cannot copy to " + Utf8Of(path));
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The baseline: the least work that shows a folder with the shell's icons

// One directory pass and, per entry, one SHGetFileInfoW with SHGFI_SYSICONINDEX and one
// LVM_INSERTITEMW, into a report-view list that shows the shell's own small image list. The
// shell keeps that list for the whole process and adds an icon only the first time it meets its
// source, so no icon is extracted, copied or destroyed per row: this is how a file manager
// shows a folder, and no way of showing the real icons does less. Asking for SHGFI_ICON instead
// would hand out a new icon per row that the list would have to copy and the caller destroy.
class TBaseline {
  public:
    // Without icons it is the floor: one directory pass and one text-only insert per entry, the
    // least work that shows the names.
    TBaseline(int x, int y, bool icons) : icons_(icons) {
        SHFILEINFOW info{};
        images_ = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoW(
            L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
        // A top-level list view of its own; the shell's image list is shared, never destroyed.
        list_.Reset(::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"ovbench baseline",
                                      WS_OVERLAPPEDWINDOW | LVS_REPORT | LVS_SHAREIMAGELISTS, x, y,
                                      ListWidth, ListHeight, nullptr, nullptr,
                                      ::GetModuleHandleW(nullptr), nullptr));
        if (!list_)
            throw std::runtime_error("cannot create the baseline's list view");
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 200;
        column.pszText = const_cast<wchar_t*>(L"Name");
        ::SendMessageW(list_.Get(), LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        if (icons_)
            ::SendMessageW(list_.Get(), LVM_SETIMAGELIST, LVSIL_SMALL,
                           reinterpret_cast<LPARAM>(images_));
        ::ShowWindow(list_.Get(), SW_SHOWNOACTIVATE);
    }

    HWND List() const noexcept { return list_.Get(); }

    // Shows the folder anew; the rows it made.
    int Show(const std::wstring& folder) {
        HWND list = list_.Get();
        ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
        WIN32_FIND_DATAW data{};
        TUniqueFind find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
        int rows = 0;
        if (find) {
            do {
                if (!std::wcscmp(data.cFileName, L".") || !std::wcscmp(data.cFileName, L".."))
                    continue;
                LVITEMW item{};
                item.mask = LVIF_TEXT;
                item.iItem = rows;
                item.pszText = data.cFileName;
                if (icons_) {
                    const std::wstring path = folder + L"\\" + data.cFileName;
                    SHFILEINFOW info{};
                    ::SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info),
                                     SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
                    item.mask |= LVIF_IMAGE;
                    item.iImage = info.iIcon;
                }
                if (::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) >= 0)
                    ++rows;
            } while (::FindNextFileW(find.Get(), &data));
        }
        ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        return rows;
    }

  private:
    bool icons_;
    HIMAGELIST images_ = nullptr;
    TUniqueWindow list_;
};

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

bool OptionParse(const char* arg, const char* name, int& value) {
    const size_t n = std::strlen(name);
    if (std::strncmp(arg, name, n) != 0 || arg[n] != '=')
        return false;
    value = std::atoi(arg + n + 1);
    return true;
}

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
    if (options.startOnly) {
        StartCase(bin, small, 100, options.startRuns);
        return 0;
    }
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

    const bool rowsRight = Report(
        {&ordinary, &folderSmall, &folderLarge, &baseSmall, &baseLarge, &floorSmall, &floorLarge});
    TargetsReport(ordinary, folderSmall, folderLarge);
    MemoryReport(memory);
    // Last: the launcher's own starts rewrite the settings tree.
    StartCase(bin, small, 100, options.startRuns);
    return rowsRight ? 0 : 2;
}

} // namespace

int main(int argc, char** argv) {
    TOptions options;
    for (int i = 1; i < argc; ++i) {
        if (!OptionParse(argv[i], "--runs", options.runs) &&
            !OptionParse(argv[i], "--runs-large", options.runsLarge) &&
            !OptionParse(argv[i], "--memory-refreshes", options.memoryRefreshes) &&
            !OptionParse(argv[i], "--budget", options.budgetSeconds) &&
            !OptionParse(argv[i], "--memory-budget", options.memoryBudgetSeconds) &&
            !OptionParse(argv[i], "--memory-only", options.memoryOnly) &&
            !OptionParse(argv[i], "--start-runs", options.startRuns) &&
            !OptionParse(argv[i], "--start-only", options.startOnly) &&
            !OptionParse(argv[i], "--scroll-runs", options.scrollRuns) &&
            !OptionParse(argv[i], "--scroll-only", options.scrollOnly) &&
            !OptionParse(argv[i], "--search-runs", options.searchRuns) &&
            !OptionParse(argv[i], "--search-only", options.searchOnly) &&
            !OptionParse(argv[i], "--probe", options.probe)) {
            std::fprintf(stderr, "usage: ovbench [--runs=N] [--runs-large=N] "
                                 "[--memory-refreshes=N] [--budget=S] [--memory-budget=S] "
                                 "[--memory-only=1] "
                                 "[--start-runs=N] [--start-only=1] [--scroll-runs=N] "
                                 "[--scroll-only=1] [--search-runs=N] [--search-only=1] "
                                 "[--probe=1]\n");
            return 64;
        }
    }
    options.runs = std::max(options.runs, 1);
    options.runsLarge = std::max(options.runsLarge, 1);
    options.memoryRefreshes = std::max(options.memoryRefreshes, 0);
    options.budgetSeconds = std::max(options.budgetSeconds, 0);
    options.memoryBudgetSeconds = std::max(options.memoryBudgetSeconds, 0);
    options.startRuns = std::max(options.startRuns, 1);
    options.scrollRuns = std::max(options.scrollRuns, 1);
    options.searchRuns = std::max(options.searchRuns, 1);
    try {
        return Bench(options);
    } catch (const std::exception& e) {
        Line("ovbench: %s", e.what());
        return 1;
    }
}
