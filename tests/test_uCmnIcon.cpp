// Icons of programs, shortcuts and document types, and the parsing of association icon entries.
#include "uCmnError.h"
#include "uCmnFile.h"
#include "uCmnIcon.h"
#include "uCmnReg.h"
#include "uTestFiles.h"

#include <gtest/gtest.h>
#include <shlobj.h>

namespace {

TEST(IconEntry, SplitsFileAndIndex) {
    struct TCase {
        const char* entry;
        const char* file;
        int index;
    };
    const TCase cases[] = {
        {"C:\\app.exe,3", "C:\\app.exe", 3},
        {"shell32.dll,-201", "shell32.dll", -201},
        {"\"C:\\a b\\x.dll\" , \t+7 \r\n", "\"C:\\a b\\x.dll\" ", 7},
        {"%SystemRoot%\\x.dll,0", "%SystemRoot%\\x.dll", 0},
        {"x.dll,2147483647", "x.dll", 2147483647},
        {"x.dll,-2147483648", "x.dll", INT32_MIN},
    };
    for (const TCase& c : cases) {
        std::string file;
        int index = 12345;
        EXPECT_TRUE(IconEntryParse(c.entry, file, index)) << c.entry;
        EXPECT_EQ(file, c.file);
        EXPECT_EQ(index, c.index) << c.entry;
    }
    for (const char* none : {"", "%1", ",3", "C:\\app.exe"}) {
        std::string file;
        int index = 0;
        EXPECT_FALSE(IconEntryParse(none, file, index)) << none;
    }
}

TEST(IconEntry, MalformedIndexRaisesWithTheTrimmedText) {
    const std::pair<const char*, const char*> cases[] = {
        {"x.dll,abc", "'abc' は整数ではありません"},
        {"x.dll, 1x ", "'1x' は整数ではありません"},
        {"x.dll,", "'' は整数ではありません"},
        {"x.dll,-", "'-' は整数ではありません"},
        {"x.dll,1,2", "'1,2' は整数ではありません"},
        {"x.dll,0x10", "'0x10' は整数ではありません"},
        {"x.dll,2147483648", "'2147483648' は整数ではありません"},
        {"x.dll,-2147483649", "'-2147483649' は整数ではありません"},
    };
    for (const auto& [entry, text] : cases) {
        std::string file = "untouched";
        int index = 0;
        try {
            IconEntryParse(entry, file, index);
            ADD_FAILURE() << entry << ": no error";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), text);
        }
    }
}

std::string ExePath() {
    char path[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// The images ExtractIconExA gives for one icon of a file.
struct TIconImages {
    std::vector<uint32_t> large, small_;
};

TIconImages ImagesOf(const std::string& file, int index) {
    HICON lg = nullptr, sm = nullptr;
    TIconImages images;
    if (::ExtractIconExA(file.c_str(), index, &lg, &sm, 1) > 0) {
        TUniqueIcon l(lg), s(sm);
        images.large = IconPixels(l.Get());
        images.small_ = IconPixels(s.Get());
    }
    return images;
}

// A shortcut to the computer itself: a shell item, no file.
bool ShellItemLinkCreate(const std::string& link) {
    TComPtr<IShellLinkA> shellLink;
    LPITEMIDLIST computer = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  shellLink.PutVoid())) ||
        FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer)))
        return false;
    const HRESULT set = shellLink->SetIDList(computer);
    ::CoTaskMemFree(computer);
    TComPtr<IPersistFile> file;
    if (FAILED(set) || FAILED(shellLink->QueryInterface(IID_IPersistFile, file.PutVoid())))
        return false;
    wchar_t wide[MAX_PATH] = {};
    return ::MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH) &&
           SUCCEEDED(file->Save(wide, TRUE));
}

// A folder whose desktop.ini names an icon of its own, marked as the shell wants to honour it.
void FolderWithIconCreate(const std::string& folder, const std::string& iconFile, int index) {
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    const std::string ini = folder + "\\desktop.ini";
    ASSERT_TRUE(FileWrite(ini, "[.ShellClassInfo]\r\nIconResource=" + iconFile + "," +
                                   std::to_string(index) + "\r\nIconFile=" + iconFile +
                                   "\r\nIconIndex=" + std::to_string(index) + "\r\n"));
    ::SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ::SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_SYSTEM);
}

