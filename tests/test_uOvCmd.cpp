// The item commands and the page buttons, driven through the real main window with the messages
// the shell, the toolbar and the list send: drops built by hand, button clicks, list
// notifications, and the real confirmation, error and file dialogs answered as a user would.
#include "uCmnApp.h"
#include "uCmnFile.h"
#include "uCmnReg.h"
#include "uCmnShell.h"
#include "uOvCap.h"
#include "uOvCfg.h"
#include "uOvCmd.h"
#include "uOvFrmDef.h"
#include "uOvLvw.h"
#include "uOvMain.h"
#include "uOvReg.h"
#include "uOvRegDef.h"
#include "uTestFiles.h"
#include "uTestMainWindow.h"
#include "uTestRegStores.h"
#include "uTestSupport.h"

#include <commctrl.h>
#include <commdlg.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

const HKEY HKCU = HKEY_CURRENT_USER;

std::string EchoExe() {
    return ExeFolder() + "ovArgEcho.exe";
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// What the stand-in programs wrote: command line and working directory, per start. Waits until
// `starts` programs have written or a generous time has passed. A report counts only once it
// reads whole: just after the stand-in's rename the file can still be held by it and refuse to
// open, and an unreadable file must be read again, not taken for an empty report.
std::vector<std::string> EchoLines(const std::string& prefix, size_t starts) {
    std::vector<std::string> lines;
    for (int i = 0; i < 1000; ++i) {
        lines.clear();
        size_t found = 0;
        WIN32_FIND_DATAA fd;
        HANDLE h = ::FindFirstFileA((prefix + ".*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = fd.cFileName;
                if (EndsWith(name, ".part"))
                    continue;
                std::ifstream in(PathFolderWithSep(prefix) + name);
                std::vector<std::string> report;
                for (std::string line; std::getline(in, line);)
                    report.push_back(line);
                if (report.size() < 2)
                    continue;
                ++found;
                lines.insert(lines.end(), report.begin(), report.end());
            } while (::FindNextFileA(h, &fd));
            ::FindClose(h);
        }
        if (found >= starts)
            break;
        PumpMessages(20);
    }
    return lines;
}

// True when no stand-in program has written anything.
bool NoEcho(const std::string& prefix) {
    return EchoLines(prefix, 0).empty();
}

// The shell's drop handle for `paths`, dropped at `point` of the main window's client area
// (or outside it).
HDROP MakeDrop(const std::vector<std::wstring>& paths, POINT point, bool inClient = true) {
    size_t chars = 1;
    for (const auto& p : paths)
        chars += p.size() + 1;
    HGLOBAL mem = ::GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* df = static_cast<DROPFILES*>(::GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    df->pt = point;
    df->fNC = inClient ? FALSE : TRUE;
    df->fWide = TRUE;
    auto* out = reinterpret_cast<wchar_t*>(df + 1);
    for (const auto& p : paths) {
        std::memcpy(out, p.c_str(), (p.size() + 1) * sizeof(wchar_t));
        out += p.size() + 1;
    }
    ::GlobalUnlock(mem);
    return static_cast<HDROP>(mem);
}

std::wstring Wide(const std::string& s) {
    std::wstring w(s.size() + 1, L'\0');
    int n = ::MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), static_cast<int>(w.size()));
    w.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
    return w;
}

class ItemCommands : public TMainWindowTest {
  protected:
    void SetUp() override {
        TMainWindowTest::SetUp();
        // The first-run tree, so pages can be set up before the window opens.
        ConfigTreeCreate();
        echoOut = tmp / "started";
        ::SetEnvironmentVariableA("OV_ECHO_OUT", echoOut.c_str());
    }
    void TearDown() override {
        TMainWindowTest::TearDown();
        ::SetEnvironmentVariableA("OV_ECHO_OUT", nullptr);
    }

    // Opens the main window on a fresh tree, the list in report view.
    TFrmOvMain& Open() {
        TMainWindowTest::Open();
        ::SendMessageA(form->Handle(), WM_COMMAND, IDM_PMU_REPORT, 0);
        ::SetWindowPos(form->Handle(), nullptr, 0, 0, 500, 400, SWP_NOZORDER | SWP_NOMOVE);
        return *form;
    }

    std::string File(const std::string& name, const std::string& bytes = "x") {
        const std::string path = tmp / name;
        EXPECT_TRUE(FileWrite(path, bytes));
        return path;
    }

    std::string Folder(const std::string& name) {
        const std::string path = tmp / name;
        ::CreateDirectoryA(path.c_str(), nullptr);
        return path;
    }

