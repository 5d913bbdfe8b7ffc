// The item commands and the page buttons, driven through the real main window with the messages
// the shell, the toolbar and the list send: drops built by hand, button clicks, list
// notifications, and the real confirmation, error and file dialogs answered as a user would.
#include "uCmnApp.h"
#include "uCmnError.h"
#include "uCmnFile.h"
#include "uCmnHandle.h"
#include "uCmnReg.h"
#include "uCmnShell.h"
#include "uOvCap.h"
#include "uOvCfg.h"
#include "uOvCmd.h"
#include "uOvFrmDef.h"
#include "uOvLvw.h"
#include "uOvMain.h"
#include "uOvMsgDef.h"
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

#include <algorithm>
#include <cstring>
#include <tuple>
#include <memory>
#include <string>
#include <vector>

namespace {

const HKEY HKCU = HKEY_CURRENT_USER;

std::wstring EchoExe() {
    return ExeFolder() + L"ovArgEcho.exe";
}

// Names outside any one code page, and names whose Shift-JIS form has the trail byte 0x5C.
const wchar_t* const ForeignNames[] = {L"Ærø.txt",    L"한국어.txt", L"这们.txt", L"😀 smile.txt",
                                       L"〜wave.txt", L"Résumé.txt", L"表ソ.txt"};

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The lines of a stand-in's report, which it writes in UTF-8; none while the file cannot be
// opened.
std::vector<std::wstring> ReportLines(const std::wstring& path) {
    std::vector<std::wstring> lines;
    TUniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        file.Release();
        return lines;
    }
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file.Get(), chunk, sizeof(chunk), &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    for (size_t start = 0, end; (end = bytes.find('\n', start)) != std::string::npos;
         start = end + 1)
        lines.push_back(WideOfUtf8(bytes.substr(start, end - start)));
    return lines;
}

// What the stand-in programs wrote, four lines per start: command line, working directory, and
// the arguments as CommandLineToArgvW and the C runtime parse them, each followed by a tab. Waits
// until `starts` programs have written or a generous time has passed. A report counts only once it
// reads whole: just after the stand-in's rename the file can still be held by it and refuse to
// open, and an unreadable file must be read again, not taken for an empty report.
std::vector<std::wstring> EchoLines(const std::wstring& prefix, size_t starts) {
    std::vector<std::wstring> lines;
    for (int i = 0; i < 1000; ++i) {
        lines.clear();
        size_t found = 0;
        WIN32_FIND_DATAW fd;
        TUniqueFind find(::FindFirstFileW((prefix + L".*").c_str(), &fd));
        if (find) {
            do {
                const std::wstring name = fd.cFileName;
                if (EndsWith(name, L".part"))
                    continue;
                const std::vector<std::wstring> report =
                    ReportLines(PathFolderWithSep(prefix) + name);
                if (report.size() < 4)
                    continue;
                ++found;
                lines.insert(lines.end(), report.begin(), report.end());
            } while (::FindNextFileW(find.Get(), &fd));
        }
        if (found >= starts)
            break;
        PumpMessages(20);
    }
    return lines;
}

// True when no stand-in program has written anything.
bool NoEcho(const std::wstring& prefix) {
    return EchoLines(prefix, 0).empty();
}

class ItemCommands : public TMainWindowTest {
  protected:
    void SetUp() override {
        TMainWindowTest::SetUp();
        // The first-run tree, so pages can be set up before the window opens.
        ConfigTreeCreate();
        echoOut = tmp / L"started";
        ::SetEnvironmentVariableW(L"OV_ECHO_OUT", echoOut.c_str());
    }
    void TearDown() override {
        TMainWindowTest::TearDown();
        ::SetEnvironmentVariableW(L"OV_ECHO_OUT", nullptr);
    }

    // Opens the main window on a fresh tree, the list in report view.
    TFrmOvMain& Open() {
        TMainWindowTest::Open();
        ::SendMessageW(form->Handle(), WM_COMMAND, IDM_PMU_REPORT, 0);
        ::SetWindowPos(form->Handle(), nullptr, 0, 0, 500, 400, SWP_NOZORDER | SWP_NOMOVE);
        return *form;
    }

    std::wstring File(const std::wstring& name, const std::string& bytes = "x") {
        const std::wstring path = tmp / name;
        EXPECT_TRUE(FileWrite(path, bytes));
        return path;
    }

    std::wstring Folder(const std::wstring& name) {
        const std::wstring path = tmp / name;
        ::CreateDirectoryW(path.c_str(), nullptr);
        return path;
    }

    // Captions of the rows in list order.
    std::vector<std::wstring> Rows() {
        std::vector<std::wstring> rows;
        const int n = ListView_GetItemCount(form->CptLvwItems);
        for (int i = 0; i < n; ++i) {
            wchar_t buf[512] = {};
            ListView_GetItemText(form->CptLvwItems, i, 0, buf, static_cast<int>(std::size(buf)));
            rows.push_back(buf);
        }
        return rows;
    }

