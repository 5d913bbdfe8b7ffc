// Random sequences of the user's commands in the real window, each step checked against a model of
// the pages: drops of files and of folders (whose writes may still be running), deletions, renames
// (an editor open across a page move), pages moved, named, added and deleted, Ctrl+X and Ctrl+V,
// the move entries, drags onto the page buttons, searches, imports replaced and appended, dialogs
// ended from outside, F5. After every step the store must be the model's pages, every row and the
// mark must point to the item they show, and no item may appear or go that the step did not mean.
//
// Fixed seeds run in the suite; OV_SEQUENCE_SEED=n replays one seed, OV_SEQUENCE_SEEDS=a-b runs
// many, OV_SEQUENCE_STEPS=n sets each run's length and OV_SEQUENCE_TRACE=1 prints each step and
// its time as it runs (docs/design.md, "The tests").
#include "uCmnFile.h"
#include "uCmnMatch.h"
#include "uCmnRegStore.h"
#include "uCmnStr.h"
#include "uOvBackup.h"
#include "uOvCfg.h"
#include "uOvFrmDef.h"
#include "uOvInput.h"
#include "uOvOptn.h"
#include "uOvOptnDef.h"
#include "uOvPageCmd.h"
#include "uOvPages.h"
#include "uTestMainWindow.h"

#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>

namespace {

// ---------------------------------------------------------------------------------------------
// The model: pages by a number of the test's own that no renumbering changes, their folders,
// names and items, and the rows marked with Ctrl+X.

struct TItem {
    std::wstring name, path;
};

struct TPage {
    int uid = 0;
    std::wstring folder, name;
    // An ordinary page's items; a folder page's folder listing (the store holds part of it while
    // its writes run).
    std::vector<TItem> items;
};

struct TModel {
    std::vector<TPage> pages;
    int lastUid = 0;
    // Marked rows in list order: page and name.
    std::vector<std::pair<int, std::wstring>> mark;

    TPage& Add(std::wstring folder = {}) {
        TPage& page = pages.emplace_back();
        page.uid = ++lastUid;
        page.folder = std::move(folder);
        return page;
    }
    int Uid(int32_t number) const {
        return number >= 1 && number <= static_cast<int32_t>(pages.size()) ? pages[number - 1].uid
                                                                           : 0;
    }
    TPage* ByUid(int uid) {
        for (TPage& page : pages)
            if (page.uid == uid)
                return &page;
        return nullptr;
    }
    int32_t Number(int uid) const {
        for (size_t i = 0; i < pages.size(); ++i)
            if (pages[i].uid == uid)
                return static_cast<int32_t>(i + 1);
        return 0;
    }
};

TItem* Find(TPage& page, const std::wstring& name) {
    for (TItem& item : page.items)
        if (RegNameEqual(item.name, name))
            return &item;
    return nullptr;
}

// The first of name, "name (2).ext", "name (3).ext", ... the page does not hold.
std::wstring FreeName(TPage& page, const std::wstring& name) {
    std::wstring free = name;
    for (int n = 2; Find(page, free); ++n) {
        const size_t dot = name.rfind(L'.');
        const std::wstring number = L" (" + std::to_wstring(n) + L")";
        free = dot == std::wstring::npos || dot == 0
                   ? name + number
                   : name.substr(0, dot) + number + name.substr(dot);
    }
    return free;
}

// Items moved, in the rows' order, each from the page it is on now, as the moves do it.
void ModelMove(TModel& model, const std::vector<std::pair<int, std::wstring>>& rows, int target) {
    TPage* to = model.ByUid(target);
    for (const auto& [uid, name] : rows) {
        TPage* from = model.ByUid(uid);
        if (!from || !to || from == to)
            continue;
        TItem* item = Find(*from, name);
        if (!item)
            continue;
        const TItem moved{FreeName(*to, item->name), item->path};
        from->items.erase(from->items.begin() + (item - from->items.data()));
        to->items.push_back(moved);
    }
}

std::wstring Trimmed(const std::wstring& text) {
    size_t first = 0, last = text.size();
    while (first < last && text[first] <= L' ')
        ++first;
    while (last > first && text[last - 1] <= L' ')
        --last;
    return text.substr(first, last - first);
}

// ---------------------------------------------------------------------------------------------
// Dialogs answered the moment they show: every dialog of this thread that is visible and takes
// input (a box, the name dialog, the file dialog, the choice, the options dialog) is handed to the
// step's answer with the number of times it was seen. A box the step did not expect is closed and
// noted.

class TAnswers {
  public:
    using TAnswer = std::function<bool(HWND dialog, int seen)>;

