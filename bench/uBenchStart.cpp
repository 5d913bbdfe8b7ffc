// The benchmark's start-up case.
#include "uBenchStart.h"

#include "uBenchCommon.h"
#include "uCmnError.h"
#include "uCmnFile.h"
#include "uCmnHandle.h"
#include "uCmnReg.h"
#include "uOvFrmDef.h"
#include "uOvReg.h"
#include "uOvRegDef.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct TStartTime {
    double idle = 0;   // until the window is visible and the program waits for input
    double answer = 0; // until it then answers a message sent to its window
};

// Starts the program and waits until its window of `className` is visible and the program has
// gone idle (WaitForInputIdle: it waits for input with nothing left in its queue, paints
// included); then notes when a message sent to the window comes back, which also waits for
// any work the program does in idle time; closes it as a user would and waits for its end.
TStartTime StartTimed(const std::wstring& exe, const wchar_t* className) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring command = L"\"" + exe + L"\"";
    const std::wstring folder = PathFolderWithSep(exe);
    const std::string name = Utf8Of(exe);
    const double start = Now();
    if (!::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &info))
        throw std::runtime_error("cannot start " + name);
    TUniqueHandle process(info.hProcess), thread(info.hThread);
    HWND window = nullptr;
    while (!(window = VisibleWindowOf(info.dwProcessId, className))) {
        if (::WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0)
            throw std::runtime_error(name + " ended before it showed its window");
        if (Now() - start > 60000)
            throw std::runtime_error(name + " showed no window within a minute");
        ::WaitForInputIdle(info.hProcess, 1);
        ::Sleep(1);
    }
    ::WaitForInputIdle(info.hProcess, 60000);
    TStartTime time;
    time.idle = Now() - start;
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer);
    time.answer = Now() - start;
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0) {
        ::TerminateProcess(info.hProcess, 1);
        throw std::runtime_error(name + " did not close");
    }
    return time;
}

// Start times of the four programs, started by turns, round after round.
struct TStartSeries {
    std::vector<double> blank, list, empty, full, emptyAnswer, fullAnswer;
};

// Where the launcher shows (bench/blank.c and bench/listwin.c show there too).
constexpr int32_t OvBenchWindowLeft = 100, OvBenchWindowTop = 100;

// The targets: the launcher's start at most this many times a baseline's.
constexpr double OvTargetOfBlank = 1.2, OvTargetOfList = 1.1;

// "x1.23 of the blank window (target x1.2: met), x1.05 of the list window (...)".
std::string RatioText(double launcher, double blank, double list) {
    char text[160];
    auto verdict = [](double ratio, double target) { return ratio <= target ? "met" : "missed"; };
    std::snprintf(text, sizeof(text),
                  "x%.2f of the blank window (target x%.1f: %s), x%.2f of the list window "
                  "(target x%.1f: %s)",
                  launcher / blank, OvTargetOfBlank, verdict(launcher / blank, OvTargetOfBlank),
                  launcher / list, OvTargetOfList, verdict(launcher / list, OvTargetOfList));
    return text;
}

void StartReportLine(const char* label, const std::vector<double>& times, double answer,
                     const char* ratios) {
    char answerText[32] = "";
    if (answer > 0)
        std::snprintf(answerText, sizeof(answerText), "%.1f", answer);
    Line("  %-30s %10.1f %10.1f %10.1f %10s   %s", label, Median(times),
         *std::min_element(times.begin(), times.end()),
         *std::max_element(times.begin(), times.end()), answerText, ratios);
}

} // namespace

// The launcher's start on an empty page and on a page of `items` (every tenth entry of the mixed
// folder, so every kind is there), the blank window and the list window, started by turns round
// after round so that whatever else the machine does weighs on all four alike.
void StartCase(const std::wstring& bin, const std::wstring& folder, int items, int runs) {
    const std::wstring launcher = bin + L"pOv.exe", blank = bin + L"ovbench_blank.exe",
                       list = bin + L"ovbench_list.exe";
    RegKeyDelete(HKEY_CURRENT_USER, OvKeyProduct);
    // The first start writes the settings tree; every timed start finds it. Page 1 stays empty,
    // page 2 holds the items; the page a start shows is the stored SelPage.
    StartTimed(launcher, L"TFrmOvMain");
    // All three windows at the same place and of the launcher's own window size: a first run
    // fills the work area, and a window of ten times the pixels costs more to show and paint
    // whatever it holds.
    RegIntWrite(HKEY_CURRENT_USER, OvKeyWindow, OvValLeft, OvBenchWindowLeft);
    RegIntWrite(HKEY_CURRENT_USER, OvKeyWindow, OvValTop, OvBenchWindowTop);
    RegIntWrite(HKEY_CURRENT_USER, OvKeyWindow, OvValWidth, OV_MAIN_WIDTH);
    RegIntWrite(HKEY_CURRENT_USER, OvKeyWindow, OvValHeight, OV_MAIN_HEIGHT);
    std::vector<std::wstring> listing;
    FolderList(folder, L"*", listing);
    PageCreate(2, L"");
    for (size_t i = 0; i < listing.size() && PageItemCount(2) < items; i += 10)
        ItemAdd(2, listing[i]);
    auto onPage = [&](int32_t page) {
        RegIntWrite(HKEY_CURRENT_USER, OvKeyConfig, OvValSelPage, page);
        return StartTimed(launcher, L"TFrmOvMain");
    };
    std::printf("  start-up: %d rounds ...", runs);
    std::fflush(stdout);
    StartTimed(blank, L"OvBenchBlank");
    StartTimed(list, L"OvBenchList");
    onPage(1);
    onPage(2);
    TStartSeries s;
    for (int i = 0; i < runs; ++i) {
        s.blank.push_back(StartTimed(blank, L"OvBenchBlank").idle);
        s.list.push_back(StartTimed(list, L"OvBenchList").idle);
        const TStartTime empty = onPage(1), full = onPage(2);
        s.empty.push_back(empty.idle);
        s.emptyAnswer.push_back(empty.answer);
        s.full.push_back(full.idle);
        s.fullAnswer.push_back(full.answer);
    }
    Line(" done");

    Line("%s", "");
    Line("start-up, from CreateProcess until the main window is visible and the program idle "
         "(%d rounds):",
         runs);
    Line("  %-30s %10s %10s %10s %10s", "", "median ms", "min ms", "max ms", "answers");
    const double blankMs = Median(s.blank), listMs = Median(s.list);
    StartReportLine("blank window", s.blank, 0, "");
    char listRatio[48];
    std::snprintf(listRatio, sizeof(listRatio), "x%.2f of the blank window", listMs / blankMs);
    StartReportLine("list window", s.list, 0, listRatio);
    StartReportLine("launcher, empty page", s.empty, Median(s.emptyAnswer),
                    RatioText(Median(s.empty), blankMs, listMs).c_str());
    const std::string label = "launcher, page of " + std::to_string(PageItemCount(2)) + " items";
    StartReportLine(label.c_str(), s.full, Median(s.fullAnswer),
                    RatioText(Median(s.full), blankMs, listMs).c_str());
    Line("list window: one report-view list control of the common controls 6, the launcher's "
         "manifest; all three windows %dx%d at (%d, %d)",
         OV_MAIN_WIDTH, OV_MAIN_HEIGHT, OvBenchWindowLeft, OvBenchWindowTop);
    Line("answers: median until the launcher then answers a message, its icons of the rows on "
         "screen loaded in idle time meanwhile");
}