    // Captions of the rows in list order.
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        const int n = ListView_GetItemCount(form->CptLvwItems);
        for (int i = 0; i < n; ++i) {
            char buf[512] = {};
            ListView_GetItemText(form->CptLvwItems, i, 0, buf, sizeof(buf));
            rows.push_back(buf);
        }
        return rows;
    }

    int RowOf(const std::string& caption) {
        LVFINDINFOA find{};
        find.flags = LVFI_STRING;
        find.psz = caption.c_str();
        return static_cast<int>(::SendMessageA(form->CptLvwItems, LVM_FINDITEMA,
                                               static_cast<WPARAM>(-1),
                                               reinterpret_cast<LPARAM>(&find)));
    }

    // The middle of a row's caption, in the main window's client coordinates.
    POINT PointOnRow(const std::string& caption) {
        const int row = RowOf(caption);
        EXPECT_GE(row, 0) << caption;
        RECT rc{};
        rc.left = LVIR_LABEL;
        ::SendMessageA(form->CptLvwItems, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rc));
        POINT p{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        ::MapWindowPoints(form->CptLvwItems, form->Handle(), &p, 1);
        return p;
    }

    // A point of the list well below every row.
    POINT EmptySpot() {
        RECT rc{};
        ::GetWindowRect(form->CptLvwItems, &rc);
        POINT p{rc.right - 20, rc.bottom - 20};
        ::ScreenToClient(form->Handle(), &p);
        return p;
    }

    void Drop(const std::vector<std::string>& paths, POINT point) {
        std::vector<std::wstring> wide;
        for (const auto& p : paths)
            wide.push_back(Wide(p));
        ::SendMessageA(form->Handle(), WM_DROPFILES,
                       reinterpret_cast<WPARAM>(MakeDrop(wide, point)), 0);
    }

    void Click(int button) { ::SendMessageA(form->Handle(), WM_COMMAND, button, 0); }

    void Select(const std::vector<std::string>& captions) {
        ListView_SetItemState(form->CptLvwItems, -1, 0, LVIS_SELECTED);
        for (const auto& c : captions)
            ListView_SetItemState(form->CptLvwItems, RowOf(c), LVIS_SELECTED, LVIS_SELECTED);
    }

    LRESULT Notify(UINT code, NMLVDISPINFOA info = {}) {
        info.hdr.hwndFrom = form->CptLvwItems;
        info.hdr.idFrom = IDC_ITEMS;
        info.hdr.code = code;
        return ::SendMessageA(form->Handle(), WM_NOTIFY, IDC_ITEMS,
                              reinterpret_cast<LPARAM>(&info));
    }

    // Commits `text` as the new caption of a row, as the list's editor does.
    LRESULT EndEdit(const std::string& caption, const std::string& text) {
        NMLVDISPINFOA info{};
        info.item.iItem = RowOf(caption);
        info.item.mask = LVIF_TEXT;
        std::string buffer = text;
        info.item.pszText = buffer.data();
        return Notify(LVN_ENDLABELEDITA, info);
    }

    void PageWithItems(int32_t page, const std::vector<std::string>& paths,
                       const std::string& folder = "") {
        PageCreate(page, folder);
        for (const auto& p : paths)
            ItemAdd(page, p);
    }

    TComInit com;
    TTempFolder tmp;
    std::string echoOut;
};

// ---------------------------------------------------------------------------------------------
// Drops

TEST_F(ItemCommands, DropOnEmptySpaceAddsItemsSortedAndADuplicateNameAddsNothing) {
    const std::string c = File("c.txt"), a = File("a.txt"), b = File("b.ini");
    TFrmOvMain& f = Open();
    TBoxSeen box = AnswerBox([&] { Drop({c, a, b}, EmptySpot()); }, IDOK);
    EXPECT_FALSE(box.seen);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a.txt", "b.ini", "c.txt"}));
    EXPECT_EQ(PageItemCount(1), 3);
    EXPECT_EQ(ItemPathRead(1, "c.txt"), c);

    // Same name from another folder, letter case aside: refused without a word.
    Folder("other");
    const std::string again = File("other\\A.TXT");
    box = AnswerBox([&] { Drop({again}, EmptySpot()); }, IDOK);
    EXPECT_FALSE(box.seen);
    EXPECT_EQ(PageItemCount(1), 3);
    EXPECT_EQ(ItemPathRead(1, "a.txt"), a);
    EXPECT_EQ(f.CurrentPage, 1);
}

TEST_F(ItemCommands, DropOntoAProgramStartsItWithEachPathQuotedAndTheLauncherFolder) {
    const std::string a = File("a b.txt"), b = File("c.txt");
    PageWithItems(1, {EchoExe()});
    Open();
    Drop({a, b}, PointOnRow("ovArgEcho.exe"));
    auto lines = EchoLines(echoOut, 1);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(EndsWith(lines[0], "\"" + a + "\" \"" + b + "\" ")) << lines[0];
    EXPECT_EQ(PathFolderWithSep(lines[1] + "\\"), PathFolderWithSep(EchoExe()))
        << "the working directory is the launcher's own folder";
    EXPECT_EQ(PageItemCount(1), 1) << "nothing is added";
}