    int RowOf(const std::wstring& caption) {
        LVFINDINFOW find{};
        find.flags = LVFI_STRING;
        find.psz = caption.c_str();
        return static_cast<int>(::SendMessageW(form->CptLvwItems, LVM_FINDITEMW,
                                               static_cast<WPARAM>(-1),
                                               reinterpret_cast<LPARAM>(&find)));
    }

    // The middle of a row's caption, in the main window's client coordinates.
    POINT PointOnRow(const std::wstring& caption) {
        const int row = RowOf(caption);
        EXPECT_GE(row, 0) << caption;
        RECT rc{};
        rc.left = LVIR_LABEL;
        ::SendMessageW(form->CptLvwItems, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rc));
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

    void Drop(const std::vector<std::wstring>& paths, POINT point, bool inClient = true) {
        ::SendMessageW(form->Handle(), WM_DROPFILES,
                       reinterpret_cast<WPARAM>(MakeDrop(paths, point, inClient)), 0);
    }

    void Click(int button) { ::SendMessageW(form->Handle(), WM_COMMAND, button, 0); }

    void Select(const std::vector<std::wstring>& captions) {
        ListView_SetItemState(form->CptLvwItems, -1, 0, LVIS_SELECTED);
        for (const auto& c : captions)
            ListView_SetItemState(form->CptLvwItems, RowOf(c), LVIS_SELECTED, LVIS_SELECTED);
    }

    LRESULT Notify(UINT code, NMLVDISPINFOW info = {}) {
        info.hdr.hwndFrom = form->CptLvwItems;
        info.hdr.idFrom = IDC_ITEMS;
        info.hdr.code = code;
        return ::SendMessageW(form->Handle(), WM_NOTIFY, IDC_ITEMS,
                              reinterpret_cast<LPARAM>(&info));
    }

    // Opens the editor on a row and commits `text` as its new caption, as the list does.
    LRESULT EndEdit(const std::wstring& caption, const std::wstring& text) {
        NMLVDISPINFOW info{};
        info.item.iItem = RowOf(caption);
        if (Notify(LVN_BEGINLABELEDITW, info))
            return FALSE;
        info.item.mask = LVIF_TEXT;
        std::wstring buffer = text;
        info.item.pszText = buffer.data();
        return Notify(LVN_ENDLABELEDITW, info);
    }

    void PageWithItems(int32_t page, const std::vector<std::wstring>& paths,
                       const std::wstring& folder = L"") {
        PageCreate(page, folder);
        for (const auto& p : paths)
            ItemAdd(page, p);
    }

    TComInit com;
    TTempFolder tmp;
    std::wstring echoOut;
};

// ---------------------------------------------------------------------------------------------
// Drops

TEST_F(ItemCommands, DropOnEmptySpaceAddsItemsSortedAndADuplicateNameAddsNothing) {
    const std::wstring c = File(L"c.txt"), a = File(L"a.txt"), b = File(L"b.ini");
    TFrmOvMain& f = Open();
    TBoxSeen box = AnswerBox([&] { Drop({c, a, b}, EmptySpot()); }, IDOK);
    EXPECT_FALSE(box.seen);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"a.txt", L"b.ini", L"c.txt"}));
    EXPECT_EQ(PageItemCount(1), 3);
    EXPECT_EQ(ItemPathRead(1, L"c.txt"), c);

    // Same name from another folder, letter case aside: refused without a word.
    Folder(L"other");
    const std::wstring again = File(L"other\\A.TXT");
    box = AnswerBox([&] { Drop({again}, EmptySpot()); }, IDOK);
    EXPECT_FALSE(box.seen);
    EXPECT_EQ(PageItemCount(1), 3);
    EXPECT_EQ(ItemPathRead(1, L"a.txt"), a);
    EXPECT_EQ(f.CurrentPage, 1);
}

