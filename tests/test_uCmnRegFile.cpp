// The registry editor's file format against the platform's own reader and writer: files that
// reg.exe wrote read as the tree reg.exe imports from them, files this writer wrote import with
// reg.exe as the tree they came from, and every kind of damage named with its line.
#include "uCmnHandle.h"
#include "uCmnReg.h"
#include "uCmnRegFile.h"
#include "uCmnRegStore.h"
#include "uTestFiles.h"
#include "uTestRandomTree.h"
#include "uTestRegStores.h"
#include "uTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <fstream>
#include <iterator>

namespace {

const HKEY Cu = HKEY_CURRENT_USER;
const wchar_t* const Scratch = L"\\Software\\Velmora\\OvRegFileTest";
const wchar_t* const CuName = L"HKEY_CURRENT_USER";

std::vector<BYTE> FileBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void BytesWrite(const std::wstring& path, const std::vector<BYTE>& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

TRegFileValue Str(const std::wstring& name, const std::wstring& text) {
    const auto* p = reinterpret_cast<const BYTE*>(text.c_str());
    return {name, REG_SZ, std::vector<BYTE>(p, p + (text.size() + 1) * 2)};
}

// A tree of every kind the launcher's store holds and some it never writes, in every script.
std::vector<TRegFileKey> Sample() {
    std::vector<BYTE> big(300);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<BYTE>(i * 7);
    const std::wstring key = std::wstring(CuName) + Scratch;
    return {
        {key,
         {Str(L"", L""), Str(L"Empty", L""), {L"Number", REG_DWORD, {0x78, 0x56, 0x34, 0x12}}}},
        {key + L"\\Data\\1",
         {Str(L"", L"C:\\フォルダ\\"),
          Str(L"表ソ \"quoted\" \\ back.txt", L"C:\\a\\表ソ.txt"),
          Str(L"😀 한국어 Ærø", L"\\\\サーバー\\共有\\x"),
          Str(L"two lines", std::wstring(L"first\r\nsecond")),
          {L"Binary", REG_BINARY, big},
          {L"Multi", REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}},
          {L"Expand", REG_EXPAND_SZ, {'%', 0, 'x', 0, '%', 0, 0, 0}}}},
        {key + L"\\Data\\1\\Page", {Str(L"Name", L"仕事")}},
    };
}

class RegFile : public ::testing::Test {
  protected:
    void SetUp() override { RegKeyDelete(Cu, Scratch); }
    void TearDown() override { RegKeyDelete(Cu, Scratch); }
    TTempFolder dir;
};

} // namespace

// This writer's file, imported by reg.exe, gives the tree it was written from; reg.exe's export
// of that tree reads back here as the same keys and values.
TEST_F(RegFile, WrittenHereImportsWithRegExeAndRegExesExportReadsBackTheSame) {
    const std::vector<TRegFileKey> sample = Sample();
    BytesWrite(dir / L"mine.reg", RegFileBytes(RegFileText(sample)));
    ASSERT_TRUE(RegExeRun(L"import \"" + (dir / L"mine.reg") + L"\""));
    const std::vector<TRegFileKey> imported = RegTreeCollect(Cu, Scratch, CuName);
    // The store's order of values may differ from the file's: compare each key's values sorted.
    auto sorted = [](std::vector<TRegFileKey> keys) {
        for (TRegFileKey& k : keys)
            std::sort(k.values.begin(), k.values.end(),
                      [](const auto& a, const auto& b) { return a.name < b.name; });
        std::sort(keys.begin(), keys.end(),
                  [](const auto& a, const auto& b) { return a.path < b.path; });
        return keys;
    };
    std::vector<TRegFileKey> expected = sample;
    expected.insert(expected.begin() + 1, {std::wstring(CuName) + Scratch + L"\\Data", {}});
    EXPECT_EQ(sorted(imported), sorted(expected));

    ASSERT_TRUE(RegExeRun(L"export \"HKCU" + std::wstring(Scratch) + L"\" \"" +
                          (dir / L"theirs.reg") + L"\" /y"));
    const std::vector<TRegFileKey> read =
        RegFileParse(RegFileDecode(FileBytes(dir / L"theirs.reg"), 1 << 20));
    EXPECT_EQ(sorted(read), sorted(expected));
}

// Each fault is named with its line, and nothing is returned.
TEST(RegFileDamage, EveryKindOfDamageIsNamedWithItsLine) {
    const std::wstring head =
        L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n";
    const struct {
        std::wstring text;
        size_t line;
    } cases[] = {
        {L"REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n", 1},
        {L"Windows Registry Editor Version 5.00\r\n\"a\"=\"b\"\r\n", 2},
        {head + L"[-HKEY_CURRENT_USER\\Y]\r\n", 4},
        {head + L"[HKEY_CURRENT_USER\\Y\r\n", 4},
        {head + L"\"a\"=-\r\n", 4},
        {head + L"\"a\"=\"x\\q\"\r\n", 4},
        {head + L"\"a\"=\"unclosed\r\n", 4},
        {head + L"\"a=\"b\"\r\n", 4},
        {head + L"\"a\"\"b\"\r\n", 4},
        {head + L"\"a\"=dword:123\r\n", 4},
        {head + L"\"a\"=dword:1234567g\r\n", 4},
        {head + L"\"a\"=hex:00,zz\r\n", 4},
        {head + L"\"a\"=hex(q):00\r\n", 4},
        {head + L"\"ok\"=\"1\"\r\n\"a\"=hex:00,01,\\\r\n  02,\r\n", 5},
        {head + L"\"a\"=something\r\n", 4},
        {head + L"\"\"=\"empty name\"\r\n", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8Of(c.text));
        try {
            RegFileParse(c.text);
            ADD_FAILURE() << "read without a fault";
        } catch (const ERegFileError& e) {
            EXPECT_EQ(e.Line(), c.line) << Utf8Of(ErrorMessageOf(e));
        }
    }
    // Not the editor's encoding, cut off, or too large: the whole file is refused.
    const std::vector<std::vector<BYTE>> files = {
        {'W', 'i', 'n'}, {0xEF, 0xBB, 0xBF, 'W'}, {0xFF, 0xFE, 'W', 0, 'i'}, {}};
    for (const auto& bytes : files)
        EXPECT_THROW(RegFileDecode(bytes, 1 << 20), ERegFileError);
    std::vector<BYTE> junk(10 << 20, 'x');
    junk[0] = 0xFF, junk[1] = 0xFE;
    EXPECT_THROW(RegFileDecode(junk, 8 << 20), ERegFileError);
}

