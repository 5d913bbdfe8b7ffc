// Icons of programs, shortcuts and document types, and the parsing of association icon entries.
#include "uCmnError.h"
#include "uCmnFile.h"
#include "uCmnIcon.h"
#include "uCmnReg.h"
#include "uTestFiles.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <thread>

namespace {

TEST(IconEntry, SplitsFileAndIndex) {
    struct TCase {
        const wchar_t* entry;
        const wchar_t* file;
        int index;
    };
    const TCase cases[] = {
        {L"C:\\app.exe,3", L"C:\\app.exe", 3},
        {L"shell32.dll,-201", L"shell32.dll", -201},
        {L"\"C:\\a b\\x.dll\" , \t+7 \r\n", L"\"C:\\a b\\x.dll\" ", 7},
        {L"%SystemRoot%\\x.dll,0", L"%SystemRoot%\\x.dll", 0},
        {L"x.dll,2147483647", L"x.dll", 2147483647},
        {L"x.dll,-2147483648", L"x.dll", INT32_MIN},
    };
    for (const TCase& c : cases) {
        std::wstring file;
        int index = 12345;
        EXPECT_TRUE(IconEntryParse(c.entry, file, index)) << c.entry;
        EXPECT_EQ(file, c.file);
        EXPECT_EQ(index, c.index) << c.entry;
    }
    for (const wchar_t* none : {L"", L"%1", L",3", L"C:\\app.exe"}) {
        std::wstring file;
        int index = 0;
        EXPECT_FALSE(IconEntryParse(none, file, index)) << none;
    }
}

TEST(IconEntry, MalformedIndexRaisesWithTheTrimmedText) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"x.dll,abc", L"'abc' は整数ではありません"},
        {L"x.dll, 1x ", L"'1x' は整数ではありません"},
        {L"x.dll,", L"'' は整数ではありません"},
        {L"x.dll,-", L"'-' は整数ではありません"},
        {L"x.dll,1,2", L"'1,2' は整数ではありません"},
        {L"x.dll,0x10", L"'0x10' は整数ではありません"},
        {L"x.dll,2147483648", L"'2147483648' は整数ではありません"},
        {L"x.dll,-2147483649", L"'-2147483649' は整数ではありません"},
    };
    for (const auto& [entry, text] : cases) {
        std::wstring file = L"untouched";
        int index = 0;
        try {
            IconEntryParse(entry, file, index);
            ADD_FAILURE() << entry << L": no error";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), text);
        }
    }
}

std::wstring ExePath() {
    wchar_t path[MAX_PATH + 1] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// The images ExtractIconExA gives for one icon of a file.
struct TIconImages {
    std::vector<uint32_t> large, small_;
};

// FileIconsGet on a thread of its own that never started COM: the shell's calls start it.
TIconImages ImagesOnAThreadWithoutCom(const std::wstring& path) {
    TIconImages images;
    std::thread([&] {
        try {
            TUniqueIcon small_, large;
            FileIconsGet(path, small_, large);
            images = {IconPixels(large.Get()), IconPixels(small_.Get())};
        } catch (const std::exception&) {
        }
    }).join();
    return images;
}

TIconImages ImagesOf(const std::wstring& file, int index) {
    HICON lg = nullptr, sm = nullptr;
    TIconImages images;
    if (::ExtractIconExW(file.c_str(), index, &lg, &sm, 1) > 0) {
        TUniqueIcon l(lg), s(sm);
        images.large = IconPixels(l.Get());
        images.small_ = IconPixels(s.Get());
    }
    return images;
}

// A shortcut to the computer itself: a shell item, no file.
bool ShellItemLinkCreate(const std::wstring& link) {
    TComPtr<IShellLinkW> shellLink;
    LPITEMIDLIST computer = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  shellLink.PutVoid())) ||
        FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer)))
        return false;
    const HRESULT set = shellLink->SetIDList(computer);
    ::CoTaskMemFree(computer);
    TComPtr<IPersistFile> file;
    if (FAILED(set) || FAILED(shellLink->QueryInterface(IID_IPersistFile, file.PutVoid())))
        return false;
    return SUCCEEDED(file->Save(link.c_str(), TRUE));
}

// A folder whose desktop.ini names an icon of its own, marked as the shell wants to honour it.
void FolderWithIconCreate(const std::wstring& folder, const std::wstring& iconFile, int index) {
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring ini = folder + L"\\desktop.ini";
    const std::string file = Utf8Of(iconFile), at = std::to_string(index);
    ASSERT_TRUE(FileWrite(ini, "[.ShellClassInfo]\r\nIconResource=" + file + "," + at +
                                   "\r\nIconFile=" + file + "\r\nIconIndex=" + at + "\r\n"));
    ::SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_SYSTEM);
}