// The program gets each dropped path back whole as one argument, after the shortcut's own
// arguments: blanks, a drive root's closing backslash and names of any script included.
TEST_F(ItemCommands, DropOntoAProgramPassesEachPathAsOneArgumentAfterTheShortcutsOwn) {
    const std::wstring link = tmp / L"Echo.lnk";
    ASSERT_TRUE(LinkCreate(link, EchoExe(), L"/n -x \"1 2\""));
    const std::wstring a = File(L"a b.txt"), b = File(L"Ærø 한 😀.txt");
    PageWithItems(1, {EchoExe(), link});
    Open();
    const struct {
        const wchar_t* row;
        std::vector<std::wstring> args;
    } cases[] = {{L"ovArgEcho.exe", {a, L"C:\\", b}},
                 {L"Echo", {L"/n", L"-x", L"1 2", a, L"C:\\", b}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        TTempFolder out;
        ::SetEnvironmentVariableW(L"OV_ECHO_OUT", (out / L"started").c_str());
        Drop({a, L"C:\\", b}, PointOnRow(c.row));
        const std::vector<std::wstring> lines = EchoLines(out / L"started", 1);
        ASSERT_EQ(lines.size(), 4u);
        std::wstring args;
        for (const std::wstring& arg : c.args)
            args += arg + L"\t";
        EXPECT_EQ(lines[2], args) << lines[0];
        EXPECT_EQ(lines[3], args) << lines[0];
        EXPECT_NE(lines[0].back(), L' ');
        EXPECT_EQ(PathFolderWithSep(lines[1] + L"\\"), PathFolderWithSep(EchoExe()))
            << "the working directory is the launcher's own folder";
    }
    EXPECT_EQ(PageItemCount(1), 2) << "nothing is added";
}

TEST_F(ItemCommands, DropOntoAnItemThatIsNoProgramAddsThePaths) {
    const std::wstring text = File(L"notes.txt");
    const std::wstring folder = Folder(L"sub");
    const std::wstring a = File(L"a.txt"), b = File(L"b.txt");
    Open();
    // A folder item exists only until the next refresh of an ordinary page: add it by a drop.
    Drop({text, folder}, EmptySpot());
    Drop({a}, PointOnRow(L"notes.txt"));
    Drop({b}, PointOnRow(L"sub"));
    EXPECT_EQ(PageItemCount(1), 4);
    EXPECT_EQ(ItemPathRead(1, L"b.txt"), b);
    EXPECT_TRUE(NoEcho(echoOut));
}

TEST_F(ItemCommands, DroppingOneFolderMakesANewLastPageThatMirrorsIt) {
    const std::wstring one = Folder(L"one");
    FileWrite(one + L"\\x.txt", "x");
    FileWrite(one + L"\\y.txt", "y");
    FileWrite(one + L"\\zø 한 😀.txt", "z");
    ::CreateDirectoryW((one + L"\\inner").c_str(), nullptr);
    const std::wstring two = Folder(L"two");
    FileWrite(two + L"\\z.txt", "z");
    TFrmOvMain& f = Open();

    Drop({one}, EmptySpot());
    EXPECT_EQ(f.PageTotal, 2);
    EXPECT_EQ(f.CurrentPage, 2);
    EXPECT_EQ(PageFolderRead(2), one);
    ListedWait();
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"inner", L"x.txt", L"y.txt", L"zø 한 😀.txt"}));

    // Also from a folder page: a single folder is never refused.
    TBoxSeen box = AnswerBox([&] { Drop({two}, EmptySpot()); }, IDOK);
    EXPECT_FALSE(box.seen);
    EXPECT_EQ(f.PageTotal, 3);
    EXPECT_EQ(f.CurrentPage, 3);
    ListedWait();
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"z.txt"}));
    EXPECT_EQ(PageCount(), 3);
}

TEST_F(ItemCommands, AFolderDroppedWithAFileBecomesAnItemOfItsOwn) {
    const std::wstring folder = Folder(L"docs");
    const std::wstring file = File(L"a.txt");
    TFrmOvMain& f = Open();
    Drop({folder, file}, EmptySpot());
    EXPECT_EQ(f.PageTotal, 1);
    EXPECT_EQ(ItemPathRead(1, L"docs"), folder);
    EXPECT_EQ(ItemPathRead(1, L"a.txt"), file);
    EXPECT_EQ(Rows().size(), 2u);

    // Also when the other object is one the program cannot name (a path too long for the file
    // functions): it still counts, and the box that tells of it comes after the item is in.
    const std::wstring other = Folder(L"more");
    const std::wstring tooLong = tmp.Path() + L"\\" + std::wstring(300, L'n') + L".txt";
    TBoxSeen box = AnswerBox([&] { Drop({other, tooLong}, EmptySpot()); }, IDOK);
    EXPECT_EQ(box.text, PathWrapped(tooLong, OV_MSG_PATH_WIDTH) +
                            L"\n\nパスが長すぎる (260 文字以上) ため、このファイルを含む 1 "
                            L"個のファイルを除外しました");
    EXPECT_EQ(f.PageTotal, 1);
    EXPECT_EQ(ItemPathRead(1, L"more"), other);
    // Nothing else dropped: the box all the same.
    EXPECT_TRUE(AnswerBox([&] { Drop({tooLong}, EmptySpot()); }, IDOK).seen);
}

TEST_F(ItemCommands, DropOnAFolderPageIsRefusedWithError0) {
    const std::wstring folder = Folder(L"mirror");
    FileWrite(folder + L"\\m.txt", "m");
    const std::wstring a = File(L"a.txt"), b = File(L"b.txt");
    PageWithItems(1, {});
    PageFolderAdd(1, folder, {folder + L"\\m.txt"});
    Open();
    // A path too long is refused with the others, in the same one box.
    const std::vector<std::wstring> paths{a, b, tmp.Path() + L"\\" + std::wstring(300, L'n')};
    const std::vector<TBoxSeen> boxes = AnswerBoxes([&] { Drop(paths, EmptySpot()); }, IDOK);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"エラー");
    EXPECT_EQ(boxes[0].text, L"このページにはファイルを追加できません");
    EXPECT_EQ(PageItemCount(1), 1);
}

