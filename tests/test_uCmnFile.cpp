// Path rules, existence tests, the shared directory search, folder listing and shortcuts.
#include "uCmnError.h"
#include "uCmnFile.h"
#include "uCmnHandle.h"
#include "uTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct TPathCase {
    const char* path;
    const char* name;
    const char* folderWithSep;
    const char* folder;
    const char* extension;
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
        {"C:\\Tools\\memo.lnk", "memo.lnk", "C:\\Tools\\", "C:\\Tools", ".lnk"},
        {"C:\\a.txt", "a.txt", "C:\\", "C:\\", ".txt"},
        {"C:a.txt", "a.txt", "C:", "C:", ".txt"},
        {"C:\\a.b\\c", "c", "C:\\a.b\\", "C:\\a.b", ""},
        {"C:\\a.b\\", "", "C:\\a.b\\", "C:\\a.b", ""},
        {"C:\\dir\\c.", "c.", "C:\\dir\\", "C:\\dir", "."},
        {"C:\\x.tar.gz", "x.tar.gz", "C:\\", "C:\\", ".gz"},
        {"\\\\srv\\share\\x", "x", "\\\\srv\\share\\", "\\\\srv\\share", ""},
        {"C:\\\\x", "x", "C:\\\\", "C:\\\\", ""},
        {"\\a.txt", "a.txt", "\\", "\\", ".txt"},
        {"noext", "noext", "", "", ""},
        {".lnk", ".lnk", "", "", ".lnk"},
        {"", "", "", "", ""},
    };
    for (const TPathCase& c : cases)
        ExpectPathRules(c);
}

TEST(PathRules, NeverSplitsInsideADoubleByteCharacter) {
    if (::GetACP() != 932)
        GTEST_SKIP() << "needs the Shift-JIS code page";
    ASSERT_EQ(std::string("ソ表"), "\x83\x5C\x95\x5C");
    const TPathCase cases[] = {
        {"C:\\ソ", "ソ", "C:\\", "C:\\", ""},
        {"C:\\ソ\\表.txt", "表.txt", "C:\\ソ\\", "C:\\ソ", ".txt"},
        {"C:\\表\\ソ\\", "", "C:\\表\\ソ\\", "C:\\表\\ソ", ""},
        {"表ソ", "表ソ", "", "", ""},
        {"D:\\メモ.ソ", "メモ.ソ", "D:\\", "D:\\", ".ソ"},
        {"D:\\a.表\\b", "b", "D:\\a.表\\", "D:\\a.表", ""},
        {"ソ:表", "表", "ソ:", "ソ:", ""},
    };
    for (const TPathCase& c : cases)
        ExpectPathRules(c);
}

TEST(PathRules, RootOfTheVolume) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\a\\b.txt", "C:\\"},
        {"d:\\", "d:\\"},
        {"\\\\srv\\share\\a.txt", "\\\\srv\\share\\"},
        {"\\\\srv\\share", "\\\\srv\\share\\"},
        {"\\\\srv", ""},
        {"\\\\srv\\", ""},
        {"C:a.txt", ""},
        {"rel\\a.txt", ""},
        {"\\\\srv\\表\\a", "\\\\srv\\表\\"},
        {"1:\\x", ""},
    };
    for (const auto& [path, root] : cases)
        EXPECT_EQ(PathRoot(path), root) << path;
}