// A document type ".ovtdoc" of the class "Orvanta.TestDoc". Windows merges the user's
// HKCU\Software\Classes into HKCR; Wine 8 does not, so there the keys go to the machine's
// classes as well.
class Icons : public ::testing::Test {
  protected:
    void TearDown() override {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            ::RegDeleteTreeW(root, L"Software\\Classes\\.ovtdoc");
            ::RegDeleteTreeW(root, L"Software\\Classes\\Orvanta.TestDoc");
        }
    }

    static void ClassDefaultSet(const std::wstring& key, const std::wstring& value) {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            HKEY k = nullptr;
            if (::RegCreateKeyExW(root, (L"Software\\Classes\\" + key).c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &k, nullptr) != ERROR_SUCCESS)
                continue;
            ::RegSetValueExW(k, L"", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
            ::RegCloseKey(k);
            wchar_t seen[1024] = {};
            LONG size = sizeof(seen);
            if (::RegQueryValueW(HKEY_CLASSES_ROOT, key.c_str(), seen, &size) == ERROR_SUCCESS &&
                value == seen)
                return;
        }
        FAIL() << L"HKCR does not show " << key;
    }

    void AssociationSet(const std::wstring& iconEntry) {
        ClassDefaultSet(L".ovtdoc", L"Orvanta.TestDoc");
        ClassDefaultSet(L"Orvanta.TestDoc\\DefaultIcon", iconEntry);
    }

    std::wstring Document() {
        const std::wstring doc = temp / L"memo.ovtdoc";
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
    ASSERT_TRUE(LinkCreate(temp / L"prog.lnk", ExePath(), L"--flag"));

    for (const std::wstring& path : {ExePath(), temp / L"prog.lnk"}) {
        SCOPED_TRACE(path);
        FileIconsGet(path, small_, large);
        EXPECT_EQ(IconPixels(large.Get()), own.large);
        EXPECT_EQ(IconPixels(small_.Get()), own.small_);
    }
}

TEST_F(Icons, DocumentTakesTheAssociationsIconEntry) {
    const std::wstring shell32 = L"C:\\windows\\system32\\shell32.dll";
    const std::pair<std::wstring, TIconImages> cases[] = {
        {ExePath() + L",0", ImagesOf(ExePath(), 0)},
        {ExePath() + L", 0 \t", ImagesOf(ExePath(), 0)},
        {shell32 + L",3", ImagesOf(shell32, 3)},
    };
    const std::wstring doc = Document();
    for (const auto& [entry, images] : cases) {
        SCOPED_TRACE(entry);
        ASSERT_FALSE(images.large.empty());
        AssociationSet(entry);
        small_.Reset(::CopyIcon(::LoadIconW(nullptr, IDI_ERROR)));
        FileIconsGet(doc, small_, large);
        EXPECT_EQ(IconPixels(large.Get()), images.large);
        EXPECT_EQ(IconPixels(small_.Get()), images.small_);
    }
    EXPECT_NE(ImagesOf(ExePath(), 0).large, ImagesOf(shell32, 3).large);
}