TEST_F(ItemCommands, NamesOfAnyScriptAreAddedWholeAndOnlyTooLongPathsSkipped) {
    std::vector<std::wstring> paths{tmp.Path() + L"\\" + std::wstring(300, L'n') + L".txt"};
    std::vector<std::wstring> names;
    for (const wchar_t* name : ForeignNames) {
        paths.push_back(File(name));
        names.push_back(name);
    }
    Open();
    AnswerBox([&] { Drop(paths, EmptySpot()); }, IDOK);
    std::vector<std::wstring> rows = Rows();
    std::sort(rows.begin(), rows.end());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(rows, names);
    for (size_t i = 1; i < paths.size(); ++i)
        EXPECT_EQ(ItemPathRead(1, PathName(paths[i])), paths[i]);
    EXPECT_EQ(PageItemCount(1), static_cast<int32_t>(names.size()));

    // The longest path taken is 259 characters, whatever their script; one more is left out.
    const std::wstring folder = tmp.Path() + L"\\";
    const std::wstring longest = folder + std::wstring(259 - folder.size() - 4, L'表') + L".txt";
    const std::wstring tooLong = folder + std::wstring(260 - folder.size() - 4, L'表') + L".txt";
    ASSERT_EQ(longest.size(), 259u);
    const TBoxSeen box = AnswerBox([&] { Drop({tooLong, longest, paths[0]}, EmptySpot()); }, IDOK);
    EXPECT_EQ(box.text.find(PathWrapped(tooLong, OV_MSG_PATH_WIDTH) + L"\n"), 0u)
        << L"the first named";
    EXPECT_NE(box.text.find(L" 2 個"), std::wstring::npos) << box.text;
    EXPECT_EQ(ItemPathRead(1, PathName(longest)), longest);
    EXPECT_EQ(PageItemCount(1), static_cast<int32_t>(names.size()) + 1);
}

// The dialog's chosen files and filter: a drive root gets no second separator, and "ポ", whose
// Shift-JIS second byte is "|", stays in the text.
TEST(InsertDialog, ChosenFilesAndFilter) {
    using V = std::vector<std::wstring>;
    // The dialog's buffer: each part ended by a zero, one more zero at the end.
    auto chosen = [](const V& parts) {
        std::wstring buffer;
        for (const std::wstring& part : parts)
            buffer += part + std::wstring(1, L'\0');
        return ChosenFiles((buffer + std::wstring(1, L'\0')).c_str());
    };
    EXPECT_EQ(chosen({L"C:\\", L"a.txt", L"b.txt"}), (V{L"C:\\a.txt", L"C:\\b.txt"}));
    EXPECT_EQ(chosen({L"C:\\Docs", L"a.txt", L"b.txt"}),
              (V{L"C:\\Docs\\a.txt", L"C:\\Docs\\b.txt"}));
    EXPECT_EQ(chosen({L"C:\\ソ", L"a.txt", L"b.txt"}), (V{L"C:\\ソ\\a.txt", L"C:\\ソ\\b.txt"}));
    EXPECT_EQ(chosen({L"C:\\one.txt"}), (V{L"C:\\one.txt"}));
    EXPECT_EQ(PathFolderWithSep(chosen({L"C:\\", L"a.txt", L"b.txt"})[0]), L"C:\\");
    EXPECT_EQ(DialogFilter(L"ポ|*.p"), std::wstring(L"ポ\0*.p\0", 6));
}

// A damaged shortcut is named in the box that opening it gives; its row stays.
TEST_F(ItemCommands, ADamagedShortcutIsNamedInItsBox) {
    const std::wstring bad = File(L"bad.lnk", "not a shortcut");
    PageWithItems(1, {bad});
    Open();
    Select({L"bad"});
    const TBoxSeen box = AnswerBox([&] { Notify(NM_DBLCLK); }, IDOK);
    const std::wstring named = PathWrapped(bad, OV_MSG_PATH_WIDTH) + L"\n\n";
    EXPECT_EQ(box.text.find(named), 0u) << box.text;
    EXPECT_GT(box.text.size(), named.size() + 1) << L"the error's own text follows";
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"bad"}));
}

TEST_F(ItemCommands, ADropOutsideTheClientAreaNeverReachesTheRowBelow) {
    const std::wstring a = File(L"a.txt");
    PageWithItems(1, {EchoExe()});
    Open();
    POINT onRow = PointOnRow(L"ovArgEcho.exe");
    Drop({a}, onRow, false);
    EXPECT_EQ(ItemPathRead(1, L"a.txt"), a);
    PumpMessages(300);
    EXPECT_TRUE(NoEcho(echoOut));
}

// ---------------------------------------------------------------------------------------------
// Insert dialog

// Answers the open-file dialog: notes the folder it opened in and whether the read-only box
// shows, then either types `files` into the name box and confirms, or cancels.
struct TFileDialogAnswer {
    std::wstring files;
    std::wstring openedIn;
    bool readOnlyBoxShown = true;
    bool seen = false;
};
TFileDialogAnswer Insert(TFrmOvMain& f, const std::wstring& files) {
    TFileDialogAnswer answer;
    answer.files = files;
    AnswerDialog([&] { ::SendMessageW(f.Handle(), WM_COMMAND, IDC_TBN_INSERT, 0); },
                 [&](HWND box) {
                     answer.seen = true;
                     wchar_t folder[MAX_PATH] = {};
                     ::SendMessageW(box, CDM_GETFOLDERPATH, std::size(folder),
                                    reinterpret_cast<LPARAM>(folder));
                     answer.openedIn = folder;
                     HWND readOnly = ::GetDlgItem(box, chx1);
                     answer.readOnlyBoxShown = readOnly && ::IsWindowVisible(readOnly);
                     if (files.empty()) {
                         ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
                         return;
                     }
                     for (int control : {cmb13, edt1})
                         ::SendMessageW(box, CDM_SETCONTROLTEXT, control,
                                        reinterpret_cast<LPARAM>(files.c_str()));
                     ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                 });
    return answer;
}