TEST(PathRules, ExtensionTestsFoldOnlyAsciiLetters) {
    for (const char* yes : {"X.LNK", "x.lnk", "C:\\a\\b.LnK", ".lnk"})
        EXPECT_TRUE(FileIsLink(yes)) << yes;
    for (const char* no : {"x.lnk.txt", "x.lnkx", "lnk", "x.lnk\\y", "x.ｌｎｋ", "x.LNK "})
        EXPECT_FALSE(FileIsLink(no)) << no;
    EXPECT_TRUE(PathExtensionIs("A.ZIP", ".zip"));
    for (char c = 'a'; c <= 'z'; ++c)
        EXPECT_TRUE(PathExtensionIs(std::string("x.") + static_cast<char>(c - 'a' + 'A'),
                                    std::string(".") + c))
            << c;
    // The characters just beside the letters fold to nothing.
    const std::pair<const char*, const char*> unlike[] = {{"x.@", ".`"}, {"x.[", ".{"}};
    for (const auto& [path, ext] : unlike)
        EXPECT_FALSE(PathExtensionIs(path, ext)) << path;
    if (::GetACP() == 932) {
        // "ヂ" ends in the byte "a" and "ア" in "A": second bytes are not letters.
        EXPECT_FALSE(PathExtensionIs("x.ヂ", ".ア"));
        EXPECT_TRUE(PathExtensionIs("x.ヂ", ".ヂ"));
    }
}

TEST(PathRules, DisplayNameDropsOnlyTheShortcutExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"notes.lnk", "notes"},     {"a.b.LNK", "a.b"},           {".lnk", ""},
        {"x.lnk.txt", "x.lnk.txt"}, {"readme.txt", "readme.txt"}, {"setup.exe", "setup.exe"},
        {"noext", "noext"},         {"表ソ.lnk", "表ソ"},
    };
    for (const auto& [name, display] : cases)
        EXPECT_EQ(FileDisplayName(name), display) << name;
}

TEST(OleError, UnknownCodeGivesTheCodeInHex) {
    EXPECT_EQ(OleErrorText(static_cast<HRESULT>(0x8AB1CDEF)), "OLE エラー 8ab1cdef");
    const std::string known = OleErrorText(E_OUTOFMEMORY);
    EXPECT_FALSE(known.empty());
    EXPECT_GT(static_cast<unsigned char>(known.back()), ' ');
}

class FileHelpers : public ::testing::Test {
  protected:
    TComInit com;
    TTempFolder temp;
};

TEST_F(FileHelpers, PresenceOfFilesAndFolders) {
    ASSERT_TRUE(FileWrite(temp / "a.txt", "abc"));
    ASSERT_TRUE(::CreateDirectoryA((temp / "sub").c_str(), nullptr));

    EXPECT_TRUE(FilePresent(temp / "a.txt"));
    EXPECT_FALSE(FolderPresent(temp / "a.txt"));
    EXPECT_FALSE(FilePresent(temp / "sub"));
    EXPECT_TRUE(FolderPresent(temp / "sub"));
    EXPECT_FALSE(FolderPresent(temp / "sub\\"));
    EXPECT_FALSE(FilePresent(temp / "missing"));
    EXPECT_FALSE(FolderPresent(temp / "missing"));
    EXPECT_FALSE(FolderPresent("C:\\"));
    EXPECT_FALSE(FilePresent("C:\\"));
}