TEST_F(Icons, DocumentsWithoutAnIconEntryStillGetOne) {
    const std::wstring doc = Document();
    const TIconImages exe = ImagesOf(ExePath(), 0);
    for (const wchar_t* entry : {L"%1", L",0", L"C:\\missing\\nothing.dll,0"}) {
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

// The cache gives every file what FileIconsGet gives it, and shares an image among the files whose
// icon comes from one place (the file and index of a type's association entry, or the shell's
// icon location for the file): never a program's own icon, a shortcut target's, or a missing
// file's.
TEST_F(Icons, CacheGivesEachFileItsIconAndSharesThoseOfOneLocation) {
    const std::wstring shell32 = L"C:\\windows\\system32\\shell32.dll";
    AssociationSet(shell32 + L",3");
    const std::wstring doc = Document(), doc2 = temp / L"other.OVTDOC";
    ASSERT_TRUE(FileWrite(doc2, "x"));
    ASSERT_TRUE(::CreateDirectoryW((temp / L"dir.ovtdoc").c_str(), nullptr));
    ASSERT_TRUE(LinkCreate(temp / L"prog.lnk", ExePath(), L""));
    ASSERT_TRUE(LinkCreate(temp / L"doc.lnk", doc, L""));
    ASSERT_TRUE(LinkCreate(temp / L"gone.lnk", temp / L"gone.ovtdoc", L""));
    ASSERT_TRUE(::CreateDirectoryW((temp / L"plain").c_str(), nullptr));
    FolderWithIconCreate(temp / L"own1", ExePath(), 0);
    FolderWithIconCreate(temp / L"own2", shell32, 3);
    ASSERT_TRUE(ShellItemLinkCreate(temp / L"computer.lnk"));
    std::wstring computerTarget, arguments;
    LinkResolve(temp / L"computer.lnk", computerTarget, arguments);
    EXPECT_EQ(computerTarget, L"") << L"no file stands for the computer";
    for (const auto& [name, index] : {std::pair{L"a.url", 3}, std::pair{L"b.url", 0}})
        ASSERT_TRUE(FileWrite(temp / name, "[InternetShortcut]\r\nURL=http://example.com/\r\n"
                                           "IconFile=" +
                                               Utf8Of(index ? shell32 : ExePath()) +
                                               "\r\nIconIndex=" + std::to_string(index) + "\r\n"));
    struct TCase {
        std::wstring path;
        // Icons of the file's own, or a missing file's: never shared.
        bool own;
    };
    const TCase cases[] = {{doc, false},
                           {ExePath(), true},
                           {shell32, true},
                           {temp / L"prog.lnk", true},
                           {doc2, false},
                           {temp / L"doc.lnk", false},
                           {temp / L"gone.lnk", true},
                           {temp / L"dir.ovtdoc", false},
                           {temp / L"plain", false},
                           {temp / L"own1", false},
                           {temp / L"own2", false},
                           {temp / L"computer.lnk", false},
                           {temp / L"a.url", false},
                           {temp / L"b.url", false}};
    TFileIconCache cache;
    std::vector<const TIconPair*> seen;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.path);
        TIconPair own;
        const TIconPair* shared = cache.Get(c.path, own);
        if (c.own) {
            EXPECT_EQ(shared, nullptr);
        }
        const TIconPair& got = shared ? *shared : own;
        FileIconsGet(c.path, small_, large);
        EXPECT_EQ(IconPixels(got.large.Get()), IconPixels(large.Get()));
        EXPECT_EQ(IconPixels(got.small.Get()), IconPixels(small_.Get()));
        EXPECT_EQ(ImagesOnAThreadWithoutCom(c.path).large, IconPixels(large.Get()));
        seen.push_back(shared);
    }
    EXPECT_NE(seen[0], nullptr);
    EXPECT_EQ(seen[0], seen[4]) << L"one entry per type, letter case aside";
    EXPECT_NE(seen[8], seen[9]) << L"a folder with an icon of its own is no plain folder";

    // Entries naming one file at two indexes are two places.
    TFileIconCache fresh;
    TIconPair own;
    const TIconPair* third = fresh.Get(doc, own);
    AssociationSet(shell32 + L",4");
    const TIconPair* fourth = fresh.Get(temp / L"dir.ovtdoc", own);
    ASSERT_TRUE(third && fourth);
    EXPECT_NE(third, fourth);
    EXPECT_EQ(IconPixels(fourth->large.Get()), ImagesOf(shell32, 4).large);
    EXPECT_NE(ImagesOf(shell32, 4).large, ImagesOf(shell32, 3).large);

    // A type whose entry draws each file's own icon: nothing to share, nothing kept.
    AssociationSet(L"%1");
    TFileIconCache perFile;
    EXPECT_EQ(perFile.Get(doc, own), nullptr);
    EXPECT_EQ(perFile.Get(doc2, own), nullptr);
}

// Documents of a type without an icon entry share one image wherever the shell gives them one
// icon location; a program beside them keeps its own icon.
TEST_F(Icons, DocumentsOfOneShellIconLocationShareOneImage) {
    const std::wstring doc = Document(), doc2 = temp / L"other.ovtdoc";
    ASSERT_TRUE(FileWrite(doc2, "x"));
    auto location = [](const std::wstring& path) {
        SHFILEINFOW info{};
        ::SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_ICONLOCATION);
        return std::wstring(info.szDisplayName) + L"," + std::to_wstring(info.iIcon);
    };
    ASSERT_EQ(location(doc), location(doc2));
    TFileIconCache cache;
    TIconPair own;
    const TIconPair* shared = cache.Get(doc, own);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(cache.Get(doc2, own), shared);
    FileIconsGet(doc2, small_, large);
    EXPECT_EQ(IconPixels(shared->large.Get()), IconPixels(large.Get()));
    EXPECT_EQ(cache.Get(ExePath(), own), nullptr);
    EXPECT_EQ(IconPixels(own.large.Get()), ImagesOf(ExePath(), 0).large);
}

TEST_F(Icons, ErrorsEndTheLookup) {
    AssociationSet(ExePath() + L",zwei");
    try {
        FileIconsGet(Document(), small_, large);
        ADD_FAILURE() << L"no error raised";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), L"'zwei' は整数ではありません");
    }

    const std::wstring damaged = temp / L"damaged.lnk";
    ASSERT_TRUE(FileWrite(damaged, std::string(64, '\x7f')));
    EXPECT_THROW(FileIconsGet(damaged, small_, large), EOleError);
}

} // namespace