TEST_F(ItemCommands, DropOntoAShortcutToAProgramAppendsThePathsToItsOwnArguments) {
    const std::string link = tmp / "Echo.lnk";
    ASSERT_TRUE(LinkCreate(link, EchoExe(), "-x 1"));
    const std::string a = File("a.txt"), b = File("b.txt");
    PageWithItems(1, {link});
    Open();
    Drop({a, b}, PointOnRow("Echo"));
    auto lines = EchoLines(echoOut, 1);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(EndsWith(lines[0], "-x 1\"" + a + "\" \"" + b + "\" ")) << lines[0];
    EXPECT_EQ(PageItemCount(1), 1);
}

TEST_F(ItemCommands, DropOntoAnItemThatIsNoProgramAddsThePaths) {
    const std::string text = File("notes.txt");
    const std::string folder = Folder("sub");
    const std::string a = File("a.txt"), b = File("b.txt");
    Open();
    // A folder item exists only until the next refresh of an ordinary page: add it by a drop.
    Drop({text, folder}, EmptySpot());
    Drop({a}, PointOnRow("notes.txt"));
    Drop({b}, PointOnRow("sub"));
    EXPECT_EQ(PageItemCount(1), 4);
    EXPECT_EQ(ItemPathRead(1, "b.txt"), b);
    EXPECT_TRUE(NoEcho(echoOut));
}

TEST_F(ItemCommands, DroppingOneFolderMakesANewLastPageThatMirrorsIt) {
    const std::string one = Folder("one");
    FileWrite(one + "\\x.txt", "x");
    FileWrite(one + "\\y.txt", "y");
    ::CreateDirectoryA((one + "\\inner").c_str(), nullptr);
    const std::string two = Folder("two");
    FileWrite(two + "\\z.txt", "z");
    TFrmOvMain& f = Open();

    Drop({one}, EmptySpot());
    EXPECT_EQ(f.PageTotal, 2);
    EXPECT_EQ(f.CurrentPage, 2);
    EXPECT_EQ(PageFolderRead(2), one);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"inner", "x.txt", "y.txt"}));

    // Also from a folder page: a single folder is never refused.
    TBoxSeen box = AnswerBox([&] { Drop({two}, EmptySpot()); }, IDOK);
    EXPECT_FALSE(box.seen);
    EXPECT_EQ(f.PageTotal, 3);
    EXPECT_EQ(f.CurrentPage, 3);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"z.txt"}));
    EXPECT_EQ(PageCount(), 3);
}

TEST_F(ItemCommands, AFolderDroppedWithAFileBecomesAnItemOfItsOwn) {
    const std::string folder = Folder("docs");
    const std::string file = File("a.txt");
    TFrmOvMain& f = Open();
    Drop({folder, file}, EmptySpot());
    EXPECT_EQ(f.PageTotal, 1);
    EXPECT_EQ(ItemPathRead(1, "docs"), folder);
    EXPECT_EQ(ItemPathRead(1, "a.txt"), file);
    EXPECT_EQ(Rows().size(), 2u);

    // Also when the other object is one the program cannot name: it still counts.
    const std::string other = Folder("more");
    const std::wstring foreign = Wide(tmp.Path()) + L"\\\xAC00.txt";
    ::SendMessageA(f.Handle(), WM_DROPFILES,
                   reinterpret_cast<WPARAM>(MakeDrop({Wide(other), foreign}, EmptySpot())), 0);
    EXPECT_EQ(f.PageTotal, 1);
    EXPECT_EQ(ItemPathRead(1, "more"), other);
}

TEST_F(ItemCommands, DropOnAFolderPageIsRefusedWithError0) {
    const std::string folder = Folder("mirror");
    FileWrite(folder + "\\m.txt", "m");
    const std::string a = File("a.txt"), b = File("b.txt");
    PageWithItems(1, {});
    PageFolderAdd(1, folder, {folder + "\\m.txt"});
    Open();
    TBoxSeen box = AnswerBox([&] { Drop({a, b}, EmptySpot()); }, IDOK);
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.caption, "エラー");
    EXPECT_EQ(box.text, "このページにはファイルを追加できません");
    EXPECT_EQ(PageItemCount(1), 1);
}

