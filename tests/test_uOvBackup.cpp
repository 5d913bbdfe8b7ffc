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
#include "uTestRandomTree.h"
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
    void SetUp() override { ProgramStateRemove(); }
    void TearDown() override { ProgramStateRemove(); }
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
        auto sorted = [](std::vector<TRegDataValue> values) {
            std::sort(values.begin(), values.end(),
                      [](const auto& a, const auto& b) { return a.name < b.name; });
            return values;
        };
        EXPECT_EQ(theirs.pages[i].name, import.pages[i].name);
        EXPECT_EQ(theirs.pages[i].folder, import.pages[i].folder);
        EXPECT_EQ(sorted(theirs.pages[i].values), sorted(import.pages[i].values));
        EXPECT_EQ(theirs.pages[i].items, import.pages[i].items);
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
    EXPECT_FALSE(RegValueExists(Cu, L"\\Software\\Velmora", L"OrvantaImport"))
        << "the next start keeps the pages appended";
    ImportFinish();
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
        {head + L"[HKEY_CURRENT_USER\\Software\\Velmora\\Orvanta2]\r\n", 3, L"外のキー"},
        {head + L"[HKEY_CURRENT_USER\\Software\\Velmora\\Orvanta.import]\r\n", 3, L"外のキー"},
        {head + product + L"\\Data\\1]\r\n@=\"\"\r\n" + product + L"\\Data\\3]\r\n@=\"\"\r\n", 5,
         L"ページ 2 がありません"},
        {head + product + L"\\Data\\1]\r\n@=dword:00000001\r\n", 3,
         L"フォルダーが文字列ではありません"},
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
    // A zero in a name (escaped or raw) would be written as another name: the folder's, for an
    // item named "\0". A name or path quoted in a box is cut short: the box stays a box.
    for (const std::wstring& text :
         {head + product + L"\\Data\\1]\r\n\"\\0\"=\"C:\\\\x\"\r\n",
          head + product + L"\\Data\\1]\r\n\"a" + std::wstring(1, L'\0') + L"b\"=\"x\"\r\n",
          head + product + L"\\Data\\1\\x" + std::wstring(1, L'\0') + L"]\r\n"}) {
        try {
            ImportRead(RegFileBytes(text));
            ADD_FAILURE() << "a name with a zero read";
        } catch (const ERegFileError& e) {
            EXPECT_NE(ErrorMessageOf(e).find(L"NUL"), std::wstring::npos)
                << Utf8Of(ErrorMessageOf(e));
        }
    }
    try {
        ImportRead(
            RegFileBytes(head + L"[HKEY_CURRENT_USER\\" + std::wstring(200000, L'x') + L"]\r\n"));
        ADD_FAILURE() << "a foreign key read";
    } catch (const ERegFileError& e) {
        EXPECT_LT(ErrorMessageOf(e).size(), 300u);
    }

    // 64 characters beyond the basic plane (128 code units) are a name that fits.
    std::wstring faces;
    for (int k = 0; k < 64; ++k)
        faces += L"😀";
    EXPECT_EQ(ImportRead(RegFileBytes(head + product + L"\\Data\\1\\Page]\r\n\"Name\"=\"" + faces +
                                      L"\"\r\n"))
                  .pages[0]
                  .name,
              faces);

    // A page's values of other types are kept, and counted as items as the store counts them: a
    // text of either string type, or no data at all.
    const TImport kept = ImportRead(
        RegFileBytes(head + product +
                     L"\\Data\\1]\r\n@=\"\"\r\n\"a\"=hex(2):41,00,00,00\r\n\"b\"=dword:00000001\r\n"
                     L"\"c\"=hex:\r\n\"d\"=\"x\"\r\n"));
    ASSERT_EQ(kept.pages.size(), 1u);
    EXPECT_EQ(kept.pages[0].values.size(), 4u);
    EXPECT_EQ(kept.items, 3u);

    // Settings the program does not know, and keys it does not know, are taken as they are.
    const TImport fine = ImportRead(RegFileBytes(
        head + product + L"]\r\n" + product + L"\\Future]\r\n\"x\"=hex:01\r\n" + product +
        L"\\Option]\r\n\"NewOption\"=dword:00000001\r\n\"HookKey\"=dword:00000001\r\n"));
    EXPECT_EQ(fine.keys.size(), 3u);
    EXPECT_EQ(fine.settings, 1u);
}