    TAnswers(TAnswer answer) : answer_(std::move(answer)) {
        self_ = this;
        timer_ = ::SetTimer(nullptr, 0, 10, Tick);
    }
    ~TAnswers() {
        ::KillTimer(nullptr, timer_);
        self_ = nullptr;
    }
    TAnswers(const TAnswers&) = delete;
    TAnswers& operator=(const TAnswers&) = delete;

    std::vector<std::wstring> unexpected;

  private:
    static bool Dialog(HWND hwnd) {
        wchar_t cls[64] = {};
        ::GetClassNameW(hwnd, cls, 64);
        return (std::wstring(cls) == L"#32770" || std::wstring(cls) == OV_OPTN_CLASS) &&
               ::IsWindowVisible(hwnd);
    }
    static BOOL CALLBACK Candidate(HWND hwnd, LPARAM found) {
        if (Dialog(hwnd) && ::IsWindowEnabled(hwnd) && hwnd != self_->last_) {
            *reinterpret_cast<HWND*>(found) = hwnd;
            return FALSE;
        }
        return TRUE;
    }
    static BOOL CALLBACK Stuck(HWND hwnd, LPARAM) {
        if (Dialog(hwnd)) {
            self_->unexpected.push_back(L"a dialog that took no input: " + WindowText(hwnd));
            ::EnableWindow(hwnd, TRUE);
            ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
        }
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (!self_)
            return;
        HWND dialog = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), Candidate, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog) {
            // A dialog that stays up and takes no input would hold the run: it fails it instead.
            if (::GetTickCount() - self_->answeredAt_ > 5000) {
                self_->answeredAt_ = ::GetTickCount();
                ::EnumThreadWindows(::GetCurrentThreadId(), Stuck, 0);
            }
            return;
        }
        self_->answeredAt_ = ::GetTickCount();
        self_->last_ = dialog;
        const int seen = ++self_->seen_[dialog];
        if (!self_->answer_(dialog, seen)) {
            self_->unexpected.push_back(WindowText(::GetDlgItem(dialog, 0xFFFF)));
            ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }

    TAnswer answer_;
    UINT_PTR timer_ = 0;
    HWND last_ = nullptr;
    DWORD answeredAt_ = ::GetTickCount();
    std::map<HWND, int> seen_;
    static TAnswers* self_;
};
TAnswers* TAnswers::self_ = nullptr;

bool IsBox(HWND dialog) {
    return ::GetDlgItem(dialog, 0xFFFF) && !::GetDlgItem(dialog, IDC_TEXTASK_EDIT) &&
           !::GetDlgItem(dialog, IDC_CHOICE_FIRST) && !::GetDlgItem(dialog, edt1) &&
           !::GetDlgItem(dialog, cmb13);
}