TEST_F(ItemCommands, PathsTheAnsiFunctionsCannotNameAreSkippedNotCut) {
    const std::string good = File("good.txt");
    Open();
    const std::wstring longPath = Wide(tmp.Path()) + L"\\" + std::wstring(300, L'n') + L".txt";
    const std::wstring foreign = Wide(tmp.Path()) + L"\\caf\x00e9\x0101.txt";
    ::SendMessageA(form->Handle(), WM_DROPFILES,
                   reinterpret_cast<WPARAM>(MakeDrop({longPath, foreign, Wide(good)}, EmptySpot())),
                   0);
    std::vector<std::string> names;
    PageItemNames(1, names);
    EXPECT_EQ(names, (std::vector<std::string>{"", "good.txt"}));

    // The longest path the ANSI functions take is 259 bytes; one more is left out.
    const std::string folder = tmp.Path() + "\\";
    const std::string longest = folder + std::string(259 - folder.size() - 4, 'm') + ".txt";
    const std::string tooLong = folder + std::string(260 - folder.size() - 4, 'n') + ".txt";
    ASSERT_EQ(longest.size(), 259u);
    ::SendMessageA(form->Handle(), WM_DROPFILES,
                   reinterpret_cast<WPARAM>(MakeDrop({Wide(tooLong), Wide(longest)}, EmptySpot())),
                   0);
    EXPECT_EQ(ItemPathRead(1, PathName(longest)), longest);
    EXPECT_EQ(PageItemCount(1), 2);
}

// The dialog's chosen files and filter: a drive root gets no second separator, and a "|" that
// is the second byte of a double-byte character stays in the text.
TEST(InsertDialog, ChosenFilesAndFilter) {
    using V = std::vector<std::string>;
    // The dialog's buffer: each part ended by a zero, one more zero at the end.
    auto chosen = [](const V& parts) {
        std::string buffer;
        for (const std::string& part : parts)
            buffer += part + std::string(1, '\0');
        return ChosenFiles((buffer + std::string(1, '\0')).c_str());
    };
    EXPECT_EQ(chosen({"C:\\", "a.txt", "b.txt"}), (V{"C:\\a.txt", "C:\\b.txt"}));
    EXPECT_EQ(chosen({"C:\\Docs", "a.txt", "b.txt"}), (V{"C:\\Docs\\a.txt", "C:\\Docs\\b.txt"}));
    EXPECT_EQ(chosen({"C:\\ソ", "a.txt", "b.txt"}), (V{"C:\\ソ\\a.txt", "C:\\ソ\\b.txt"}));
    EXPECT_EQ(chosen({"C:\\one.txt"}), (V{"C:\\one.txt"}));
    EXPECT_EQ(PathFolderWithSep(chosen({"C:\\", "a.txt", "b.txt"})[0]), "C:\\");
    EXPECT_EQ(DialogFilter("ポ|*.p"), std::string("ポ\0*.p\0", 7));
}

TEST_F(ItemCommands, ADropOutsideTheClientAreaNeverReachesTheRowBelow) {
    const std::string a = File("a.txt");
    PageWithItems(1, {EchoExe()});
    Open();
    POINT onRow = PointOnRow("ovArgEcho.exe");
    ::SendMessageA(form->Handle(), WM_DROPFILES,
                   reinterpret_cast<WPARAM>(MakeDrop({Wide(a)}, onRow, false)), 0);
    EXPECT_EQ(ItemPathRead(1, "a.txt"), a);
    PumpMessages(300);
    EXPECT_TRUE(NoEcho(echoOut));
}

// ---------------------------------------------------------------------------------------------
// Insert dialog

// Answers the open-file dialog: notes the folder it opened in and whether the read-only box
// shows, then either types `files` into the name box and confirms, or cancels.
struct TFileDialogAnswer {
    std::string files;
    std::string openedIn;
    bool readOnlyBoxShown = true;
    bool seen = false;
};
TFileDialogAnswer Insert(TFrmOvMain& f, const std::string& files) {
    TFileDialogAnswer answer;
    answer.files = files;
    AnswerDialog([&] { ::SendMessageA(f.Handle(), WM_COMMAND, IDC_TBN_INSERT, 0); },
                 [&](HWND box) {
                     answer.seen = true;
                     char folder[MAX_PATH] = {};
                     ::SendMessageA(box, CDM_GETFOLDERPATH, sizeof(folder),
                                    reinterpret_cast<LPARAM>(folder));
                     answer.openedIn = folder;
                     HWND readOnly = ::GetDlgItem(box, chx1);
                     answer.readOnlyBoxShown = readOnly && ::IsWindowVisible(readOnly);
                     if (files.empty()) {
                         ::PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
                         return;
                     }
                     for (int control : {cmb13, edt1})
                         ::SendMessageA(box, CDM_SETCONTROLTEXT, control,
                                        reinterpret_cast<LPARAM>(files.c_str()));
                     ::PostMessageA(box, WM_COMMAND, IDOK, 0);
                 });
    return answer;
}

