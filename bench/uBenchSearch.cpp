// The benchmark's search case.
#include "uBenchSearch.h"

#include "uBenchCommon.h"
#include "uCmnError.h"
#include "uCmnFile.h"
#include "uCmnMatch.h"
#include "uCmnReg.h"
#include "uOvFrmDef.h"
#include "uOvLvw.h"
#include "uOvMain.h"
#include "uOvReg.h"
#include "uOvRegDef.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

// Words of the item names, several scripts among them, as a user's documents and programs have.
const wchar_t* const Words[] = {
    L"report", L"invoice", L"budget",   L"meeting", L"notes",    L"photo",  L"holiday", L"project",
    L"draft",  L"summary", L"contract", L"letter",  L"music",    L"video",  L"backup",  L"setup",
    L"tool",   L"manual",  L"guide",    L"plan",    L"Editor",   L"Viewer", L"Player",  L"Terminal",
    L"議事録", L"見積書",  L"請求書",   L"メモ",    L"レポート", L"写真",   L"資料",    L"会議",
    L"予定表", L"契約書",  L"ｶﾞｲﾄﾞ",    L"Отчёт",   L"Προφίλ",   L"Ärger",  L"Résumé",  L"データ"};
const wchar_t* const Extensions[] = {L".txt", L".docx", L".xlsx", L".pdf", L".exe", L".lnk"};

// What is typed, letter by letter.
const wchar_t* const Typed[] = {L"rep", L"見積", L"めも", L"ｍｅｅｔ"};

// Item names: two words, a number and an extension, from a fixed sequence, unique in a page.
std::vector<std::wstring> ItemNames(int page, int items) {
    uint32_t seed = 12345u + static_cast<uint32_t>(page) * 7919u;
    auto next = [&seed](size_t n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<size_t>((seed >> 8) % n);
    };
    std::vector<std::wstring> names;
    for (int i = 0; i < items; ++i) {
        const size_t words = std::size(Words);
        names.push_back(std::wstring(Words[next(words)]) + L" " + Words[next(words)] + L" " +
                        std::to_wstring(i) + Extensions[next(std::size(Extensions))]);
    }
    return names;
}

struct TKeystroke {
    std::wstring text;
    // What the field held before the letter: the list showed its results, or the page.
    std::wstring before;
    int rows = 0;
    std::vector<double> times;
    double floor = 0;
    double platform = 0;
    double refill = 0;
};

// One letter typed into the field, until the results are in the list and painted.
double TypeLetter(TFrmOvMain& form, wchar_t letter) {
    const double start = Now();
    ::SendMessageW(form.Search().Field(), WM_CHAR, letter, 0);
    ::UpdateWindow(form.CptLvwItems);
    return Now() - start;
}

// The time of the list's own refresh of a page holding the rows `key.text` finds, in place of
// the rows the list showed before the letter was typed, as the letter's results took their place.
double RefillOfAsManyRows(TFrmOvMain& form, const TKeystroke& key, int runs) {
    const std::wstring& text = key.text;
    // Taken before the page is made, which the index then reads too.
    TPageEntries before;
    if (!key.before.empty()) {
        TItemIndex& index = form.Search().Index();
        for (const TIndexHit& hit : index.Match(key.before)) {
            const TIndexItem& item = index.Looked(hit);
            before.push_back({item.Name(), item.Path(), item.record, item.found, hit.page, {}});
        }
    }
    const std::vector<TIndexHit> hits = form.Search().Index().Match(text);
    const int32_t page = form.PageTotal + 1;
    const std::wstring pageKey = PageKeyPath(page);
    RegKeyCreate(HKEY_CURRENT_USER, pageKey);
    RegStrWrite(HKEY_CURRENT_USER, pageKey, L"", L"");
    int n = 0;
    for (const TIndexHit& hit : hits) {
        const TIndexItem& item = form.Search().Index().Item(hit);
        // Names repeat across pages; in one page they must not.
        RegStrWrite(HKEY_CURRENT_USER, pageKey, item.Name() + L" " + std::to_wstring(n++),
                    item.Path());
    }
    form.CurrentPage = page;
    std::vector<double> times;
    for (int run = -1; run < runs; ++run) {
        if (key.before.empty()) {
            form.CurrentPage = 1;
            form.CptPmuItemBtnUpdateClick();
        } else {
            ListFill(before);
        }
        form.CurrentPage = page;
        ::UpdateWindow(form.CptLvwItems);
        PumpMessages();
        const double start = Now();
        form.CptPmuItemBtnUpdateClick();
        ::UpdateWindow(form.CptLvwItems);
        if (run >= 0)
            times.push_back(Now() - start);
    }
    RegKeyDelete(HKEY_CURRENT_USER, pageKey);
    form.CurrentPage = 1;
    return Median(times);
}

} // namespace