TEST_F(ItemCommands, InsertAddsTheChosenFilesAndRemembersTheirFolder) {
    const std::wstring folder = Folder(L"picked Ærø 한");
    FileWrite(folder + L"\\one.txt", "1");
    FileWrite(folder + L"\\Résumé 😀.txt", "2");
    TFrmOvMain& f = Open();
    f.LastOpenDir = tmp.Path() + L"\\";

    TFileDialogAnswer cancelled = Insert(f, L"");
    ASSERT_TRUE(cancelled.seen);
    EXPECT_EQ(PathFolderWithSep(cancelled.openedIn + L"\\"), tmp.Path() + L"\\");
    EXPECT_FALSE(cancelled.readOnlyBoxShown);
    EXPECT_EQ(PageItemCount(1), 0);
    EXPECT_EQ(f.LastOpenDir, tmp.Path() + L"\\");

    f.LastOpenDir = folder + L"\\";
    TFileDialogAnswer chosen = Insert(f, L"\"one.txt\" \"Résumé 😀.txt\"");
    ASSERT_TRUE(chosen.seen);
    EXPECT_EQ(PageItemCount(1), 2);
    EXPECT_EQ(ItemPathRead(1, L"Résumé 😀.txt"), folder + L"\\Résumé 😀.txt");
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"one.txt", L"Résumé 😀.txt"}));
    EXPECT_EQ(f.LastOpenDir, folder + L"\\");

    // The next dialog opens where the last choice was made.
    EXPECT_EQ(PathFolderWithSep(Insert(f, L"").openedIn + L"\\"), folder + L"\\");

    // Names typed as full paths are taken whole.
    const std::wstring three = File(L"three.txt"), four = File(L"four.txt");
    Insert(f, L"\"" + three + L"\" \"" + four + L"\"");
    EXPECT_EQ(ItemPathRead(1, L"three.txt"), three);
    EXPECT_EQ(ItemPathRead(1, L"four.txt"), four);
}

TEST_F(ItemCommands, InsertOnAFolderPageIsRefusedBeforeTheDialogOpens) {
    const std::wstring folder = Folder(L"mirror");
    PageFolderAdd(1, folder, {});
    TFrmOvMain& f = Open();
    TBoxSeen box = AnswerBox([&] { Click(IDC_TBN_INSERT); }, IDOK);
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.text, L"このページにはファイルを追加できません");
    EXPECT_EQ(box.caption, L"エラー");
    (void)f;
}

// ---------------------------------------------------------------------------------------------
// Opening

TEST_F(ItemCommands, DoubleClickOpensTheSelectedItemsSkippingMissingFilesAndFolders) {
    // A program in a folder named outside any one code page, and a shortcut named so.
    const std::wstring program = Folder(L"Ærø 한") + L"\\Ærø 한.exe";
    ASSERT_TRUE(::CopyFileW(EchoExe().c_str(), program.c_str(), FALSE));
    const std::wstring link = tmp / L"한 Echo 😀.lnk";
    ASSERT_TRUE(LinkCreate(link, EchoExe(), L"--from-link"));
    const std::wstring gone = File(L"gone.exe");
    const std::wstring folder = Folder(L"sub");
    PageWithItems(1, {EchoExe(), program, link});
    Open();
    Drop({gone, folder}, EmptySpot());
    ::DeleteFileW(gone.c_str());

    // What is asked of the shell, seen without starting anything, in no particular order. A
    // shortcut's target comes in its short form.
    wchar_t target[MAX_PATH] = {};
    ::GetShortPathNameW(EchoExe().c_str(), target, MAX_PATH);
    struct TCase {
        std::vector<std::wstring> selected;
        std::vector<TShellOpenRequest> opened;
    };
    const auto sorted = [](std::vector<TShellOpenRequest> requests) {
        std::sort(requests.begin(), requests.end(), [](const auto& a, const auto& b) {
            return std::tie(a.file, a.parameters) < std::tie(b.file, b.parameters);
        });
        return requests;
    };
    const TCase cases[] = {
        {{L"ovArgEcho.exe", L"Ærø 한.exe", L"한 Echo 😀", L"gone.exe", L"sub"},
         sorted({{target, L"--from-link"}, {EchoExe(), L""}, {program, L""}})},
        {{L"gone.exe", L"sub"}, {}},
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
        EXPECT_FALSE(box.seen) << L"missing files and folders are skipped without a word";
        EXPECT_EQ(sorted(recorder.Requests), c.opened) << c.selected.size();
    }

    Select({L"ovArgEcho.exe", L"Ærø 한.exe", L"한 Echo 😀"});
    Notify(NM_DBLCLK);
    auto lines = EchoLines(echoOut, 3);
    ASSERT_EQ(lines.size(), 12u);
    int fromLink = 0, inForeignFolder = 0;
    for (size_t i = 0; i < lines.size(); i += 4) {
        EXPECT_EQ(PathFolderWithSep(lines[i + 1] + L"\\"), PathFolderWithSep(EchoExe()));
        if (EndsWith(lines[i], L" --from-link"))
            ++fromLink;
        else if (lines[i].find(program) != std::wstring::npos)
            ++inForeignFolder;
    }
    EXPECT_EQ(fromLink, 1) << "the shortcut's target starts with the shortcut's arguments";
    EXPECT_EQ(inForeignFolder, 1);
    EXPECT_EQ(PageItemCount(1), 5) << L"opening never removes an item";

    // Run as administrator, the program starts in the launcher's folder too, not its own.
    TTempFolder elevated;
    const std::wstring elevatedOut = elevated / L"started";
    ::SetEnvironmentVariableW(L"OV_ECHO_OUT", elevatedOut.c_str());
    ASSERT_TRUE(ShellVerb(L"runas", program, L"--elevated"));
    lines = EchoLines(elevatedOut, 1);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], L"--elevated\t");
    EXPECT_EQ(PathFolderWithSep(lines[1] + L"\\"), PathFolderWithSep(EchoExe()));
}