TEST_F(ItemCommands, InsertAddsTheChosenFilesAndRemembersTheirFolder) {
    const std::string folder = Folder("picked");
    FileWrite(folder + "\\one.txt", "1");
    FileWrite(folder + "\\two.txt", "2");
    TFrmOvMain& f = Open();
    f.LastOpenDir = tmp.Path() + "\\";

    TFileDialogAnswer cancelled = Insert(f, "");
    ASSERT_TRUE(cancelled.seen);
    EXPECT_EQ(PathFolderWithSep(cancelled.openedIn + "\\"), tmp.Path() + "\\");
    EXPECT_FALSE(cancelled.readOnlyBoxShown);
    EXPECT_EQ(PageItemCount(1), 0);
    EXPECT_EQ(f.LastOpenDir, tmp.Path() + "\\");

    f.LastOpenDir = folder + "\\";
    TFileDialogAnswer chosen = Insert(f, "\"one.txt\" \"two.txt\"");
    ASSERT_TRUE(chosen.seen);
    EXPECT_EQ(PageItemCount(1), 2);
    EXPECT_EQ(ItemPathRead(1, "two.txt"), folder + "\\two.txt");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"one.txt", "two.txt"}));
    EXPECT_EQ(f.LastOpenDir, folder + "\\");

    // The next dialog opens where the last choice was made.
    EXPECT_EQ(PathFolderWithSep(Insert(f, "").openedIn + "\\"), folder + "\\");

    // Names typed as full paths are taken whole.
    const std::string three = File("three.txt"), four = File("four.txt");
    Insert(f, "\"" + three + "\" \"" + four + "\"");
    EXPECT_EQ(ItemPathRead(1, "three.txt"), three);
    EXPECT_EQ(ItemPathRead(1, "four.txt"), four);
}

TEST_F(ItemCommands, InsertOnAFolderPageIsRefusedBeforeTheDialogOpens) {
    const std::string folder = Folder("mirror");
    PageFolderAdd(1, folder, {});
    TFrmOvMain& f = Open();
    TBoxSeen box = AnswerBox([&] { Click(IDC_TBN_INSERT); }, IDOK);
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.text, "このページにはファイルを追加できません");
    EXPECT_EQ(box.caption, "エラー");
    (void)f;
}

// ---------------------------------------------------------------------------------------------
// Opening

TEST_F(ItemCommands, DoubleClickOpensTheSelectedItemsSkippingMissingFilesAndFolders) {
    const std::string link = tmp / "Echo.lnk";
    ASSERT_TRUE(LinkCreate(link, EchoExe(), "--from-link"));
    const std::string gone = File("gone.exe");
    const std::string folder = Folder("sub");
    PageWithItems(1, {EchoExe(), link});
    Open();
    Drop({gone, folder}, EmptySpot());
    ::DeleteFileA(gone.c_str());

    // What is asked of the shell, seen without starting anything. A shortcut's target comes in
    // its short form.
    char target[MAX_PATH] = {};
    ::GetShortPathNameA(EchoExe().c_str(), target, MAX_PATH);
    struct TCase {
        std::vector<std::string> selected;
        std::vector<TShellOpenRequest> opened;
    };
    const TCase cases[] = {
        {{"ovArgEcho.exe", "Echo", "gone.exe", "sub"}, {{target, "--from-link"}, {EchoExe(), ""}}},
        {{"gone.exe", "sub"}, {}},
        {{}, {}},
    };
    for (const TCase& c : cases) {
        TShellOpenRecorder recorder;
        TBoxSeen box = AnswerBox(
            [&] {
                Select(c.selected);
                Notify(NM_DBLCLK);
            },
            IDOK);
        EXPECT_FALSE(box.seen) << "missing files and folders are skipped without a word";
        EXPECT_EQ(recorder.Requests, c.opened) << c.selected.size();
    }

    Select({"ovArgEcho.exe", "Echo"});
    Notify(NM_DBLCLK);
    auto lines = EchoLines(echoOut, 2);
    ASSERT_EQ(lines.size(), 4u);
    int fromLink = 0;
    for (size_t i = 0; i < lines.size(); i += 2) {
        EXPECT_EQ(PathFolderWithSep(lines[i + 1] + "\\"), PathFolderWithSep(EchoExe()));
        if (EndsWith(lines[i], " --from-link"))
            ++fromLink;
    }
    EXPECT_EQ(fromLink, 1) << "the shortcut's target starts with the shortcut's arguments";
    EXPECT_EQ(PageItemCount(1), 4) << "opening never removes an item";
}

// ---------------------------------------------------------------------------------------------
// Deleting