bool SearchCase(TFrmOvMain& form, const std::wstring& folder, int pages, int items, int runs) {
    std::vector<std::wstring> paths;
    FolderList(folder, L"*", paths);
    if (static_cast<int>(paths.size()) < items)
        throw std::runtime_error("the search case needs " + std::to_string(items) + " files in " +
                                 Utf8Of(folder));
    form.Search().Leave(false);
    form.Search().Index().Clear();
    RegKeyDelete(HKEY_CURRENT_USER, OvKeyData);
    const double setupStart = Now();
    std::vector<std::wstring> names;
    for (int32_t page = 1; page <= pages; ++page) {
        PageCreate(page, L"");
        const std::vector<std::wstring> pageNames = ItemNames(page, items);
        for (int i = 0; i < items; ++i)
            RegStrWrite(HKEY_CURRENT_USER, PageKeyPath(page), pageNames[static_cast<size_t>(i)],
                        paths[static_cast<size_t>(i)]);
        names.insert(names.end(), pageNames.begin(), pageNames.end());
    }
    form.PageTotal = PageCount();
    form.CurrentPage = 1;
    form.CptPmuItemBtnUpdateClick();
    PumpMessages();

    Line("%s", "");
    Line("search: %d pages of %s items (%s names; set-up %.1f s), %d rounds", pages,
         Grouped(items).c_str(), Grouped(static_cast<long long>(names.size())).c_str(),
         (Now() - setupStart) / 1000.0, runs);

    // Opening: the field up and taking keys while the index is read on its own thread, against
    // reading every page from the store; then the time until the index is whole.
    std::vector<double> reads, opens, wholes;
    for (int run = 0; run < runs; ++run) {
        PumpMessages();
        double start = Now();
        TPageEntries entries;
        for (int32_t page = 1; page <= pages; ++page)
            PageItemsRead(page, entries);
        reads.push_back(Now() - start);
        form.Search().Leave();
        form.Search().Index().Clear();
        PumpMessages();
        start = Now();
        form.Search().Show();
        ::UpdateWindow(form.Handle());
        opens.push_back(Now() - start);
        form.Search().Index().Wait();
        wholes.push_back(Now() - start);
    }
    if (form.Search().Index().ItemCount() != names.size())
        throw std::runtime_error("the index holds " +
                                 std::to_string(form.Search().Index().ItemCount()) + " items");

    // Each letter typed, against a plain loop over the names with the same comparison, and
    // against the platform's own comparison of each name.
    std::vector<std::wstring> folded;
    for (const std::wstring& name : names)
        folded.push_back(TextFold(name));
    std::vector<TKeystroke> keys;
    for (const wchar_t* typed : Typed) {
        const std::wstring text = typed;
        for (size_t n = 1; n <= text.size(); ++n) {
            TKeystroke& key = keys.emplace_back();
            key.text = text.substr(0, n);
            key.before = text.substr(0, n - 1);
        }
    }
    for (int run = 0; run < runs; ++run) {
        size_t k = 0;
        for (const wchar_t* typed : Typed) {
            ::SetWindowTextW(form.Search().Field(), L"");
            PumpMessages();
            for (const wchar_t* c = typed; *c; ++c, ++k) {
                keys[k].times.push_back(TypeLetter(form, *c));
                keys[k].rows = ListView_GetItemCount(form.CptLvwItems);
                PumpMessages();
            }
        }
    }
    // One screen of the list painted, with the largest results shown: the yardstick of a letter,
    // with the match over every name.
    ::SetWindowTextW(form.Search().Field(), L"r");
    PumpMessages();
    std::vector<double> paints;
    for (int run = 0; run < 5; ++run) {
        ::InvalidateRect(form.CptLvwItems, nullptr, TRUE);
        const double start = Now();
        ::UpdateWindow(form.CptLvwItems);
        paints.push_back(Now() - start);
        PumpMessages();
    }
    const double paint = Median(paints);
    const DWORD flags = LINGUISTIC_IGNORECASE | NORM_IGNOREWIDTH | NORM_IGNOREKANATYPE;
    bool rowsRight = true;
    for (TKeystroke& key : keys) {
        std::vector<double> floors;
        for (int run = 0; run < runs; ++run) {
            const double start = Now();
            const std::wstring part = TextFold(key.text);
            int found = 0;
            for (const std::wstring& name : folded)
                found += TextFoldedContains(name, part) ? 1 : 0;
            floors.push_back(Now() - start);
            rowsRight = rowsRight && found == key.rows;
            if (found != key.rows)
                Line("  ^ the loop found %d names for \"%s\", the list shows %d rows", found,
                     Utf8Of(key.text).c_str(), key.rows);
        }
        key.floor = Median(floors);
        const double start = Now();
        for (const std::wstring& name : names)
            ::FindNLSStringEx(LOCALE_NAME_USER_DEFAULT, FIND_FROMSTART | flags, name.c_str(),
                              static_cast<int>(name.size()), key.text.c_str(),
                              static_cast<int>(key.text.size()), nullptr, nullptr, nullptr, 0);
        key.platform = Now() - start;
    }
    // F5 over results: the index read again from the store, every result's file looked up again.
    ::SetWindowTextW(form.Search().Field(), Typed[0]);
    PumpMessages();
    std::vector<double> rereads, rebuilds;
    for (int run = 0; run < runs; ++run) {
        double start = Now();
        ::SendMessageW(form.Handle(), WM_COMMAND, IDM_PMU_BTNUPDATE, 0);
        ::UpdateWindow(form.CptLvwItems);
        // Until the results are those of the whole store again.
        while (form.Search().Searching()) {
            PumpMessages();
            ::Sleep(1);
        }
        ::UpdateWindow(form.CptLvwItems);
        rereads.push_back(Now() - start);
        PumpMessages();
        start = Now();
        form.Search().Index().Build();
        form.Search().Index().Wait();
        rebuilds.push_back(Now() - start);
    }
    const int rereadRows = ListView_GetItemCount(form.CptLvwItems);
    form.Search().Leave();
    for (TKeystroke& key : keys)
        key.refill = RefillOfAsManyRows(form, key, runs);
    form.CptPmuItemBtnUpdateClick();

    bool refillMet = true;
    Line("%-10s %7s %8s %8s %8s %8s %9s %8s %8s %s", "typed", "rows", "1st ms", "median", "floor",
         "x floor", "platform", "x platf", "refill", "");
    std::vector<double> medians, floors, platforms;
    for (const TKeystroke& key : keys) {
        const double median = Median(key.times);
        medians.push_back(median);
        floors.push_back(key.floor);
        platforms.push_back(key.platform);
        const bool met = median <= key.refill;
        refillMet = refillMet && met;
        Line("%-10s %7s %8.1f %8.1f %8.2f %8.1f %9.1f %8.2f %8.1f %s",
             Utf8Of(L"\"" + key.text + L"\"").c_str(), Grouped(key.rows).c_str(), key.times[0],
             median, key.floor, median / key.floor, key.platform, median / key.platform, key.refill,
             met ? "" : "longer than the refill");
    }
    const double keystroke = Median(medians), floor = Median(floors);
    const double platform = Median(platforms);
    const double read = Median(reads), open = Median(opens);
    Line("1st: the first round, which looks the paths up; median: of the rounds; floor: a plain "
         "loop over the %s names as the index holds them (folded once), with the search's "
         "comparison; platform: the same loop over the names as stored, each compared by "
         "FindNLSStringEx with the flags of the matching rule; refill: the refresh of a page "
         "holding as many rows, in place of the rows the letter's results replaced",
         Grouped(static_cast<long long>(names.size())).c_str());
    Line("per keystroke: median %.1f ms; floor %.2f ms, x%.1f (target x3 at most: %s); platform "
         "%.1f ms, x%.2f (target x3 at most: %s); never longer than the refill of as many rows: "
         "%s",
         keystroke, floor, keystroke / floor, Verdict(keystroke <= 3 * floor), platform,
         keystroke / platform, Verdict(keystroke <= 3 * platform), Verdict(refillMet));
    // Every letter in the same time: the first letter of each text, which finds the most, against
    // the median of all; every letter against one screen's paint and the match over every name.
    double firstWorst = 0, letterWorst = 0;
    for (const TKeystroke& key : keys) {
        const double median = Median(key.times);
        if (key.before.empty())
            firstWorst = std::max(firstWorst, median);
        letterWorst = std::max(letterWorst, median);
    }
    const double yardstick = paint + floor;
    Line("every letter: the slowest first letter %.1f ms, x%.2f the median of all letters "
         "(target x1.3 at most: %s); the slowest letter %.1f ms, x%.2f one screen's paint and the "
         "match over every name, %.1f + %.2f ms (target x3 at most: %s)",
         firstWorst, firstWorst / keystroke, Verdict(firstWorst <= 1.3 * keystroke), letterWorst,
         letterWorst / yardstick, paint, floor, Verdict(letterWorst <= 3 * yardstick));
    Line("opening: median %.1f ms until the field takes keys (target: at most one letter's median "
         "%.1f ms and at most 50 ms: %s); the index whole on its thread after %.1f ms; reading "
         "every "
         "page from the store on the window's thread %.1f ms",
         open, keystroke, Verdict(open <= keystroke && open <= 50), Median(wholes), read);
    Line("F5 over the %s results of \"%s\": median %.1f ms, of it the index read again from the "
         "store %.1f ms",
         Grouped(rereadRows).c_str(), Utf8Of(Typed[0]).c_str(), Median(rereads), Median(rebuilds));
    return rowsRight;
}