TEST_F(FileHelpers, FolderListNamesEveryEntryOnce) {
    ASSERT_TRUE(FileWrite(temp / "a.txt", ""));
    ASSERT_TRUE(FileWrite(temp / "hidden.dat", ""));
    ASSERT_TRUE(::SetFileAttributesA((temp / "hidden.dat").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(::CreateDirectoryA((temp / "sub").c_str(), nullptr));
    ASSERT_TRUE(FileWrite(temp / "sub\\inner.txt", ""));
    ASSERT_TRUE(FileWrite(temp / "表ソ.txt", ""));

    std::vector<std::string> list = {"left over"};
    FolderList(temp.Path(), "*", list);
    std::sort(list.begin(), list.end());
    std::vector<std::string> expected = {temp / "a.txt", temp / "hidden.dat", temp / "sub",
                                         temp / "表ソ.txt"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(list, expected);

    FolderList(temp.Path() + "\\", "*.txt", list);
    std::sort(list.begin(), list.end());
    EXPECT_EQ(list,
              (std::vector<std::string>{temp.Path() + "\\\\a.txt", temp.Path() + "\\\\表ソ.txt"}));

    list = {"left over"};
    FolderList(temp / "missing", "*", list);
    EXPECT_TRUE(list.empty());
}

TEST_F(FileHelpers, FindRecordCarriesTimeSizeAndAttributes) {
    const std::string file = temp / "dated.txt";
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
        TUniqueHandle h(::CreateFileA(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(h.Get(), INVALID_HANDLE_VALUE);
        ASSERT_TRUE(::SetFileTime(h.Get(), nullptr, nullptr, &utc));
    }

    const UINT before = ::SetErrorMode(SEM_NOGPFAULTERRORBOX);
    FindRecord r;
    ASSERT_TRUE(FileFindFirst(file, r));
    EXPECT_EQ(::GetErrorMode(), static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
    EXPECT_EQ(r.Time, (41u << 25) | (3u << 21) | (14u << 16) | (15u << 11) | (9u << 5) | 13u);
    EXPECT_EQ(r.Size, 5);
    EXPECT_EQ(r.Size64, 5);
    EXPECT_EQ(r.Name, "dated.txt");
    EXPECT_EQ(r.Attr & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_FALSE(FileFindNext(r));
    EXPECT_EQ(r.Name, "");
    FileFindClose();
    FileFindClose();
    EXPECT_FALSE(FileFindNext(r));

    r.Name = "stale";
    EXPECT_FALSE(FileFindFirst(temp / "missing", r));
    EXPECT_EQ(r.Name, "");
    EXPECT_EQ(::GetErrorMode(), static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
    ::SetErrorMode(before);

    ASSERT_TRUE(FileFindFirst(temp.Path(), r));
    EXPECT_NE(r.Attr & FILE_ATTRIBUTE_DIRECTORY, 0u);
    FileFindClose();
}

// The quick look-up of one path answers exactly as the directory search does, also for the paths
// a search treats in its own way.
TEST_F(FileHelpers, RecordOfOnePathMatchesTheSearch) {
    ASSERT_TRUE(FileWrite(temp / "a.txt", "12345"));
    ASSERT_TRUE(FileWrite(temp / "表ソ", "x"));
    ASSERT_TRUE(::CreateDirectoryA((temp / "sub").c_str(), nullptr));
    for (const std::string& path :
         {temp / "a.txt", temp / "A.TXT", temp / "表ソ", temp / "sub", temp / "sub\\",
          temp / "missing", temp / "a.t?t", temp / "*.txt", temp / "sub\\.", std::string("C:\\"),
          std::string("C:")}) {
        SCOPED_TRACE(path);
        FindRecord quick, searched;
        const bool found = FileFindFirst(path, searched);
        FileFindClose();
        EXPECT_EQ(FileRecordGet(path, quick), found);
        EXPECT_EQ(quick.Attr, searched.Attr);
        EXPECT_EQ(quick.Size64, searched.Size64);
        EXPECT_EQ(quick.Time, searched.Time);
    }
}

TEST_F(FileHelpers, FindRecordKeepsSizesOf2GiBAndMore) {
    const std::string file = temp / "big.bin";
    {
        TUniqueHandle h(::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_NE(h.Get(), INVALID_HANDLE_VALUE);
        LARGE_INTEGER size;
        size.QuadPart = 0x180000005LL;
        ASSERT_TRUE(::SetFilePointerEx(h.Get(), size, nullptr, FILE_BEGIN));
        if (!::SetEndOfFile(h.Get()))
            GTEST_SKIP() << "no room for a sparse 6 GiB file";
    }
    FindRecord r;
    ASSERT_TRUE(FileFindFirst(file, r));
    FileFindClose();
    EXPECT_EQ(r.Size64, 0x180000005LL);
    EXPECT_EQ(r.Size, static_cast<int32_t>(0x80000005u));
}

TEST_F(FileHelpers, LinkResolveReadsTargetAndArguments) {
    const std::string program = temp / "long program name.exe";
    ASSERT_TRUE(FileWrite(program, "MZ"));
    const std::string link = temp / "表ソ.lnk";
    ASSERT_TRUE(LinkCreate(link, program, "-a \"b c\" 表"));

    std::string target = "stale", arguments = "stale";
    LinkResolve(link, target, arguments);
    EXPECT_EQ(arguments, "-a \"b c\" 表");
    char longForm[MAX_PATH + 1] = {};
    ASSERT_NE(::GetLongPathNameA(target.c_str(), longForm, MAX_PATH), 0u) << target;
    EXPECT_EQ(lstrcmpiA(longForm, program.c_str()), 0) << longForm;
    char shortForm[MAX_PATH + 1] = {};
    ::GetShortPathNameA(program.c_str(), shortForm, MAX_PATH);
    if (std::string(shortForm) != program) {
        EXPECT_EQ(target.find(' '), std::string::npos) << target;
    }

    EXPECT_TRUE(FileIsExe(link));
    EXPECT_EQ(FileDisplayName(PathName(link)), "表ソ");

    // Longer than a path: must come back whole.
    const std::string many(600, 'x');
    ASSERT_TRUE(LinkCreate(temp / "many.lnk", program, many));
    LinkResolve(temp / "many.lnk", target, arguments);
    EXPECT_EQ(arguments, many);
}

TEST_F(FileHelpers, FileIsExeLooksThroughShortcuts) {
    const std::string doc = temp / "doc.txt";
    ASSERT_TRUE(FileWrite(doc, "text"));
    ASSERT_TRUE(LinkCreate(temp / "doc.lnk", doc, ""));
    EXPECT_FALSE(FileIsExe(temp / "doc.lnk"));

    EXPECT_TRUE(FileIsExe("C:\\Windows\\calc.EXE"));
    EXPECT_TRUE(FileIsExe("setup.exe"));
    EXPECT_FALSE(FileIsExe("C:\\x.com"));
    EXPECT_FALSE(FileIsExe("C:\\x.bat"));
    EXPECT_FALSE(FileIsExe("C:\\x.exe.txt"));
}

TEST_F(FileHelpers, UnreadableShortcutsRaise) {
    const std::string damaged = temp / "damaged.lnk";
    ASSERT_TRUE(FileWrite(damaged, std::string("\x4c\0\0\0garbage that is no shortcut", 32)));
    const std::string missing = temp / "missing.lnk";

    for (const std::string& link : {damaged, missing}) {
        SCOPED_TRACE(link);
        std::string target = "stale", arguments = "stale";
        try {
            LinkResolve(link, target, arguments);
            ADD_FAILURE() << "no error raised";
        } catch (const EOleError& e) {
            EXPECT_FALSE(e.Message().empty());
        }
        EXPECT_EQ(target, "");
        EXPECT_EQ(arguments, "");
        EXPECT_THROW(FileIsExe(link), EOleError);
    }
}

// A file found costs one look-up; the missing files of one folder share one listing of it.
TEST_F(FileHelpers, AProbeLooksAFoundPathUpOnceAndEachFolderOnce) {
    ASSERT_TRUE(FileWrite(temp / "a.txt", "a"));
    TLookUpFault counted(temp / "none");
    TPathProbe probe;
    FindRecord record;
    EXPECT_EQ(probe.Get(temp / "a.txt", record), TPathState::Present);
    EXPECT_EQ(record.Size64, 1);
    EXPECT_EQ(counted.lookUps, 1);
    for (const char* name : {"x.txt", "y.txt", "z.txt"})
        EXPECT_EQ(probe.Get(temp / name, record), TPathState::Absent);
    EXPECT_EQ(counted.lookUps, 1 + 3 + 2) << "each file, then the folder and its listing once";
}

} // namespace