TEST_F(ItemCommands, DeletingTheOnlyPageEmptiesItInPlaceAndDropsItsFolder) {
    const std::string folder = Folder("mirror");
    FileWrite(folder + "\\m.txt", "m");
    PageFolderAdd(1, folder, {folder + "\\m.txt"});
    TFrmOvMain& f = Open();
    TBoxSeen box = AnswerBox([&] { Click(IDC_TBN_DELETE); }, IDOK);
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.caption, "確認");
    EXPECT_EQ(box.text, "ページを削除しますか");
    EXPECT_EQ(f.PageTotal, 1);
    EXPECT_EQ(f.CurrentPage, 1);
    EXPECT_TRUE(RegKeyExists(HKCU, PageKeyPath(1)));
    EXPECT_EQ(PageFolderRead(1), "");
    EXPECT_EQ(PageItemCount(1), 0);
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(FilePresent(folder + "\\m.txt")) << "the folder on disk is untouched";
}

TEST_F(ItemCommands, DeletingAPageShowsThePageBeforeItOrTheOneThatFollowedPage1) {
    const std::string a = File("a.txt"), b = File("b.txt"), c = File("c.txt"), d = File("d.txt");
    PageWithItems(1, {a});
    PageWithItems(2, {b});
    PageWithItems(3, {c});
    PageWithItems(4, {d});
    TFrmOvMain& f = Open();
    f.PageTotal = 4;
    struct TCase {
        int32_t deleted;
        int32_t shown;
        const char* row;
    };
    // A middle page, the first, the last: each shows the page before it, page 1 the next one.
    for (const TCase& c : {TCase{2, 1, "a.txt"}, TCase{1, 1, "c.txt"}, TCase{2, 1, "c.txt"}}) {
        SCOPED_TRACE(c.deleted);
        const int32_t total = f.PageTotal;
        f.CurrentPage = c.deleted;
        f.CptPmuItemBtnUpdateClick();
        AnswerBox([&] { Click(IDC_TBN_DELETE); }, IDOK);
        EXPECT_EQ(f.PageTotal, total - 1);
        EXPECT_EQ(f.CurrentPage, c.shown);
        EXPECT_EQ(Rows(), (std::vector<std::string>{c.row}));
    }
    EXPECT_EQ(PageCount(), 1);

    // Cancel keeps the page.
    AnswerBox([&] { Click(IDC_TBN_DELETE); }, IDCANCEL);
    EXPECT_EQ(PageItemCount(1), 1);
}

// A page deletion whose move fails part-way is finished when the fault passes, undone when it
// stays, and reported; the window then shows a page that exists with its rows and counts, and
// what the user adds to it is kept by the next start's repair.
TEST_F(ItemCommands, APageDeletionThatFailsPartWayLeavesNothingToLose) {
    for (const bool once : {true, false}) {
        SCOPED_TRACE(once);
        TFaultMemStore store;
        TRegStoreScope scope(store);
        ConfigTreeCreate();
        std::vector<std::string> kept;
        const char* const names[] = {"p1.txt", "p2.txt", "p3.txt", "p4.txt", "new.txt"};
        for (int32_t page = 1; page <= 4; ++page)
            PageWithItems(page, {kept.emplace_back(File(names[page - 1]))});
        kept.erase(kept.begin() + 1);
        TFrmOvMain& f = Open();
        f.CurrentPage = 2;
        store.failedRead = "p3.txt";
        store.failOnce = once;
        const std::vector<TBoxSeen> boxes = AnswerBoxes([&] { Click(IDC_TBN_DELETE); }, IDOK);
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[1].text, "'p3.txt' の取得に失敗しました.");
        EXPECT_FALSE(RegValueExists(HKCU, OvKeyData, OvValPageMove));
        EXPECT_EQ(RegKeyExists(HKCU, PageKeyPath(2)), once) << "the gap closed";
        EXPECT_EQ(f.PageTotal, 3);
        EXPECT_EQ(f.CurrentPage, 1);
        EXPECT_EQ(Rows(), (std::vector<std::string>{"p1.txt"}));
        EXPECT_EQ(f.StatusPanels.pageText, StatusPageText(1, 3, 1));

        Drop({kept.emplace_back(File("new.txt"))}, EmptySpot());
        store.failedRead.clear();
        form.reset();
        PagesRepair();
        std::vector<std::string> paths;
        for (const char* name : names)
            for (int32_t page = 1; page <= PageCount(); ++page)
                if (!ItemPathRead(page, name).empty())
                    paths.push_back(ItemPathRead(page, name));
        EXPECT_EQ(paths, kept);
    }
}

TEST_F(ItemCommands, DeletingSelectedItemsAsksFirstAndRemovesOnlyTheirValues) {
    const std::string a = File("a.txt"), b = File("b.txt"), c = File("c.txt");
    PageWithItems(1, {a, b, c});
    Open();
    Select({"a.txt", "c.txt"});
    TBoxSeen box = AnswerBox([&] { Click(IDC_TBN_DELETE); }, IDCANCEL);
    EXPECT_EQ(box.text, "選択したファイルを削除しますか");
    EXPECT_EQ(PageItemCount(1), 3);

    Select({"a.txt", "c.txt"});
    AnswerBox([&] { Click(IDC_TBN_DELETE); }, IDOK);
    std::vector<std::string> names;
    PageItemNames(1, names);
    EXPECT_EQ(names, (std::vector<std::string>{"", "b.txt"}));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"b.txt"}));
    EXPECT_TRUE(FilePresent(a)) << "nothing on disk is deleted";
}

