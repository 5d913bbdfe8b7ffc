// Path rules, existence tests, the shared directory search, folder listing and shortcuts.
#include "uCmnError.h"
#include "uCmnFile.h"
#include "uCmnHandle.h"
#include "uTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

struct TPathCase {
    const wchar_t* path;
    const wchar_t* name;
    const wchar_t* folderWithSep;
    const wchar_t* folder;
    const wchar_t* extension;
};

void ExpectPathRules(const TPathCase& c) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(PathName(c.path), c.name);
    EXPECT_EQ(PathFolderWithSep(c.path), c.folderWithSep);
    EXPECT_EQ(PathFolder(c.path), c.folder);
    EXPECT_EQ(PathExtension(c.path), c.extension);
}

TEST(PathRules, SplitsAtTheLastSeparator) {
    const TPathCase cases[] = {
        {L"C:\\Tools\\memo.lnk", L"memo.lnk", L"C:\\Tools\\", L"C:\\Tools", L".lnk"},
        {L"C:\\a.txt", L"a.txt", L"C:\\", L"C:\\", L".txt"},
        {L"C:a.txt", L"a.txt", L"C:", L"C:", L".txt"},
        {L"C:\\a.b\\c", L"c", L"C:\\a.b\\", L"C:\\a.b", L""},
        {L"C:\\a.b\\", L"", L"C:\\a.b\\", L"C:\\a.b", L""},
        {L"C:\\dir\\c.", L"c.", L"C:\\dir\\", L"C:\\dir", L"."},
        {L"C:\\x.tar.gz", L"x.tar.gz", L"C:\\", L"C:\\", L".gz"},
        {L"\\\\srv\\share\\x", L"x", L"\\\\srv\\share\\", L"\\\\srv\\share", L""},
        {L"C:\\\\x", L"x", L"C:\\\\", L"C:\\\\", L""},
        {L"\\a.txt", L"a.txt", L"\\", L"\\", L".txt"},
        {L"noext", L"noext", L"", L"", L""},
        {L".lnk", L".lnk", L"", L"", L".lnk"},
        {L"", L"", L"", L"", L""},
    };
    for (const TPathCase& c : cases)
        ExpectPathRules(c);
}

// A path for a box, in lines of at most 8 characters: broken after a separator where the line
// holds one, else at the width, never between the halves of a character.
TEST(PathRules, WrapsForABoxLosingNothing) {
    const struct {
        const wchar_t *path, *wrapped;
    } cases[] = {
        {L"C:\\a.txt", L"C:\\a.txt"},
        {L"C:\\ab\\cd\\ef.txt", L"C:\\ab\\\ncd\\\nef.txt"},
        {L"C:\\abcdefghijk", L"C:\\\nabcdefgh\nijk"},
        {L"\\\\srv\\share\\x", L"\\\\srv\\\nshare\\x"},
        {L"abcdefg😀h", L"abcdefg\n😀h"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PathWrapped(c.path, 8), c.wrapped) << c.path;
}

// Characters whose Shift-JIS second byte is "\\" (0x5C) or "|" (0x7C): never separators.
TEST(PathRules, NeverSplitsInsideACharacter) {
    const TPathCase cases[] = {
        {L"C:\\ソ", L"ソ", L"C:\\", L"C:\\", L""},
        {L"C:\\ソ\\表.txt", L"表.txt", L"C:\\ソ\\", L"C:\\ソ", L".txt"},
        {L"C:\\表\\ソ\\", L"", L"C:\\表\\ソ\\", L"C:\\表\\ソ", L""},
        {L"表ソ", L"表ソ", L"", L"", L""},
        {L"D:\\メモ.ソ", L"メモ.ソ", L"D:\\", L"D:\\", L".ソ"},
        {L"D:\\a.表\\b", L"b", L"D:\\a.表\\", L"D:\\a.表", L""},
        {L"ソ:表", L"表", L"ソ:", L"ソ:", L""},
        {L"C:\\Ærø 한\\😀 smile.txt", L"😀 smile.txt", L"C:\\Ærø 한\\", L"C:\\Ærø 한", L".txt"},
        {L"C:\\〜wave.ポ", L"〜wave.ポ", L"C:\\", L"C:\\", L".ポ"},
    };
    for (const TPathCase& c : cases)
        ExpectPathRules(c);
}

TEST(PathRules, RootOfTheVolume) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\a\\b.txt", L"C:\\"},
        {L"d:\\", L"d:\\"},
        {L"\\\\srv\\share\\a.txt", L"\\\\srv\\share\\"},
        {L"\\\\srv\\share", L"\\\\srv\\share\\"},
        {L"\\\\srv", L""},
        {L"\\\\srv\\", L""},
        {L"C:a.txt", L""},
        {L"rel\\a.txt", L""},
        {L"\\\\srv\\表\\a", L"\\\\srv\\表\\"},
        {L"1:\\x", L""},
    };
    for (const auto& [path, root] : cases)
        EXPECT_EQ(PathRoot(path), root) << path;
}