// ---------------------------------------------------------------------------------------------
// Deleting

TEST_F(ItemCommands, DeletingTheOnlyPageEmptiesItInPlaceAndDropsItsFolder) {
    const std::wstring folder = Folder(L"mirror");
    FileWrite(folder + L"\\m.txt", "m");
    PageFolderAdd(1, folder, {folder + L"\\m.txt"});
    TFrmOvMain& f = Open();
    TBoxSeen box = AnswerBox([&] { Click(IDC_TBN_DELETE); }, IDOK);
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.caption, L"確認");
    EXPECT_EQ(box.text, L"ページを削除しますか");
    EXPECT_EQ(f.PageTotal, 1);
    EXPECT_EQ(f.CurrentPage, 1);
    EXPECT_TRUE(RegKeyExists(HKCU, PageKeyPath(1)));
    EXPECT_EQ(PageFolderRead(1), L"");
    EXPECT_EQ(PageItemCount(1), 0);
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(FilePresent(folder + L"\\m.txt")) << "the folder on disk is untouched";
}

TEST_F(ItemCommands, DeletingAPageShowsThePageBeforeItOrTheOneThatFollowedPage1) {
    const std::wstring a = File(L"a.txt"), b = File(L"b.txt"), c = File(L"c.txt"),
                       d = File(L"d.txt");
    PageWithItems(1, {a});
    PageWithItems(2, {b});
    PageWithItems(3, {c});
    PageWithItems(4, {d});
    TFrmOvMain& f = Open();
    f.PageTotal = 4;
    struct TCase {
        int32_t deleted;
        int32_t shown;
        const wchar_t* row;
    };
    // A middle page, the first, the last: each shows the page before it, page 1 the next one.
    for (const TCase& c : {TCase{2, 1, L"a.txt"}, TCase{1, 1, L"c.txt"}, TCase{2, 1, L"c.txt"}}) {
        SCOPED_TRACE(c.deleted);
        const int32_t total = f.PageTotal;
        f.CurrentPage = c.deleted;
        f.CptPmuItemBtnUpdateClick();
        AnswerBox([&] { Click(IDC_TBN_DELETE); }, IDOK);
        EXPECT_EQ(f.PageTotal, total - 1);
        EXPECT_EQ(f.CurrentPage, c.shown);
        EXPECT_EQ(Rows(), (std::vector<std::wstring>{c.row}));
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
        std::vector<std::wstring> kept;
        const wchar_t* const names[] = {L"p1.txt", L"p2.txt", L"p3.txt", L"p4.txt", L"new.txt"};
        for (int32_t page = 1; page <= 4; ++page)
            PageWithItems(page, {kept.emplace_back(File(names[page - 1]))});
        kept.erase(kept.begin() + 1);
        TFrmOvMain& f = Open();
        f.CurrentPage = 2;
        store.failedRead = L"p3.txt";
        store.failOnce = once;
        const std::vector<TBoxSeen> boxes = AnswerBoxes([&] { Click(IDC_TBN_DELETE); }, IDOK);
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[1].text, L"'p3.txt' の取得に失敗しました.");
        EXPECT_FALSE(RegValueExists(HKCU, OvKeyData, OvValPageMove));
        EXPECT_EQ(RegKeyExists(HKCU, PageKeyPath(2)), once) << L"the gap closed";
        EXPECT_EQ(f.PageTotal, 3);
        EXPECT_EQ(f.CurrentPage, 1);
        EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"p1.txt"}));
        EXPECT_EQ(f.StatusPanels.pageText, StatusPageText(1, 3, 1));

        Drop({kept.emplace_back(File(L"new.txt"))}, EmptySpot());
        store.failedRead.clear();
        form.reset();
        PagesRepair();
        std::vector<std::wstring> paths;
        for (const wchar_t* name : names)
            for (int32_t page = 1; page <= PageCount(); ++page)
                if (!ItemPathRead(page, name).empty())
                    paths.push_back(ItemPathRead(page, name));
        EXPECT_EQ(paths, kept);
    }

    // A page key that cannot be deleted stops the deletion before anything moves: the window
    // stays on the page the user picked, never on one a second Delete would remove unasked.
    TFaultMemStore store;
    TRegStoreScope scope(store);
    ConfigTreeCreate();
    for (int32_t page = 1; page <= 3; ++page)
        PageWithItems(page, {File(L"p" + std::to_wstring(page) + L".txt")});
    TFrmOvMain& f = Open();
    f.CurrentPage = 2;
    store.refusedKey = PageKeyPath(2).substr(1);
    EXPECT_EQ(AnswerBoxes([&] { Click(IDC_TBN_DELETE); }, IDOK).size(), 2u);
    EXPECT_EQ(f.PageTotal, 3);
    EXPECT_EQ(f.CurrentPage, 2);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"p2.txt"}));
    form.reset();
}