TEST_F(ItemCommands, DeletingItemsOfAFolderPageIsRefusedWithoutAQuestion) {
    const std::string folder = Folder("mirror");
    FileWrite(folder + "\\m.txt", "m");
    PageFolderAdd(1, folder, {folder + "\\m.txt"});
    Open();
    Select({"m.txt"});
    TBoxSeen box = AnswerBox([&] { Click(IDC_TBN_DELETE); }, IDOK);
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.text, "このページのファイルは削除できません");
    EXPECT_EQ(PageItemCount(1), 1);
    EXPECT_EQ(form->PageTotal, 1);
}

// ---------------------------------------------------------------------------------------------
// Renaming

TEST_F(ItemCommands, RenameIsRevertedWhenTheStoreRefusesAndKeepsBlanksWhenAccepted) {
    const std::string a = File("a.txt"), b = File("b.txt");
    PageWithItems(1, {a, b});
    Open();
    EXPECT_EQ(EndEdit("a.txt", "   "), FALSE);
    EXPECT_EQ(EndEdit("a.txt", "A.TXT"), FALSE);
    EXPECT_EQ(EndEdit("a.txt", "b.txt"), FALSE);
    EXPECT_EQ(ItemPathRead(1, "a.txt"), a);
    EXPECT_EQ(ItemPathRead(1, "b.txt"), b);

    EXPECT_EQ(EndEdit("a.txt", " first"), TRUE);
    EXPECT_EQ(ItemPathRead(1, " first"), a);
    EXPECT_EQ(ItemPathRead(1, "a.txt"), "");

    // A cancelled editor sends no text: nothing changes.
    NMLVDISPINFOA cancelled{};
    cancelled.item.iItem = RowOf("b.txt");
    EXPECT_EQ(Notify(LVN_ENDLABELEDITA, cancelled), FALSE);
    EXPECT_EQ(ItemPathRead(1, "b.txt"), b);
}

TEST_F(ItemCommands, TheRealEditorRenamesTheRowAndTheRowSortsUnderItsNewName) {
    const std::string a = File("a.txt"), b = File("b.txt");
    PageWithItems(1, {a, b});
    TFrmOvMain& f = Open();
    ::SetFocus(f.CptLvwItems);
    HWND edit = ListView_EditLabel(f.CptLvwItems, RowOf("a.txt"));
    ASSERT_NE(edit, nullptr);
    ::SetWindowTextA(edit, "z.txt");
    ::SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(50);
    EXPECT_EQ(ItemPathRead(1, "z.txt"), a);
    EXPECT_GE(RowOf("z.txt"), 0);
    f.CptLvwItemsColumnClick(0);
    f.CptLvwItemsColumnClick(0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"b.txt", "z.txt"}));
}

TEST_F(ItemCommands, EditingOnAFolderPageIsRefusedWithError2) {
    const std::string folder = Folder("mirror");
    FileWrite(folder + "\\m.txt", "m");
    PageFolderAdd(1, folder, {folder + "\\m.txt"});
    TFrmOvMain& f = Open();
    ::SetFocus(f.CptLvwItems);
    HWND edit = nullptr;
    TBoxSeen box =
        AnswerBox([&] { edit = ListView_EditLabel(f.CptLvwItems, RowOf("m.txt")); }, IDOK);
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.text, "このページのファイルは変更できません");
    EXPECT_EQ(edit, nullptr) << "no editor opens";
}