// A document type ".ovtdoc" of the class "Orvanta.TestDoc". Windows merges the user's
// HKCU\Software\Classes into HKCR; Wine 8 does not, so there the keys go to the machine's
// classes as well.
class Icons : public ::testing::Test {
  protected:
    void TearDown() override {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            ::RegDeleteTreeA(root, "Software\\Classes\\.ovtdoc");
            ::RegDeleteTreeA(root, "Software\\Classes\\Orvanta.TestDoc");
        }
    }

    static void ClassDefaultSet(const std::string& key, const std::string& value) {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            HKEY k = nullptr;
            if (::RegCreateKeyExA(root, ("Software\\Classes\\" + key).c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &k, nullptr) != ERROR_SUCCESS)
                continue;
            ::RegSetValueExA(k, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1));
            ::RegCloseKey(k);
            char seen[1024] = {};
            LONG size = sizeof(seen);
            if (::RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), seen, &size) == ERROR_SUCCESS &&
                value == seen)
                return;
        }
        FAIL() << "HKCR does not show " << key;
    }

    void AssociationSet(const std::string& iconEntry) {
        ClassDefaultSet(".ovtdoc", "Orvanta.TestDoc");
        ClassDefaultSet("Orvanta.TestDoc\\DefaultIcon", iconEntry);
    }

    std::string Document() {
        const std::string doc = temp / "memo.ovtdoc";
        EXPECT_TRUE(FileWrite(doc, "plain text"));
        return doc;
    }

    TComInit com;
    TTempFolder temp;
    TUniqueIcon small_, large;
};

TEST_F(Icons, ProgramsAndShortcutsToThemShowTheProgramsIcon) {
    const TIconImages own = ImagesOf(ExePath(), 0);
    ASSERT_FALSE(own.large.empty());
    ASSERT_TRUE(LinkCreate(temp / "prog.lnk", ExePath(), "--flag"));

    for (const std::string& path : {ExePath(), temp / "prog.lnk"}) {
        SCOPED_TRACE(path);
        FileIconsGet(path, small_, large);
        EXPECT_EQ(IconPixels(large.Get()), own.large);
        EXPECT_EQ(IconPixels(small_.Get()), own.small_);
    }
}

TEST_F(Icons, DocumentTakesTheAssociationsIconEntry) {
    const std::string shell32 = "C:\\windows\\system32\\shell32.dll";
    const std::pair<std::string, TIconImages> cases[] = {
        {ExePath() + ",0", ImagesOf(ExePath(), 0)},
        {ExePath() + ", 0 \t", ImagesOf(ExePath(), 0)},
        {shell32 + ",3", ImagesOf(shell32, 3)},
    };
    const std::string doc = Document();
    for (const auto& [entry, images] : cases) {
        SCOPED_TRACE(entry);
        ASSERT_FALSE(images.large.empty());
        AssociationSet(entry);
        small_.Reset(::CopyIcon(::LoadIconA(nullptr, IDI_ERROR)));
        FileIconsGet(doc, small_, large);
        EXPECT_EQ(IconPixels(large.Get()), images.large);
        EXPECT_EQ(IconPixels(small_.Get()), images.small_);
    }
    EXPECT_NE(ImagesOf(ExePath(), 0).large, ImagesOf(shell32, 3).large);
}

TEST_F(Icons, DocumentsWithoutAnIconEntryStillGetOne) {
    const std::string doc = Document();
    const TIconImages exe = ImagesOf(ExePath(), 0);
    for (const char* entry : {"%1", ",0", "C:\\missing\\nothing.dll,0"}) {
        SCOPED_TRACE(entry);
        AssociationSet(entry);
        FileIconsGet(doc, small_, large);
        EXPECT_TRUE(large);
        EXPECT_TRUE(small_);
        EXPECT_NE(IconPixels(large.Get()), exe.large);
    }
    TearDown();
    FileIconsGet(doc, small_, large);
    EXPECT_TRUE(large);
    EXPECT_TRUE(small_);
}

