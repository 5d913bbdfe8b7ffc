// Backup and restore: a tree exported and imported in its place is the tree it was; reg.exe's
// export of the tree reads as the same pages; pages appended keep the settings; every bad file is
// refused, saying what and where, and changes nothing.
#include "uCmnHandle.h"
#include "uCmnReg.h"
#include "uOvBackup.h"
#include "uOvCfg.h"
#include "uOvPages.h"
#include "uOvReg.h"
#include "uOvRegDef.h"
#include "uTestFiles.h"
#include "uTestRegStores.h"
#include "uTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

const HKEY Cu = HKEY_CURRENT_USER;

// Pages of every kind: named, a folder page, names in every script and of every awkward shape.
void TreeMake() {
    ConfigTreeCreate();
    std::wstring stored;
    PageNameSet(1, 1, L"仕事 \"&\" 😀", stored);
    for (const wchar_t* path : {L"C:\\文書\\報告書.doc", L"\\\\サーバー\\共有\\한국어.txt",
                                L"C:\\a\\quote\"back\\slash.txt", L"D:\\Ærø\\x.lnk"})
        ItemAdd(1, path);
    PageCreate(2, L"C:\\フォルダ");
    ItemAdd(2, L"C:\\フォルダ\\m.txt");
    PageCreate(3, L"");
    RegStrWrite(Cu, PageKeyPath(3), L"renamed  with blanks ", L"C:\\x\\y.txt");
}

std::vector<BYTE> FileBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Backup : public ::testing::Test {
  protected:
    void SetUp() override { RegKeyDelete(Cu, OvKeyProduct); }
    void TearDown() override { RegKeyDelete(Cu, OvKeyProduct); }
    TTempFolder dir;
};

} // namespace

TEST_F(Backup, AnExportedTreeImportedInItsPlaceIsTheTreeItWasAndRegExeReadsAlike) {
    TreeMake();
    const std::wstring tree = StoreTreeDump(Cu, OvKeyProduct);
    const std::vector<BYTE> file = ExportBytes();
    const TImport import = ImportRead(file);
    EXPECT_EQ(import.pages.size(), 3u);
    EXPECT_EQ(import.items, 6u);
    EXPECT_EQ(import.pages[0].name, L"仕事 \"&\" 😀");
    EXPECT_EQ(import.pages[1].folder, L"C:\\フォルダ");

    // reg.exe's own export of the same tree reads as the same file.
    ASSERT_TRUE(RegExeRun(L"export HKCU\\Software\\Velmora\\Orvanta \"" + (dir / L"theirs.reg") +
                          L"\" /y"));
    const TImport theirs = ImportRead(FileBytes(dir / L"theirs.reg"));
    ASSERT_EQ(theirs.pages.size(), import.pages.size());
    for (size_t i = 0; i < theirs.pages.size(); ++i) {
        auto sorted = [](std::vector<std::pair<std::wstring, std::wstring>> items) {
            std::sort(items.begin(), items.end());
            return items;
        };
        EXPECT_EQ(theirs.pages[i].name, import.pages[i].name);
        EXPECT_EQ(theirs.pages[i].folder, import.pages[i].folder);
        EXPECT_EQ(sorted(theirs.pages[i].items), sorted(import.pages[i].items));
    }
    EXPECT_EQ(theirs.settings, import.settings);

    // Changed every way, then put back.
    PageRemove(1, 3);
    RegIntWrite(Cu, OvKeyOption, OvValToolBarPos, 3);
    RegKeyCreate(Cu, std::wstring(OvKeyProduct) + L"\\Stray");
    ImportReplace(import);
    EXPECT_EQ(StoreTreeDump(Cu, OvKeyProduct), tree);
    EXPECT_FALSE(RegKeyExists(Cu, L"\\Software\\Velmora\\Orvanta.import"));
}

TEST_F(Backup, PagesAppendedComeAfterTheOnesThereAndTheSettingsStay) {
    TreeMake();
    const TImport import = ImportRead(ExportBytes());
    RegKeyDelete(Cu, OvKeyProduct);
    ConfigTreeCreate();
    RegIntWrite(Cu, OvKeyOption, OvValToolBarPos, 2);
    std::wstring stored;
    PageNameSet(1, 1, L"仕事 \"&\" 😀", stored);
    const std::wstring options = StoreTreeDump(Cu, OvKeyOption);
    EXPECT_EQ(ImportAppend(import), 3);
    EXPECT_EQ(PageCount(), 4);
    EXPECT_EQ(PageNameRead(1), L"仕事 \"&\" 😀");
    EXPECT_EQ(PageNameRead(2), L"仕事 \"&\" 😀 (2)") << "a name taken gets a number";
    EXPECT_EQ(PageFolderRead(3), L"C:\\フォルダ");
    EXPECT_EQ(ItemPathRead(4, L"renamed  with blanks "), L"C:\\x\\y.txt");
    EXPECT_EQ(PageItemCount(2), 4);
    EXPECT_EQ(StoreTreeDump(Cu, OvKeyOption), options);
}

// Every bad file: the fault and its line, and nothing of it read.
TEST(BackupDamage, EveryBadFileIsRefusedWithWhatAndWhere) {
    const std::wstring head = L"Windows Registry Editor Version 5.00\r\n\r\n";
    const std::wstring product = L"[HKEY_CURRENT_USER\\Software\\Velmora\\Orvanta";
    const struct {
        std::wstring text;
        size_t line;
        const wchar_t* says;
    } cases[] = {
        {head + L"[HKEY_CURRENT_USER\\Software\\Other]\r\n\"a\"=\"b\"\r\n", 3, L"外のキー"},
        {head + L"[HKEY_LOCAL_MACHINE\\Software\\Velmora\\Orvanta]\r\n", 3, L"外のキー"},
        {head + product + L"\\Data\\1]\r\n@=\"\"\r\n" + product + L"\\Data\\3]\r\n@=\"\"\r\n", 5,
         L"ページ 2 がありません"},
        {head + product + L"\\Data\\1]\r\n\"item\"=dword:00000001\r\n", 3, L"文字列ではありません"},
        {head + product + L"\\Data\\1\\Page]\r\n\"Name\"=\"" + std::wstring(65, L'名') + L"\"\r\n",
         3, L"64 文字"},
        {head + product + L"\\Option]\r\n\"HookKeyNo\"=\"119\"\r\n", 3, L"HookKeyNo"},
        {head + product + L"\\Config]\r\n\"OpenFileDir\"=dword:00000000\r\n", 3, L"OpenFileDir"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8Of(c.text));
        try {
            ImportRead(RegFileBytes(c.text));
            ADD_FAILURE() << "read without a fault";
        } catch (const ERegFileError& e) {
            EXPECT_EQ(e.Line(), c.line);
            EXPECT_NE(ErrorMessageOf(e).find(c.says), std::wstring::npos)
                << Utf8Of(ErrorMessageOf(e));
        }
    }
    // Settings the program does not know, and keys it does not know, are taken as they are.
    const TImport fine = ImportRead(RegFileBytes(
        head + product + L"]\r\n" + product + L"\\Future]\r\n\"x\"=hex:01\r\n" + product +
        L"\\Option]\r\n\"NewOption\"=dword:00000001\r\n\"HookKey\"=dword:00000001\r\n"));
    EXPECT_EQ(fine.keys.size(), 3u);
    EXPECT_EQ(fine.settings, 1u);
}