TEST(PathRules, ExtensionTestsFoldOnlyAsciiLetters) {
    for (const wchar_t* yes : {L"X.LNK", L"x.lnk", L"C:\\a\\b.LnK", L".lnk"})
        EXPECT_TRUE(FileIsLink(yes)) << yes;
    for (const wchar_t* no : {L"x.lnk.txt", L"x.lnkx", L"lnk", L"x.lnk\\y", L"x.ｌｎｋ", L"x.LNK "})
        EXPECT_FALSE(FileIsLink(no)) << no;
    EXPECT_TRUE(PathExtensionIs(L"A.ZIP", L".zip"));
    for (wchar_t c = L'a'; c <= L'z'; ++c)
        EXPECT_TRUE(PathExtensionIs(std::wstring(L"x.") + static_cast<wchar_t>(c - L'a' + L'A'),
                                    std::wstring(L".") + c))
            << static_cast<char>(c);
    // The characters just beside the letters fold to nothing, nor do letters outside a-z; in
    // Shift-JIS "ヂ" ends in the byte "a" and "ア" in "A".
    const std::pair<const wchar_t*, const wchar_t*> unlike[] = {
        {L"x.@", L".`"}, {L"x.[", L".{"}, {L"x.ヂ", L".ア"}, {L"x.É", L".é"}};
    for (const auto& [path, ext] : unlike)
        EXPECT_FALSE(PathExtensionIs(path, ext)) << path;
    EXPECT_TRUE(PathExtensionIs(L"x.ヂ", L".ヂ"));
}

TEST(PathRules, DisplayNameDropsOnlyTheShortcutExtension) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"notes.lnk", L"notes"},     {L"a.b.LNK", L"a.b"},           {L".lnk", L""},
        {L"x.lnk.txt", L"x.lnk.txt"}, {L"readme.txt", L"readme.txt"}, {L"setup.exe", L"setup.exe"},
        {L"noext", L"noext"},         {L"表ソ.lnk", L"表ソ"},
    };
    for (const auto& [name, display] : cases)
        EXPECT_EQ(FileDisplayName(name), display) << name;
}

TEST(OleError, UnknownCodeGivesTheCodeInHex) {
    EXPECT_EQ(OleErrorText(static_cast<HRESULT>(0x8AB1CDEF)), L"OLE エラー 8ab1cdef");
    const std::wstring known = OleErrorText(E_OUTOFMEMORY);
    EXPECT_FALSE(known.empty());
    EXPECT_GT(known.back(), L' ');
}

class FileHelpers : public ::testing::Test {
  protected:
    TComInit com;
    TTempFolder temp;
};

TEST_F(FileHelpers, PresenceOfFilesAndFolders) {
    ASSERT_TRUE(FileWrite(temp / L"a.txt", "abc"));
    ASSERT_TRUE(::CreateDirectoryW((temp / L"sub").c_str(), nullptr));

    EXPECT_TRUE(FilePresent(temp / L"a.txt"));
    EXPECT_FALSE(FolderPresent(temp / L"a.txt"));
    EXPECT_FALSE(FilePresent(temp / L"sub"));
    EXPECT_TRUE(FolderPresent(temp / L"sub"));
    EXPECT_FALSE(FolderPresent(temp / L"sub\\"));
    EXPECT_FALSE(FilePresent(temp / L"missing"));
    EXPECT_FALSE(FolderPresent(temp / L"missing"));
    EXPECT_FALSE(FolderPresent(L"C:\\"));
    EXPECT_FALSE(FilePresent(L"C:\\"));
}