// The cache gives every file what FileIconsGet gives it, and shares only the icon the type's own
// association entry names: never a program's, a shortcut target's or a "%1" type's own icon,
// never what the shell answers for one file of a type without an icon entry (a folder with an
// icon of its own, a shortcut to a shell item, an internet shortcut), never a folder's with a
// document's, never an existing document's with a missing one's.
TEST_F(Icons, CacheSharesOnlyIconsThatComeFromTheType) {
    const std::string shell32 = "C:\\windows\\system32\\shell32.dll";
    AssociationSet(shell32 + ",3");
    const std::string doc = Document(), doc2 = temp / "other.OVTDOC";
    ASSERT_TRUE(FileWrite(doc2, "x"));
    ASSERT_TRUE(::CreateDirectoryA((temp / "dir.ovtdoc").c_str(), nullptr));
    ASSERT_TRUE(LinkCreate(temp / "prog.lnk", ExePath(), ""));
    ASSERT_TRUE(LinkCreate(temp / "doc.lnk", doc, ""));
    // A shortcut stands for its target's short path, whose 8.3 name may cut the extension short:
    // then no entry names the type's icon and the shell answers for the file.
    char shortDoc[MAX_PATH + 1] = {};
    ::GetShortPathNameA(doc.c_str(), shortDoc, MAX_PATH);
    const bool shortKeepsType = PathExtensionKey(shortDoc) == PathExtensionKey(doc);
    ASSERT_TRUE(LinkCreate(temp / "gone.lnk", temp / "gone.ovtdoc", ""));
    ASSERT_TRUE(::CreateDirectoryA((temp / "plain").c_str(), nullptr));
    FolderWithIconCreate(temp / "own1", ExePath(), 0);
    FolderWithIconCreate(temp / "own2", shell32, 3);
    ASSERT_TRUE(ShellItemLinkCreate(temp / "computer.lnk"));
    std::string computerTarget, arguments;
    LinkResolve(temp / "computer.lnk", computerTarget, arguments);
    EXPECT_EQ(computerTarget, "") << "no file stands for the computer";
    for (const auto& [name, index] : {std::pair{"a.url", 3}, std::pair{"b.url", 0}})
        ASSERT_TRUE(FileWrite(temp / name, "[InternetShortcut]\r\nURL=http://example.com/\r\n"
                                           "IconFile=" +
                                               (index ? shell32 : ExePath()) +
                                               "\r\nIconIndex=" + std::to_string(index) + "\r\n"));
    // An internet shortcut's type names an icon of its own on Windows, none that Wine can read.
    const std::string urlEntry = RegStrRead(
        HKEY_CLASSES_ROOT, RegStrRead(HKEY_CLASSES_ROOT, ".url", "") + "\\DefaultIcon", "");
    std::string urlIconFile;
    int urlIndex = 0;
    const bool urlTyped = IconEntryParse(urlEntry, urlIconFile, urlIndex) &&
                          !ImagesOf(urlIconFile, urlIndex).large.empty();
    struct TCase {
        std::string path;
        bool shared;
    };
    const TCase cases[] = {{doc, true},
                           {ExePath(), false},
                           {shell32, false},
                           {temp / "prog.lnk", false},
                           {doc2, true},
                           {temp / "doc.lnk", shortKeepsType},
                           {temp / "gone.lnk", false},
                           {temp / "dir.ovtdoc", true},
                           {temp / "plain", false},
                           {temp / "own1", false},
                           {temp / "own2", false},
                           {temp / "computer.lnk", false},
                           {temp / "a.url", urlTyped},
                           {temp / "b.url", urlTyped}};
    TFileIconCache cache;
    std::vector<const TIconPair*> seen;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.path);
        TIconPair own;
        const TIconPair* shared = cache.Get(c.path, own);
        EXPECT_EQ(shared != nullptr, c.shared);
        const TIconPair& got = shared ? *shared : own;
        FileIconsGet(c.path, small_, large);
        EXPECT_EQ(IconPixels(got.large.Get()), IconPixels(large.Get()));
        EXPECT_EQ(IconPixels(got.small.Get()), IconPixels(small_.Get()));
        seen.push_back(shared);
    }
    EXPECT_EQ(seen[0], seen[4]) << "one entry per type, letter case aside";
    EXPECT_NE(seen[0], seen[7]) << "a folder is no document";

    AssociationSet("%1");
    TFileIconCache perFile;
    TIconPair own;
    EXPECT_EQ(perFile.Get(doc, own), nullptr);
    EXPECT_EQ(perFile.Get(doc2, own), nullptr);
}

TEST_F(Icons, ErrorsEndTheLookup) {
    AssociationSet(ExePath() + ",zwei");
    try {
        FileIconsGet(Document(), small_, large);
        ADD_FAILURE() << "no error raised";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'zwei' は整数ではありません");
    }

    const std::string damaged = temp / "damaged.lnk";
    ASSERT_TRUE(FileWrite(damaged, std::string(64, '\x7f')));
    EXPECT_THROW(FileIconsGet(damaged, small_, large), EOleError);
}

} // namespace