// Random trees of pages as users and other programs leave them: items named with every awkward
// character (quotes, backslashes, brackets, line breaks, pairs of surrogates, names of 16,383
// characters), values of other types beside them (a REG_EXPAND_SZ path, another program's data),
// named pages, folder pages and keys below pages. The program's own export is taken back by its
// own import, whole; reg.exe's import of the same file gives the same tree.
TEST_F(Backup, RandomTreesExportedComeBackWholeHereAndInRegExe) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RegKeyDelete(Cu, OvKeyProduct);
        ConfigTreeCreate();
        TRandomTree random(seed);
        const int32_t pages = 1 + static_cast<int32_t>(random.Below(4));
        for (int32_t page = 1; page <= pages; ++page) {
            PageCreate(page, random.Below(3) ? L"" : L"C:\\" + random.Name(20, false));
            std::vector<TRegDataValue> values = random.Values();
            std::erase_if(values, [](const TRegDataValue& v) { return v.name.empty(); });
            RegDataValuesWrite(Cu, PageKeyPath(page), values);
            if (random.Below(2)) {
                std::wstring stored;
                PageNameSet(page, pages, random.Name(30, false), stored);
            }
            if (random.Below(3) == 0)
                RegDataValuesWrite(Cu, PageKeyPath(page) + L"\\" + random.Name(10, false),
                                   random.Values());
        }
        const std::wstring tree = StoreTreeDump(Cu, OvKeyProduct);
        const std::vector<BYTE> file = ExportBytes();
        TImport import;
        ASSERT_NO_THROW(import = ImportRead(file));
        EXPECT_EQ(import.pages.size(), static_cast<size_t>(pages));

        RegKeyDelete(Cu, OvKeyProduct);
        ImportReplace(import);
        EXPECT_EQ(StoreTreeDump(Cu, OvKeyProduct), tree) << "this program's import";

        // reg.exe, of what it copies whole.
        for (const TRegFileKey& key : RegTreeCollect(Cu, OvKeyProduct, L""))
            for (const TRegDataValue& v : key.values)
                if (!RegExeCopiesWhole(v))
                    RegValueDelete(Cu, key.path, v.name);
        const std::wstring copiable = StoreTreeDump(Cu, OvKeyProduct);
        const std::vector<BYTE> copied = ExportBytes();
        RegKeyDelete(Cu, OvKeyProduct);
        ASSERT_TRUE(FileWrite(dir / L"tree.reg", std::string(copied.begin(), copied.end())));
        ASSERT_TRUE(RegExeRun(L"import \"" + (dir / L"tree.reg") + L"\""));
        EXPECT_EQ(StoreTreeDump(Cu, OvKeyProduct), copiable) << "reg.exe's import";
    }
}

// Trees the program could not run with are made whole: a file without the settings gets every
// default (each start read 'SelPage' and failed); a journal whose staging tree is gone leaves the
// tree as it is (each start deleted it); an appended page whose name of 64 characters is taken
// gets a numbered name that fits, not none.
TEST_F(Backup, ImportsLeaveATreeTheProgramRunsWith) {
    const std::wstring head = L"Windows Registry Editor Version 5.00\r\n\r\n";
    const std::wstring product = L"[HKEY_CURRENT_USER\\Software\\Velmora\\Orvanta";
    ConfigTreeCreate();
    ImportReplace(ImportRead(
        RegFileBytes(head + product + L"\\Data\\1]\r\n@=\"\"\r\n\"a.txt\"=\"C:\\\\a.txt\"\r\n")));
    EXPECT_EQ(RegIntRead(Cu, OvKeyConfig, OvValSelPage), OvDefSelPage);
    EXPECT_EQ(RegIntRead(Cu, OvKeyOption, OvValHookKeyNo), OvDefHookKeyNo);
    EXPECT_FALSE(RegValueExists(Cu, OvKeyProduct, OvValFirstRun));
    EXPECT_EQ(ItemPathRead(1, L"a.txt"), L"C:\\a.txt");

    const std::wstring tree = StoreTreeDump(Cu, OvKeyProduct);
    for (const wchar_t* phase : {L"2", L"3"}) {
        RegStrWrite(Cu, L"\\Software\\Velmora", L"OrvantaImport", phase);
        ImportFinish();
        EXPECT_EQ(StoreTreeDump(Cu, OvKeyProduct), tree) << phase;
        EXPECT_FALSE(RegValueExists(Cu, L"\\Software\\Velmora", L"OrvantaImport"));
    }

    const std::wstring longest(64, L'名');
    std::wstring stored;
    ASSERT_EQ(PageNameSet(1, 1, longest, stored), TPageNameResult::Named);
    EXPECT_EQ(ImportAppend(ImportRead(ExportBytes())), 1);
    EXPECT_EQ(PageNameRead(2), std::wstring(60, L'名') + L" (2)");
    EXPECT_EQ(PageNameNumbered(L"😀" + std::wstring(62, L'x'), 2),
              L"😀" + std::wstring(59, L'x') + L" (2)")
        << "a pair of surrogates counts once and is never cut";
}

// An export that cannot read a key whole writes nothing: a part of the tree is no backup.
TEST(BackupExport, AKeyThatCannotBeReadStopsTheExport) {
    TFaultMemStore store;
    TRegStoreScope scope(store);
    ConfigTreeCreate();
    PageCreate(2, L"");
    ItemAdd(2, L"C:\\x.txt");
    store.refusedOpen = std::wstring(OvKeyPagePrefix).substr(1) + L"2";
    EXPECT_THROW(ExportBytes(), ERegError);
}