void Press(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// ---------------------------------------------------------------------------------------------
// The run

class UserSequences : public TMainWindowTest {
  protected:
    void SetUp() override {
        TMainWindowTest::SetUp();
        ComEnsure();
        // Files of one name in two folders and in two letter cases, and three folders to drop.
        for (const wchar_t* sub : {L"f", L"g", L"small", L"mid", L"big"})
            ::CreateDirectoryW((dir / sub).c_str(), nullptr);
        for (const wchar_t* name :
             {L"f\\a.txt", L"f\\b.txt", L"f\\report.doc", L"f\\表 ソ.txt", L"f\\x.y.z", L"g\\a.txt",
              L"g\\B.TXT", L"g\\Report.doc", L"g\\notes", L"g\\😀.txt"}) {
            FileWrite(dir / name, "x");
            pool.push_back(dir / name);
        }
        const std::pair<const wchar_t*, int> folders[] = {
            {L"small", 5}, {L"mid", 60}, {L"big", 400}};
        for (const auto& [folder, count] : folders) {
            std::vector<TItem>& listing = listings[dir / folder];
            for (int i = 0; i < count; ++i) {
                const std::wstring name =
                    std::wstring(folder) + L" " + std::to_wstring(i) + L".txt";
                FileWrite(dir / folder + L"\\" + name, "");
                listing.push_back({name, dir / folder + L"\\" + name});
            }
        }
        exported = dir / L"backup.reg";
    }

    // One run of `steps` steps from `seed`; the first failing check ends it.
    void Run(unsigned seed, int steps) {
        random.seed(seed);
        ProgramStateRemove();
        ConfigTreeCreate();
        model = {};
        model.Add();
        RegIntWrite(HKEY_CURRENT_USER, OvKeyConfig, OvValLvwStyle, 3);
        OpenShown();
        snapshot.reset();
        TAnswers answers([this](HWND dialog, int seen) { return Answer(dialog, seen); });
        const bool trace = std::getenv("OV_SEQUENCE_TRACE") != nullptr;
        for (step = 0; step < steps; ++step) {
            const DWORD began = ::GetTickCount();
            const std::string name = StepRun();
            const DWORD ran = ::GetTickCount();
            Settle();
            unexpectedBoxes.insert(unexpectedBoxes.end(), answers.unexpected.begin(),
                                   answers.unexpected.end());
            answers.unexpected.clear();
            std::string fault;
            Check(fault, name);
            if (trace)
                std::fprintf(stderr, "%d %s: %lu + %lu ms\n", step, name.c_str(), ran - began,
                             ::GetTickCount() - ran);
            if (!fault.empty()) {
                ADD_FAILURE() << "seed " << seed << ", step " << step << " (" << name
                              << "): " << fault << "\nthe steps:\n"
                              << log.str();
                break;
            }
            log << step << ' ' << name << '\n';
        }
        form.reset();
        log.str({});
    }

    size_t Below(size_t n) {
        return n ? std::uniform_int_distribution<size_t>(0, n - 1)(random) : 0;
    }
    bool Chance(int percent) { return static_cast<int>(Below(100)) < percent; }

    HWND List() const { return form->CptLvwItems; }
    int Rows() const { return ListView_GetItemCount(List()); }
    bool Results() const { return form->Search().ResultsShown(); }
    void Command(int id) { ::SendMessageW(form->Handle(), WM_COMMAND, id, 0); }
    TPage& Shown() { return model.pages[static_cast<size_t>(form->CurrentPage - 1)]; }

    // What a row stands for: its page's uid and its name.
    std::pair<int, std::wstring> RowItem(int row) const {
        const TListRow r = ListRowOf(row);
        return {model.Uid(r.Page()), r.name};
    }
    // Selects some rows at random (none now and then); their items in list order.
    std::vector<std::pair<int, std::wstring>> SelectSome() {
        ListView_SetItemState(List(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        std::vector<std::pair<int, std::wstring>> chosen;
        const int rows = Rows();
        if (rows == 0 || Chance(5))
            return chosen;
        const size_t wanted = 1 + Below(std::min(rows, 4));
        std::set<int> picked;
        while (picked.size() < wanted)
            picked.insert(static_cast<int>(Below(static_cast<size_t>(rows))));
        for (int row : picked) {
            ListView_SetItemState(List(), row, LVIS_SELECTED, LVIS_SELECTED);
            chosen.push_back(RowItem(row));
        }
        ListView_SetItemState(List(), *picked.begin(), LVIS_FOCUSED, LVIS_FOCUSED);
        return chosen;
    }
    bool OnFolderPage(const std::vector<std::pair<int, std::wstring>>& rows) {
        return std::any_of(rows.begin(), rows.end(), [&](const auto& row) {
            const TPage* page = model.ByUid(row.first);
            return page && !page->folder.empty();
        });
    }
    // The commands that leave a search show a page again: the model's search ends with them.
    void SearchLeft() { searchText.clear(); }

    // Runs `action` with every box answered by `box` (IDOK, IDCANCEL) and the other dialogs by
    // `other`. Every step runs under the run's answers: a box the step did not expect is closed
    // and fails the run, it never holds it.
    void Answered(const std::function<void()>& action, int box = IDOK,
                  TAnswers::TAnswer other = {}) {
        boxButton = box;
        otherDialogs = std::move(other);
        action();
        boxButton = IDOK;
        otherDialogs = {};
    }
    bool Answer(HWND dialog, int seen) {
        if (IsBox(dialog)) {
            boxes.push_back(WindowText(::GetDlgItem(dialog, 0xFFFF)));
            Press(dialog, boxButton);
            return true;
        }
        return otherDialogs && otherDialogs(dialog, seen);
    }

    // -----------------------------------------------------------------------------------------
    // The steps

    std::string StepRun() {
        boxes.clear();
        static const std::pair<int, std::string (UserSequences::*)()> steps[] = {
            {14, &UserSequences::DropFiles}, {3, &UserSequences::DropFolder},
            {10, &UserSequences::Delete},    {8, &UserSequences::Rename},
            {8, &UserSequences::PageMove},   {3, &UserSequences::PageName},
            {8, &UserSequences::PageGo},     {2, &UserSequences::PageAppend},
            {3, &UserSequences::PageDelete}, {6, &UserSequences::Cut},
            {6, &UserSequences::Paste},      {2, &UserSequences::Escape},
            {6, &UserSequences::MoveTo},     {5, &UserSequences::Drag},
            {6, &UserSequences::Search},     {3, &UserSequences::Refresh},
            {2, &UserSequences::Export},     {3, &UserSequences::Import},
            {4, &UserSequences::Wait},
        };
        int total = 0;
        for (const auto& s : steps)
            total += s.first;
        int pick = static_cast<int>(Below(static_cast<size_t>(total)));
        for (size_t i = 0; i < std::size(steps); ++i) {
            if (pick < steps[i].first) {
                return (this->*steps[i].second)();
            }
            pick -= steps[i].first;
        }
        return "none";
    }

    std::string DropFiles() {
        std::vector<std::wstring> paths;
        for (size_t n = 1 + Below(4); paths.size() < n;)
            paths.push_back(pool[Below(pool.size())]);
        Answered([&] {
            ::SendMessageW(form->Handle(), WM_DROPFILES,
                           reinterpret_cast<WPARAM>(MakeDrop(paths, {0, 0}, false)), 0);
        });
        SearchLeft();
        TPage& page = Shown();
        if (!page.folder.empty()) {
            expectedBoxes = 1;
            return "drop onto a folder page";
        }
        for (const std::wstring& path : paths)
            if (!Find(page, PathName(path)))
                page.items.push_back({PathName(path), path});
        return "drop of " + std::to_string(paths.size());
    }

    std::string DropFolder() {
        auto folder = listings.begin();
        std::advance(folder, static_cast<long>(Below(listings.size())));
        ::SendMessageW(form->Handle(), WM_DROPFILES,
                       reinterpret_cast<WPARAM>(MakeDrop({folder->first}, {0, 0}, false)), 0);
        SearchLeft();
        model.Add(folder->first).items = folder->second;
        return "drop of a folder of " + std::to_string(folder->second.size());
    }

    std::string Delete() {
        const auto rows = SelectSome();
        const bool ok = Chance(85);
        Answered([&] { Command(IDM_KEY_DELETE); }, ok ? IDOK : IDCANCEL);
        if (rows.empty())
            return "delete of nothing";
        expectedBoxes = 1;
        if (OnFolderPage(rows) || !ok)
            return "delete refused";
        for (const auto& [uid, name] : rows) {
            TPage* page = model.ByUid(uid);
            if (TItem* item = page ? Find(*page, name) : nullptr)
                page->items.erase(page->items.begin() + (item - page->items.data()));
        }
        return "delete of " + std::to_string(rows.size());
    }

    std::string Rename() {
        if (Rows() == 0)
            return "rename of nothing";
        const int row = static_cast<int>(Below(static_cast<size_t>(Rows())));
        const auto [uid, name] = RowItem(row);
        TPage* page = model.ByUid(uid);
        NMLVDISPINFOW info{};
        info.hdr = {List(), IDC_ITEMS, LVN_BEGINLABELEDITW};
        info.item.iItem = row;
        LRESULT refused = 0;
        Answered([&] {
            refused = ::SendMessageW(form->Handle(), WM_NOTIFY, IDC_ITEMS,
                                     reinterpret_cast<LPARAM>(&info));
        });
        std::string done = "rename";
        if (!page->folder.empty()) {
            expectedBoxes = 1;
            done = "rename refused";
        }
        // The editor stays open while a page moves under it now and then.
        if (!refused && Chance(25))
            done += ", editor open across " + PageMove();
        const std::wstring texts[] = {L"renamed " + std::to_wstring(step) + L".txt",
                                      name.empty() ? L"x" : std::wstring(1, name[0]) + L".TXT",
                                      L"  ", L" blank around ", name};
        std::wstring text = texts[Below(std::size(texts))];
        info.hdr.code = LVN_ENDLABELEDITW;
        info.item.pszText = Chance(10) ? nullptr : text.data();
        ::SendMessageW(form->Handle(), WM_NOTIFY, IDC_ITEMS, reinterpret_cast<LPARAM>(&info));
        if (refused || !info.item.pszText)
            return done + " (cancelled)";
        // Its page, wherever the move took it.
        page = model.ByUid(uid);
        TItem* item = Find(*page, name);
        if (item && Trimmed(text) != L"" && !Find(*page, text))
            item->name = text;
        return done;
    }

    std::string PageMove() {
        const int delta = Chance(50) ? -1 : 1;
        const int32_t other = form->CurrentPage + delta;
        Command(delta < 0 ? IDM_PAGE_MOVEBACK : IDM_PAGE_MOVEFORWARD);
        if (Results() || other < 1 || other > static_cast<int32_t>(model.pages.size()))
            return "page move refused";
        std::swap(model.pages[static_cast<size_t>(form->CurrentPage - 1)],
                  model.pages[static_cast<size_t>(form->CurrentPage - 1 - delta)]);
        return delta < 0 ? "page moved back" : "page moved forward";
    }

    std::string PageName() {
        const std::wstring names[] = {L"仕事",
                                      L"仕事 ",
                                      L"TOOLS",
                                      L"tools",
                                      L"  ",
                                      std::wstring(65, L'長'),
                                      L"😀 " + std::to_wstring(step)};
        const std::wstring typed = names[Below(std::size(names))];
        const bool results = Results();
        Answered([&] { Command(IDM_PAGE_NAME); }, IDOK,
                 [&](HWND dialog, int seen) {
                     HWND edit = ::GetDlgItem(dialog, IDC_TEXTASK_EDIT);
                     if (!edit)
                         return false;
                     // Typed and accepted; shown again after a refusal's box: cancelled. Now and
                     // then the dialog is ended from outside instead.
                     if (seen == 1 && Chance(10)) {
                         ::DestroyWindow(dialog);
                         typedGone = true;
                         return true;
                     }
                     ::SetWindowTextW(edit, typed.c_str());
                     Press(dialog, seen == 1 ? IDOK : IDCANCEL);
                     return true;
                 });
        if (results)
            return "page name refused during a search";
        if (typedGone) {
            typedGone = false;
            return "page name dialog ended from outside";
        }
        const std::wstring name = Trimmed(typed);
        const bool taken = std::any_of(model.pages.begin(), model.pages.end(), [&](const TPage& p) {
            return &p != &Shown() && !name.empty() && RegNameEqual(p.name, name);
        });
        if (CharCount(name) > OvPageNameMax || taken) {
            expectedBoxes = 1;
            return "page name refused";
        }
        Shown().name = name;
        return "page named";
    }

    std::string PageGo() {
        const int32_t page = 1 + static_cast<int32_t>(Below(model.pages.size() + 1));
        Command(IDM_PAGE_SHOW_FIRST + page - 1);
        SearchLeft();
        return "page " + std::to_string(page);
    }

    std::string PageAppend() {
        Command(IDM_PAGE_NEW);
        SearchLeft();
        model.Add();
        return "page added";
    }

    std::string PageDelete() {
        const bool ok = Chance(85);
        const bool results = Results();
        const int32_t shown = form->CurrentPage;
        Answered([&] { Command(IDM_PAGE_DELETE); }, ok ? IDOK : IDCANCEL);
        if (results)
            return "page deletion refused during a search";
        expectedBoxes = 1;
        if (!ok)
            return "page deletion cancelled";
        if (model.pages.size() == 1) {
            const int uid = model.pages[0].uid;
            model.pages[0] = {};
            model.pages[0].uid = uid;
            return "the only page emptied";
        }
        model.pages.erase(model.pages.begin() + (shown - 1));
        // The window went one page back, where it could: checked against its own state.
        return "page deleted";
    }

    std::string Cut() {
        const auto rows = SelectSome();
        Answered([&] { Command(IDM_KEY_CUT); });
        if (OnFolderPage(rows)) {
            expectedBoxes = 1;
            return "cut refused";
        }
        model.mark = rows;
        return "cut of " + std::to_string(rows.size());
    }

    std::string Paste() {
        const bool results = Results();
        const bool folder = !Shown().folder.empty();
        Answered([&] { Command(IDM_KEY_PASTE); });
        if (model.mark.empty() || results)
            return "paste of nothing";
        if (folder) {
            expectedBoxes = 1;
            return "paste refused";
        }
        ModelMove(model, model.mark, Shown().uid);
        model.mark.clear();
        return "paste";
    }

    std::string Escape() {
        if (model.mark.empty() && !form->Search().IsOpen())
            return "escape left alone";
        Command(IDM_KEY_MINIMIZE);
        if (!model.mark.empty()) {
            model.mark.clear();
            return "mark dropped";
        }
        SearchLeft();
        return "search left";
    }

    // Rows moved to `target` (0: a new page) as the moves do it, their boxes expected.
    std::string Moved(const std::vector<std::pair<int, std::wstring>>& rows, int32_t target) {
        if (rows.empty())
            return "move of nothing";
        if (OnFolderPage(rows)) {
            expectedBoxes = 1;
            return "move refused";
        }
        if (target > 0 && !model.pages[static_cast<size_t>(target - 1)].folder.empty()) {
            expectedBoxes = 1;
            return "move onto a folder page refused";
        }
        const int uid = target == 0 ? model.Add().uid : model.Uid(target);
        ModelMove(model, rows, uid);
        model.mark.clear();
        return "move of " + std::to_string(rows.size()) + " to " + std::to_string(target);
    }

    std::string MoveTo() {
        const auto rows = SelectSome();
        const int32_t target = static_cast<int32_t>(Below(model.pages.size() + 1));
        Answered([&] {
            Command(target == 0 ? static_cast<int>(IDM_PAGE_MOVETO_NEW)
                                : static_cast<int>(IDM_PAGE_MOVETO_FIRST) + target - 1);
        });
        return "menu " + Moved(rows, target);
    }

    std::string Drag() {
        if (Rows() == 0)
            return "drag of nothing";
        auto rows = SelectSome();
        const int row = static_cast<int>(Below(static_cast<size_t>(Rows())));
        if (rows.empty())
            rows.push_back(RowItem(row));
        const bool back = Chance(50);
        RECT rc{};
        const int button = back ? IDC_TBN_BEFORE : IDC_TBN_NEXT;
        ::SendMessageW(form->CptTbrToolBar, TB_GETRECT, button, reinterpret_cast<LPARAM>(&rc));
        POINT at{(rc.left + rc.right) / 2 - 4, (rc.top + rc.bottom) / 2};
        ::MapWindowPoints(form->CptTbrToolBar, form->Handle(), &at, 1);
        const int32_t current = form->CurrentPage;
        const int32_t target = back ? current - 1 : current < form->PageTotal ? current + 1 : 0;
        Answered([&] { DragRows(row, at); });
        if (target < 0 || (back && current == 1))
            return "drag onto nothing";
        return "drag " + Moved(rows, target);
    }

    std::string Search() {
        const wchar_t* texts[] = {L"a", L"TXT", L"re", L"big 1", L"mid", L"😀", L"zzz", L""};
        searchText = texts[Below(std::size(texts))];
        Command(IDM_KEY_FIND);
        ::SetWindowTextW(form->Search().Field(), searchText.c_str());
        return "search for " + Utf8Of(searchText);
    }

    std::string Refresh() {
        Command(IDM_PMU_BTNUPDATE);
        return "F5";
    }

    // The tree as it is now, written where the import finds it (not a command of the window:
    // an export changes nothing), with the model's pages.
    std::string Export() {
        const std::vector<BYTE> bytes = ExportBytes();
        FileWrite(exported, std::string(bytes.begin(), bytes.end()));
        snapshot = model.pages;
        return "exported";
    }

    // The options dialog's import of the exported file: replaced, appended, cancelled, or its
    // question ended from outside (destroyed, or the window closed under it).
    std::string Import() {
        if (!snapshot)
            return "import of nothing";
        const int choice = static_cast<int>(Below(6));
        Answered([&] { Command(IDC_TBN_OPTION); }, IDOK,
                 [&](HWND dialog, int seen) {
                     if (FrmOvOptn && dialog == FrmOvOptn->Handle()) {
                         // First the import button; back after a cancelled import, Cancel.
                         Press(dialog, seen == 1 ? IDC_BTN_IMPORT : IDC_BTN_CANCEL);
                         return true;
                     }
                     if (::GetDlgItem(dialog, edt1) || ::GetDlgItem(dialog, cmb13)) {
                         for (int control : {cmb13, edt1})
                             ::SendMessageW(dialog, CDM_SETCONTROLTEXT, control,
                                            reinterpret_cast<LPARAM>(exported.c_str()));
                         Press(dialog, IDOK);
                         return true;
                     }
                     if (!::GetDlgItem(dialog, IDC_CHOICE_FIRST))
                         return false;
                     if (choice < 3) {
                         Press(dialog, IDC_CHOICE_FIRST + choice);
                     } else if (choice == 3) {
                         ::DestroyWindow(dialog);
                     } else if (choice == 4) {
                         ::SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
                         Press(dialog, IDCANCEL);
                     } else {
                         Press(dialog, IDCANCEL);
                     }
                     return true;
                 });
        if (choice == 0) {
            model.pages.clear();
            for (const TPage& page : *snapshot) {
                TPage& added = model.Add(page.folder);
                added.name = page.name;
                added.items = page.items;
            }
        } else if (choice == 1) {
            for (const TPage& page : *snapshot) {
                TPage& added = model.Add(page.folder);
                added.items = page.items;
                std::wstring name = page.name;
                for (int n = 2; !name.empty() && std::any_of(model.pages.begin(), model.pages.end(),
                                                             [&](const TPage& p) {
                                                                 return &p != &added &&
                                                                        RegNameEqual(p.name, name);
                                                             });
                     ++n)
                    name = PageNameNumbered(page.name, n);
                added.name = name;
            }
        } else {
            return "import ended without a change";
        }
        model.mark.clear();
        SearchLeft();
        return choice == 0 ? "import replaced" : "import appended";
    }

    // The program's idle time: its listings arrive and its writes go on.
    std::string Wait() {
        PumpMessages(static_cast<int>(20 + Below(80)));
        return "wait";
    }

    // Handles what the step left to come (a listing's arrival, a slice of writes) without waiting.
    void Settle() {
        MSG msg;
        for (int i = 0; i < 50 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i)
            TApplication::ProcessMessage(msg);
    }

    // -----------------------------------------------------------------------------------------
    // The checks

    void Check(std::string& fault, const std::string& name) {
        std::ostringstream out;
        if (!unexpectedBoxes.empty())
            out << "a box nobody asked for: " << Utf8Of(unexpectedBoxes[0]) << "; ";
        if (static_cast<int>(boxes.size()) != expectedBoxes) {
            out << boxes.size() << " boxes, " << expectedBoxes << " expected";
            for (const std::wstring& box : boxes)
                out << " [" << Utf8Of(box) << "]";
            out << "; ";
        }
        unexpectedBoxes.clear();
        expectedBoxes = 0;
        const int32_t total = static_cast<int32_t>(model.pages.size());
        if (PageCount() != total || form->PageTotal != total)
            out << "pages: store " << PageCount() << ", window " << form->PageTotal << ", model "
                << total << "; ";
        if (form->CurrentPage < 1 || form->CurrentPage > form->PageTotal)
            out << "page shown " << form->CurrentPage << "; ";
        for (int32_t number = 1; number <= std::min(total, PageCount()); ++number) {
            const TPage& page = model.pages[static_cast<size_t>(number - 1)];
            if (PageFolderRead(number) != page.folder)
                out << "page " << number << "'s folder; ";
            if (PageNameRead(number) != page.name)
                out << "page " << number << " named " << Utf8Of(PageNameRead(number)) << ", not "
                    << Utf8Of(page.name) << "; ";
            // A folder page's store follows its listing (read whole now and then: its hundreds of
            // values cost the run most of its time); an ordinary page is its items, exactly.
            const bool whole = page.folder.empty();
            if (!whole && step % 8 != 0) {
                if (PageItemCount(number) > static_cast<int32_t>(page.items.size()))
                    out << "page " << number << " holds more than its folder; ";
                continue;
            }
            std::map<std::wstring, std::wstring> stored, expected;
            TPageEntries entries;
            PageItemsRead(number, entries);
            for (const TPageEntry& e : entries)
                stored[e.name] = e.path;
            for (const TItem& item : page.items)
                expected[item.name] = item.path;
            bool part = true;
            for (const auto& [name, path] : stored)
                part &= expected.count(name) && expected[name] == path;
            if (whole ? stored != expected : !part) {
                out << "page " << number << " holds";
                for (const auto& [name, path] : stored)
                    out << " " << Utf8Of(name);
                out << ", expected";
                for (const auto& [name, path] : expected)
                    out << " " << Utf8Of(name);
                out << "; ";
            }
        }
        // Every row stands for the item it shows, on its own page; a page's rows are its items.
        std::map<std::pair<int, std::wstring>, const TItem*> items;
        for (const TPage& page : model.pages)
            for (const TItem& item : page.items)
                items[{page.uid, item.name}] = &item;
        const bool anyMark = !model.mark.empty() || form->Pages().Marked();
        std::multiset<std::pair<int, std::wstring>> rows;
        for (int row = 0; row < Rows(); ++row) {
            const TListRow r = ListRowOf(row);
            const auto item = items.find({model.Uid(r.Page()), r.name});
            if (item == items.end() || item->second->path != r.path) {
                out << "row " << row << " (" << Utf8Of(r.name) << ", page " << r.Page()
                    << ") stands for no item; ";
                break;
            }
            const TPage* page = model.ByUid(item->first.first);
            rows.insert({page->uid, r.name});
            if (!anyMark)
                continue;
            const bool dimmed = ListView_GetItemState(List(), row, LVIS_CUT) != 0;
            const bool marked = std::find(model.mark.begin(), model.mark.end(),
                                          std::pair{page->uid, r.name}) != model.mark.end();
            if (dimmed != marked)
                out << "row " << Utf8Of(r.name) << (dimmed ? " dimmed" : " not dimmed") << "; ";
        }
        const TPage& shown = Shown();
        if (!Results() && shown.folder.empty() && static_cast<size_t>(Rows()) != shown.items.size())
            out << Rows() << " rows on page " << form->CurrentPage << " of " << shown.items.size()
                << " items; ";
        // The results just shown are every item whose name holds the text (a folder page's
        // index waits for its writes to end, and a row renamed among them stays).
        const bool shownNow = name.rfind("search", 0) == 0 || name == "F5";
        if (Results() && shownNow && !form->Search().Searching()) {
            std::multiset<std::pair<int, std::wstring>> found, ordinary;
            const std::wstring part = TextFold(searchText);
            for (int32_t number = 1; number <= total; ++number) {
                if (!model.pages[static_cast<size_t>(number - 1)].folder.empty())
                    continue;
                TPageEntries entries;
                PageItemsRead(number, entries);
                for (const TPageEntry& e : entries)
                    if (TextFoldedContains(TextFold(e.name), part))
                        found.insert({model.Uid(number), e.name});
            }
            for (const auto& row : rows)
                if (model.ByUid(row.first)->folder.empty())
                    ordinary.insert(row);
            if (found != ordinary)
                out << ordinary.size() << " results of " << found.size() << " items found; ";
        }
        fault = out.str();
    }

    TTempFolder dir;
    std::vector<std::wstring> pool;
    std::map<std::wstring, std::vector<TItem>> listings;
    std::wstring exported;
    std::optional<std::vector<TPage>> snapshot;
    TModel model;
    std::mt19937 random;
    int step = 0;
    std::wstring searchText;
    std::vector<std::wstring> boxes, unexpectedBoxes;
    int expectedBoxes = 0;
    int boxButton = IDOK;
    TAnswers::TAnswer otherDialogs;
    bool typedGone = false;
    std::ostringstream log;
};

int EnvInt(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::atoi(text) : fallback;
}

} // namespace

// Fixed seeds in the suite; OV_SEQUENCE_SEED replays one, OV_SEQUENCE_SEEDS=a-b runs many.
TEST_F(UserSequences, TheStoreTheRowsAndTheMarkFollowEveryStep) {
    const int steps = EnvInt("OV_SEQUENCE_STEPS", 250);
    unsigned first = 1, last = 3;
    if (const int one = EnvInt("OV_SEQUENCE_SEED", 0); one > 0)
        first = last = static_cast<unsigned>(one);
    if (const char* range = std::getenv("OV_SEQUENCE_SEEDS"); range && std::strchr(range, '-')) {
        first = static_cast<unsigned>(std::atoi(range));
        last = static_cast<unsigned>(std::atoi(std::strchr(range, '-') + 1));
    }
    for (unsigned seed = first; seed <= last && !HasFailure(); ++seed)
        Run(seed, steps);
}