namespace {

// A tree as the store lists it: keys in order of their paths, values by name.
std::vector<TRegFileKey> Sorted(std::vector<TRegFileKey> keys) {
    for (TRegFileKey& k : keys) {
        std::sort(k.values.begin(), k.values.end(),
                  [](const auto& a, const auto& b) { return a.name < b.name; });
        k.line = 0;
    }
    std::sort(keys.begin(), keys.end(),
              [](const auto& a, const auto& b) { return a.path < b.path; });
    return keys;
}

void TreeWrite(const std::vector<TRegFileKey>& keys) {
    for (const TRegFileKey& key : keys)
        ASSERT_TRUE(
            RegDataValuesWrite(Cu, key.path.substr(std::wstring(CuName).size()), key.values));
}

} // namespace

// What the writer writes, the reader reads back as it was; the registry editor reads it alike:
// random trees, each put in the registry, written to a file from there, and imported again by
// this reader and by reg.exe, come back value for value, type and bytes.
TEST_F(RegFile, RandomTreesComeBackValueForValueHereAndInRegExe) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const std::vector<TRegFileKey> tree =
            TRandomTree(seed).Make(std::wstring(CuName) + Scratch, 8);
        const std::wstring text = RegFileText(tree);
        EXPECT_EQ(Sorted(RegFileParse(text)), Sorted(tree)) << "this reader";

        RegKeyDelete(Cu, Scratch);
        TreeWrite(tree);
        const std::vector<TRegFileKey> stored = Sorted(RegTreeCollect(Cu, Scratch, CuName));
        ASSERT_EQ(stored, Sorted(tree)) << "the registry holds what was written";
        RegKeyDelete(Cu, Scratch);
        TreeWrite(RegFileParse(RegFileText(stored)));
        EXPECT_EQ(Sorted(RegTreeCollect(Cu, Scratch, CuName)), stored) << "this reader's import";

        const std::vector<TRegFileKey> copiable = RegExeCopiable(stored);
        BytesWrite(dir / L"tree.reg", RegFileBytes(RegFileText(copiable)));
        RegKeyDelete(Cu, Scratch);
        ASSERT_TRUE(RegExeRun(L"import \"" + (dir / L"tree.reg") + L"\""));
        EXPECT_EQ(Sorted(RegTreeCollect(Cu, Scratch, CuName)), copiable) << "reg.exe";
    }
}

// hex(b) is REG_QWORD (the type in hexadecimal, as every editor writes it), and what no file can
// carry is refused when the file is written, not found out when it is read.
TEST(RegFilePair, TypesInHexAndNamesNoFileCarries) {
    const std::wstring key = L"[HKEY_CURRENT_USER\\X]\r\n";
    const std::vector<TRegFileKey> read = RegFileParse(
        L"Windows Registry Editor Version 5.00\r\n\r\n" + key +
        L"\"q\"=hex(b):01,00,00,00,00,00,00,00\r\n\"n\"=hex(12345):\r\n\"m\"=hex(7):00,00\r\n");
    ASSERT_EQ(read.size(), 1u);
    ASSERT_EQ(read[0].values.size(), 3u);
    EXPECT_EQ(read[0].values[0].type, 11u);
    EXPECT_EQ(read[0].values[1].type, 0x12345u);
    EXPECT_TRUE(read[0].values[1].data.empty());
    EXPECT_EQ(read[0].values[2].type, 7u);
    const std::wstring written = RegFileText(read);
    EXPECT_NE(written.find(L"\"q\"=hex(b):01,00"), std::wstring::npos) << Utf8Of(written);
    EXPECT_NE(written.find(L"\"n\"=hex(12345):\r\n"), std::wstring::npos) << Utf8Of(written);

    const std::vector<TRegFileKey> unwritable[] = {
        {{L"HKEY_CURRENT_USER\\X\\line\nbreak", {}, 0}},
        {{L"HKEY_CURRENT_USER\\X", {{std::wstring(L"a\0b", 3), REG_SZ, {0, 0}}}, 0}},
    };
    for (const auto& keys : unwritable)
        EXPECT_THROW(RegFileText(keys), ERegFileError);
    // A file of nothing but empty lines is read line by line, not kept whole a line at a time.
    std::wstring blank = L"Windows Registry Editor Version 5.00\r\n";
    blank.append(2'000'000, L'\n');
    EXPECT_TRUE(RegFileParse(blank).empty());
}