TEST_F(ItemCommands, DeletingSelectedItemsAsksFirstAndRemovesOnlyTheirValues) {
    const std::wstring a = File(L"a.txt"), b = File(L"b.txt"), c = File(L"c.txt");
    PageWithItems(1, {a, b, c});
    Open();
    Select({L"a.txt", L"c.txt"});
    TBoxSeen box = AnswerBox([&] { Click(IDC_TBN_DELETE); }, IDCANCEL);
    EXPECT_EQ(box.text, L"選択したファイルを削除しますか");
    EXPECT_EQ(PageItemCount(1), 3);

    Select({L"a.txt", L"c.txt"});
    AnswerBox([&] { Click(IDC_TBN_DELETE); }, IDOK);
    std::vector<std::wstring> names;
    PageItemNames(1, names);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"", L"b.txt"}));
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"b.txt"}));
    EXPECT_TRUE(FilePresent(a)) << "nothing on disk is deleted";
}

TEST_F(ItemCommands, DeletingItemsOfAFolderPageIsRefusedWithoutAQuestion) {
    const std::wstring folder = Folder(L"mirror");
    FileWrite(folder + L"\\m.txt", "m");
    PageFolderAdd(1, folder, {folder + L"\\m.txt"});
    Open();
    Select({L"m.txt"});
    TBoxSeen box = AnswerBox([&] { Click(IDC_TBN_DELETE); }, IDOK);
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.text, L"このページのファイルは削除できません");
    EXPECT_EQ(PageItemCount(1), 1);
    EXPECT_EQ(form->PageTotal, 1);
}

// ---------------------------------------------------------------------------------------------
// Renaming

TEST_F(ItemCommands, RenameIsRevertedWhenTheStoreRefusesAndKeepsBlanksWhenAccepted) {
    const std::wstring a = File(L"a.txt"), b = File(L"résumé.txt");
    PageWithItems(1, {a, b});
    Open();
    EXPECT_EQ(EndEdit(L"a.txt", L"   "), FALSE);
    EXPECT_EQ(EndEdit(L"a.txt", L"A.TXT"), FALSE);
    EXPECT_EQ(EndEdit(L"a.txt", L"RÉSUMÉ.TXT"), FALSE) << "letter case aside in every script";
    EXPECT_EQ(ItemPathRead(1, L"a.txt"), a);
    EXPECT_EQ(ItemPathRead(1, L"résumé.txt"), b);

    EXPECT_EQ(EndEdit(L"a.txt", L" first"), TRUE);
    EXPECT_EQ(ItemPathRead(1, L" first"), a);
    EXPECT_EQ(ItemPathRead(1, L"a.txt"), L"");

    // A cancelled editor sends no text: nothing changes.
    NMLVDISPINFOW cancelled{};
    cancelled.item.iItem = RowOf(L"résumé.txt");
    EXPECT_EQ(Notify(LVN_BEGINLABELEDITW, cancelled), FALSE);
    EXPECT_EQ(Notify(LVN_ENDLABELEDITW, cancelled), FALSE);
    EXPECT_EQ(ItemPathRead(1, L"résumé.txt"), b);
}

TEST_F(ItemCommands, TheRealEditorRenamesTheRowAndTheRowSortsUnderItsNewName) {
    const std::wstring a = File(L"a.txt"), b = File(L"b.txt");
    PageWithItems(1, {a, b});
    TFrmOvMain& f = Open();
    ::SetFocus(f.CptLvwItems);
    HWND edit = ListView_EditLabel(f.CptLvwItems, RowOf(L"a.txt"));
    ASSERT_NE(edit, nullptr);
    // Typed a character at a time, the emoji as its two surrogates.
    const std::wstring typed = L"z Café ☕ 한글 😀";
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    for (wchar_t c : typed)
        ::SendMessageW(edit, WM_CHAR, c, 0);
    ::SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(50);
    EXPECT_EQ(ItemPathRead(1, typed), a);
    EXPECT_GE(RowOf(typed), 0);
    f.CptLvwItemsColumnClick(0);
    f.CptLvwItemsColumnClick(0);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"b.txt", typed}));
}