TEST_F(ItemCommands, ADraggedRowIsPickedUpAndDroppedNowhere) {
    const std::string a = File("a.txt");
    PageWithItems(1, {a});
    TFrmOvMain& f = Open();
    NMLISTVIEW drag{};
    drag.hdr.hwndFrom = f.CptLvwItems;
    drag.hdr.idFrom = IDC_ITEMS;
    drag.hdr.code = LVN_BEGINDRAG;
    drag.iItem = 0;
    ::SendMessageA(f.Handle(), WM_NOTIFY, IDC_ITEMS, reinterpret_cast<LPARAM>(&drag));
    EXPECT_EQ(::GetCapture(), f.Handle()) << "the mouse stays with the window while dragging";
    ::SendMessageA(f.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_NE(::GetCapture(), f.Handle());
    EXPECT_EQ(PageItemCount(1), 1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a.txt"}));
}

// ---------------------------------------------------------------------------------------------
// Page buttons and the status bar

TEST_F(ItemCommands, PreviousOnPage1DoesNothingAndNextOnTheLastPageAppendsOnePerPress) {
    const std::string a = File("a.txt");
    TFrmOvMain& f = Open();
    // A row the store does not know: a refill would remove it.
    ListRowAdd("marker", a);
    Click(IDC_TBN_BEFORE);
    EXPECT_EQ(f.CurrentPage, 1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"marker"}));

    Click(IDC_TBN_NEXT);
    Click(IDC_TBN_NEXT);
    EXPECT_EQ(f.PageTotal, 3);
    EXPECT_EQ(f.CurrentPage, 3);
    EXPECT_EQ(PageCount(), 3);
    EXPECT_TRUE(RegValueExists(HKCU, PageKeyPath(3), ""));
    EXPECT_EQ(PageFolderRead(3), "");
    EXPECT_TRUE(Rows().empty());

    // Back and forth between pages that exist refreshes them; no page is made.
    ItemAdd(2, a);
    Click(IDC_TBN_BEFORE);
    EXPECT_EQ(f.CurrentPage, 2);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a.txt"}));
    Click(IDC_TBN_NEXT);
    EXPECT_EQ(f.CurrentPage, 3);
    EXPECT_EQ(f.PageTotal, 3);
    EXPECT_TRUE(Rows().empty());
}

TEST_F(ItemCommands, PageButtonsStayWithinThePagesThatExist) {
    TFrmOvMain& f = Open();
    // As after an outside edit that removed pages while the program ran.
    f.PageTotal = 2;
    f.CurrentPage = 5;
    Click(IDC_TBN_BEFORE);
    EXPECT_EQ(f.CurrentPage, 2);
    f.CurrentPage = 5;
    Click(IDC_TBN_NEXT);
    EXPECT_EQ(f.PageTotal, 3);
    EXPECT_EQ(f.CurrentPage, 3);
}

// The status bar follows every command that changes the page or its items.
TEST_F(ItemCommands, TheStatusBarShowsTheCountsAfterEachCommand) {
    TFrmOvMain& f = Open();
    EXPECT_EQ(f.StatusPanels.pageText, StatusPageText(1, 1, 0));
    Drop({File("a.txt"), File("b.txt")}, EmptySpot());
    EXPECT_EQ(f.StatusPanels.pageText, StatusPageText(1, 1, 2));
    Drop({Folder("dropped")}, EmptySpot());
    EXPECT_EQ(f.StatusPanels.pageText, StatusPageText(2, 2, 0));
    EXPECT_EQ(f.StatusPanels.folder, tmp / "dropped");
    Click(IDC_TBN_NEXT);
    EXPECT_EQ(f.StatusPanels.pageText, StatusPageText(3, 3, 0));
    EXPECT_EQ(f.StatusPanels.folder, "");
}

TEST(StatusBar, PagePanelText) {
    EXPECT_EQ(StatusPageText(2, 5, 7), " 2/5 ページ   7 個のオブジェクト  ");
    EXPECT_EQ(StatusPageText(10, 12, 0), " 10/12 ページ   0 個のオブジェクト  ");
}

// The status bar's panels painted into a bitmap: the folder panel shows an icon and text only on
// a folder page.
TEST_F(ItemCommands, TheFolderPanelPaintsOnlyOnAFolderPage) {
    const std::string folder = Folder("mirror");
    PageCreate(1, "");
    PageFolderAdd(2, folder, {});
    TFrmOvMain& f = Open();
    auto paint = [&](int page) {
        f.CurrentPage = page;
        f.StatusRepaint();
        HDC screen = ::GetDC(nullptr);
        HDC dc = ::CreateCompatibleDC(screen);
        HBITMAP bmp = ::CreateCompatibleBitmap(screen, 300, 20);
        ::ReleaseDC(nullptr, screen);
        HGDIOBJ old = ::SelectObject(dc, bmp);
        RECT all{0, 0, 300, 20};
        ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        StatusPanelPaint(1, dc, all);
        int marked = 0;
        for (int x = 0; x < 300; ++x)
            for (int y = 0; y < 20; ++y)
                marked += ::GetPixel(dc, x, y) != RGB(255, 255, 255);
        int iconMarked = 0;
        for (int x = 2; x < 18; ++x)
            for (int y = 1; y < 17; ++y)
                iconMarked += ::GetPixel(dc, x, y) != RGB(255, 255, 255);
        ::SelectObject(dc, old);
        ::DeleteObject(bmp);
        ::DeleteDC(dc);
        return std::make_pair(marked, iconMarked);
    };
    EXPECT_EQ(paint(1).first, 0);
    auto folderPage = paint(2);
    EXPECT_GT(folderPage.second, 0) << "the folder's icon";
    EXPECT_GT(folderPage.first, folderPage.second) << "and its path";
}

} // namespace