TEST_F(FileHelpers, FolderListNamesEveryEntryOnce) {
    ASSERT_TRUE(FileWrite(temp / L"a.txt", ""));
    ASSERT_TRUE(FileWrite(temp / L"hidden.dat", ""));
    ASSERT_TRUE(::SetFileAttributesW((temp / L"hidden.dat").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(::CreateDirectoryW((temp / L"sub").c_str(), nullptr));
    ASSERT_TRUE(FileWrite(temp / L"sub\\inner.txt", ""));
    ASSERT_TRUE(FileWrite(temp / L"表ソ.txt", ""));

    std::vector<std::wstring> list = {L"left over"};
    FolderList(temp.Path(), L"*", list);
    std::sort(list.begin(), list.end());
    std::vector<std::wstring> expected = {temp / L"a.txt", temp / L"hidden.dat", temp / L"sub",
                                          temp / L"表ソ.txt"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(list, expected);

    FolderList(temp.Path() + L"\\", L"*.txt", list);
    std::sort(list.begin(), list.end());
    EXPECT_EQ(list, (std::vector<std::wstring>{temp.Path() + L"\\\\a.txt",
                                               temp.Path() + L"\\\\表ソ.txt"}));

    list = {L"left over"};
    FolderList(temp / L"missing", L"*", list);
    EXPECT_TRUE(list.empty());
}

TEST_F(FileHelpers, FindRecordCarriesTimeSizeAndAttributes) {
    const std::wstring file = temp / L"dated.txt";
    ASSERT_TRUE(FileWrite(file, "12345"));
    SYSTEMTIME st{};
    st.wYear = 2021;
    st.wMonth = 3;
    st.wDay = 14;
    st.wHour = 15;
    st.wMinute = 9;
    st.wSecond = 27;
    FILETIME local{}, utc{};
    ASSERT_TRUE(::SystemTimeToFileTime(&st, &local));
    ASSERT_TRUE(::LocalFileTimeToFileTime(&local, &utc));
    {
        TUniqueHandle h(::CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(h.Get(), INVALID_HANDLE_VALUE);
        ASSERT_TRUE(::SetFileTime(h.Get(), nullptr, nullptr, &utc));
    }

    // The search leaves the process's error mode alone: each thread's is its own.
    const UINT before = ::SetErrorMode(SEM_NOGPFAULTERRORBOX);
    FindRecord r;
    {
        TFileSearch search;
        ASSERT_TRUE(search.First(file, r));
        EXPECT_EQ(::GetErrorMode(), static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
        EXPECT_EQ(r.Time, (41u << 25) | (3u << 21) | (14u << 16) | (15u << 11) | (9u << 5) | 13u);
        EXPECT_EQ(r.Size, 5);
        EXPECT_EQ(r.Size64, 5);
        EXPECT_EQ(r.Name, L"dated.txt");
        EXPECT_EQ(r.Attr & FILE_ATTRIBUTE_DIRECTORY, 0u);
        EXPECT_FALSE(search.Next(r));
        EXPECT_EQ(r.Name, L"");
        EXPECT_FALSE(search.Next(r)) << "ended, and stays ended";

        r.Name = L"stale";
        EXPECT_FALSE(search.First(temp / L"missing", r));
        EXPECT_EQ(r.Name, L"");
        EXPECT_EQ(::GetErrorMode(), static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
    }
    ::SetErrorMode(before);

    ASSERT_TRUE(TFileSearch().First(temp.Path(), r));
    EXPECT_NE(r.Attr & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

// Two folders listed at once, on two threads, over and over: each listing is its own folder's,
// whole. (One search shared by the process gave one listing the other's names, or no end.)
TEST_F(FileHelpers, TwoFoldersListedAtOnceOnTwoThreadsEachGetTheirOwn) {
    const std::wstring a = temp / L"a", b = temp / L"b";
    ASSERT_TRUE(::CreateDirectoryW(a.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(b.c_str(), nullptr));
    std::vector<std::wstring> expectedA, expectedB;
    for (int i = 0; i < 1300; ++i) {
        const std::wstring name = std::to_wstring(i) + L".txt";
        ASSERT_TRUE(FileWrite(a + L"\\a" + name, ""));
        expectedA.push_back(a + L"\\a" + name);
        if (i < 1100) {
            ASSERT_TRUE(FileWrite(b + L"\\b" + name, ""));
            expectedB.push_back(b + L"\\b" + name);
        }
    }
    std::sort(expectedA.begin(), expectedA.end());
    std::sort(expectedB.begin(), expectedB.end());
    auto lists = [](const std::wstring& folder, const std::vector<std::wstring>& expected) {
        int wrong = 0;
        for (int round = 0; round < 8; ++round) {
            std::vector<std::wstring> list;
            FolderList(folder, L"*", list);
            std::sort(list.begin(), list.end());
            wrong += list != expected;
        }
        return wrong;
    };
    // Meanwhile the process's error mode stays as it is: each search sets its own thread's (two
    // threads saving and restoring the process's could leave a drive to prompt for a disk).
    const UINT mode = ::GetErrorMode();
    std::atomic<bool> listing{true};
    std::atomic<int> modeChanges{0};
    std::thread sampler([&] {
        while (listing)
            modeChanges += ::GetErrorMode() != mode;
    });
    int wrongA = 0;
    std::thread lister([&] { wrongA = lists(a, expectedA); });
    const int wrongB = lists(b, expectedB);
    lister.join();
    listing = false;
    sampler.join();
    EXPECT_EQ(wrongA, 0);
    EXPECT_EQ(wrongB, 0);
    EXPECT_EQ(modeChanges.load(), 0);
    EXPECT_EQ(::GetErrorMode(), mode);
}

// The quick look-up of one path answers exactly as the directory search does, also for the paths
// a search treats in its own way.
TEST_F(FileHelpers, RecordOfOnePathMatchesTheSearch) {
    ASSERT_TRUE(FileWrite(temp / L"a.txt", "12345"));
    ASSERT_TRUE(FileWrite(temp / L"表ソ", "x"));
    ASSERT_TRUE(::CreateDirectoryW((temp / L"sub").c_str(), nullptr));
    for (const std::wstring& path :
         {temp / L"a.txt", temp / L"A.TXT", temp / L"表ソ", temp / L"sub", temp / L"sub\\",
          temp / L"missing", temp / L"a.t?t", temp / L"*.txt", temp / L"sub\\.",
          std::wstring(L"C:\\"), std::wstring(L"C:")}) {
        SCOPED_TRACE(path);
        FindRecord quick, searched;
        const bool found = TFileSearch().First(path, searched);
        EXPECT_EQ(FileRecordGet(path, quick), found);
        EXPECT_EQ(quick.Attr, searched.Attr);
        EXPECT_EQ(quick.Size64, searched.Size64);
        EXPECT_EQ(quick.Time, searched.Time);
    }
}

TEST_F(FileHelpers, FindRecordKeepsSizesOf2GiBAndMore) {
    const std::wstring file = temp / L"big.bin";
    {
        TUniqueHandle h(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_NE(h.Get(), INVALID_HANDLE_VALUE);
        LARGE_INTEGER size;
        size.QuadPart = 0x180000005LL;
        ASSERT_TRUE(::SetFilePointerEx(h.Get(), size, nullptr, FILE_BEGIN));
        if (!::SetEndOfFile(h.Get()))
            GTEST_SKIP() << L"no room for a sparse 6 GiB file";
    }
    FindRecord r;
    ASSERT_TRUE(TFileSearch().First(file, r));
    EXPECT_EQ(r.Size64, 0x180000005LL);
    EXPECT_EQ(r.Size, static_cast<int32_t>(0x80000005u));
}

// Targets, shortcut names and arguments outside any code page included.
TEST_F(FileHelpers, LinkResolveReadsTargetAndArguments) {
    ASSERT_TRUE(::CreateDirectoryW((temp / L"Ærø 한").c_str(), nullptr));
    struct TCase {
        const wchar_t *program, *link, *arguments;
    };
    for (const TCase& c : {TCase{L"long program name.exe", L"表ソ.lnk", L"-a \"b c\" 表"},
                           TCase{L"Ærø 한\\😀 prog.exe", L"한 😀 Résumé.lnk", L"\"Ærø.txt\" 〜"}}) {
        const std::wstring program = temp / c.program, link = temp / c.link;
        SCOPED_TRACE(link);
        ASSERT_TRUE(FileWrite(program, "MZ"));
        ASSERT_TRUE(LinkCreate(link, program, c.arguments));

        std::wstring target = L"stale", arguments = L"stale";
        LinkResolve(link, target, arguments);
        EXPECT_EQ(arguments, c.arguments);
        wchar_t longForm[MAX_PATH + 1] = {};
        ASSERT_NE(::GetLongPathNameW(target.c_str(), longForm, MAX_PATH), 0u) << target;
        EXPECT_EQ(lstrcmpiW(longForm, program.c_str()), 0) << longForm;
        wchar_t shortForm[MAX_PATH + 1] = {};
        ::GetShortPathNameW(program.c_str(), shortForm, MAX_PATH);
        if (std::wstring(shortForm) != program) {
            EXPECT_EQ(target.find(L' '), std::wstring::npos) << target;
        }
    }
    const std::wstring link = temp / L"表ソ.lnk", program = temp / L"long program name.exe";
    std::wstring target, arguments;
    EXPECT_TRUE(FileIsExe(link));
    EXPECT_EQ(FileDisplayName(PathName(link)), L"表ソ");

    // Longer than a path: must come back whole.
    const std::wstring many(600, L'x');
    ASSERT_TRUE(LinkCreate(temp / L"many.lnk", program, many));
    LinkResolve(temp / L"many.lnk", target, arguments);
    EXPECT_EQ(arguments, many);

    // On a thread that never started COM the resolution starts it; on one that runs COM in
    // either model it uses it.
    const struct {
        const char* name;
        int model;
    } threads[] = {{"no COM", -1},
                   {"single-threaded", COINIT_APARTMENTTHREADED},
                   {"multithreaded", COINIT_MULTITHREADED}};
    for (const auto& t : threads) {
        SCOPED_TRACE(t.name);
        std::wstring fromThread;
        std::thread([&] {
            const HRESULT com = t.model < 0 ? E_FAIL : ::CoInitializeEx(nullptr, t.model);
            try {
                std::wstring args;
                LinkResolve(temp / L"many.lnk", fromThread, args);
            } catch (const std::exception&) {
            }
            if (SUCCEEDED(com))
                ::CoUninitialize();
        }).join();
        EXPECT_EQ(fromThread, target);
    }
}

TEST_F(FileHelpers, FileIsExeLooksThroughShortcuts) {
    const std::wstring doc = temp / L"doc.txt";
    ASSERT_TRUE(FileWrite(doc, "text"));
    ASSERT_TRUE(LinkCreate(temp / L"doc.lnk", doc, L""));
    EXPECT_FALSE(FileIsExe(temp / L"doc.lnk"));

    EXPECT_TRUE(FileIsExe(L"C:\\Windows\\calc.EXE"));
    EXPECT_TRUE(FileIsExe(L"setup.exe"));
    EXPECT_FALSE(FileIsExe(L"C:\\x.com"));
    EXPECT_FALSE(FileIsExe(L"C:\\x.bat"));
    EXPECT_FALSE(FileIsExe(L"C:\\x.exe.txt"));
}

TEST_F(FileHelpers, UnreadableShortcutsRaise) {
    const std::wstring damaged = temp / L"damaged.lnk";
    ASSERT_TRUE(FileWrite(damaged, std::string("\x4c\0\0\0garbage that is no shortcut", 32)));
    const std::wstring missing = temp / L"missing.lnk";

    for (const std::wstring& link : {damaged, missing}) {
        SCOPED_TRACE(link);
        std::wstring target = L"stale", arguments = L"stale";
        try {
            LinkResolve(link, target, arguments);
            ADD_FAILURE() << L"no error raised";
        } catch (const EOleError& e) {
            EXPECT_FALSE(e.Message().empty());
        }
        EXPECT_EQ(target, L"");
        EXPECT_EQ(arguments, L"");
        EXPECT_THROW(FileIsExe(link), EOleError);
    }
}

// A file found costs one look-up; the missing files of one folder share one listing of it.
TEST_F(FileHelpers, AProbeLooksAFoundPathUpOnceAndEachFolderOnce) {
    ASSERT_TRUE(FileWrite(temp / L"a.txt", "a"));
    TLookUpFault counted(temp / L"none");
    TPathProbe probe;
    FindRecord record;
    EXPECT_EQ(probe.Get(temp / L"a.txt", record), TPathState::Present);
    EXPECT_EQ(record.Size64, 1);
    EXPECT_EQ(counted.lookUps, 1);
    for (const wchar_t* name : {L"x.txt", L"y.txt", L"z.txt"})
        EXPECT_EQ(probe.Get(temp / name, record), TPathState::Absent);
    EXPECT_EQ(counted.lookUps, 1 + 3 + 2) << L"each file, then the folder and its listing once";
}

} // namespace