TEST_F(ItemCommands, EditingOnAFolderPageIsRefusedWithError2) {
    const std::wstring folder = Folder(L"mirror");
    FileWrite(folder + L"\\m.txt", "m");
    PageFolderAdd(1, folder, {folder + L"\\m.txt"});
    TFrmOvMain& f = Open();
    ::SetFocus(f.CptLvwItems);
    HWND edit = nullptr;
    TBoxSeen box =
        AnswerBox([&] { edit = ListView_EditLabel(f.CptLvwItems, RowOf(L"m.txt")); }, IDOK);
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.text, L"このページのファイルは変更できません");
    EXPECT_EQ(edit, nullptr) << "no editor opens";
}

TEST_F(ItemCommands, ADraggedRowIsPickedUpAndDroppedNowhere) {
    const std::wstring a = File(L"a.txt");
    PageWithItems(1, {a});
    TFrmOvMain& f = Open();
    {
        TButtonHeld held;
        DragBegin(0);
        EXPECT_EQ(::GetCapture(), f.Handle()) << "the mouse stays with the window while dragging";
        ::SendMessageW(f.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        EXPECT_NE(::GetCapture(), f.Handle());
    }
    EXPECT_EQ(PageItemCount(1), 1);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"a.txt"}));
    // A drag the list tells of once the button is up already is none; one whose button went up
    // unseen ends at the next move: neither holds the mouse, nor the first Escape.
    DragBegin(0);
    EXPECT_NE(::GetCapture(), f.Handle());
    {
        TButtonHeld held;
        DragBegin(0);
    }
    ::SendMessageW(f.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_NE(::GetCapture(), f.Handle());
    EXPECT_EQ(PageItemCount(1), 1);
}

// ---------------------------------------------------------------------------------------------
// Page buttons and the status bar

TEST_F(ItemCommands, PreviousOnPage1DoesNothingAndNextOnTheLastPageAppendsOnePerPress) {
    const std::wstring a = File(L"a.txt");
    TFrmOvMain& f = Open();
    // A row the store does not know: a refill would remove it.
    ListRowAdd(L"marker", a, 1);
    Click(IDC_TBN_BEFORE);
    EXPECT_EQ(f.CurrentPage, 1);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"marker"}));

    Click(IDC_TBN_NEXT);
    Click(IDC_TBN_NEXT);
    EXPECT_EQ(f.PageTotal, 3);
    EXPECT_EQ(f.CurrentPage, 3);
    EXPECT_EQ(PageCount(), 3);
    EXPECT_TRUE(RegValueExists(HKCU, PageKeyPath(3), L""));
    EXPECT_EQ(PageFolderRead(3), L"");
    EXPECT_TRUE(Rows().empty());

    // Back and forth between pages that exist refreshes them; no page is made.
    ItemAdd(2, a);
    Click(IDC_TBN_BEFORE);
    EXPECT_EQ(f.CurrentPage, 2);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"a.txt"}));
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
    Drop({File(L"a.txt"), File(L"b.txt")}, EmptySpot());
    EXPECT_EQ(f.StatusPanels.pageText, StatusPageText(1, 1, 2));
    Drop({Folder(L"dropped")}, EmptySpot());
    EXPECT_EQ(f.StatusPanels.pageText, StatusPageText(2, 2, 0));
    EXPECT_EQ(f.StatusPanels.folder, tmp / L"dropped");
    Click(IDC_TBN_NEXT);
    EXPECT_EQ(f.StatusPanels.pageText, StatusPageText(3, 3, 0));
    EXPECT_EQ(f.StatusPanels.folder, L"");
}

TEST(StatusBar, PagePanelText) {
    EXPECT_EQ(StatusPageText(2, 5, 7), L" 2/5 ページ   7 個のオブジェクト  ");
    EXPECT_EQ(StatusPageText(10, 12, 0), L" 10/12 ページ   0 個のオブジェクト  ");
}

// The status bar's panels painted into a bitmap: the folder panel shows an icon and text only on
// a folder page.
TEST_F(ItemCommands, TheFolderPanelPaintsOnlyOnAFolderPage) {
    const std::wstring folder = Folder(L"mirror");
    PageCreate(1, L"");
    PageFolderAdd(2, folder, {});
    TFrmOvMain& f = Open();
    auto paint = [&](int page) {
        f.CurrentPage = page;
        f.StatusRepaint();
        // The folder's icon is loaded in idle time.
        while (f.IdleWork()) {
        }
        HDC screen = ::GetDC(nullptr);
        HDC dc = ::CreateCompatibleDC(screen);
        HBITMAP bmp = ::CreateCompatibleBitmap(screen, 300, 20);
        ::ReleaseDC(nullptr, screen);
        HGDIOBJ old = ::SelectObject(dc, bmp);
        RECT all{0, 0, 300, 20};
        ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        StatusPanelPaint(*form, 1, dc, all);
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
