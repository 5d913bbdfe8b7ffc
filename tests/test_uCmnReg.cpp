// Registry access: the same cases on the in-memory store and on the Win32 registry.
#include "uCmnError.h"
#include "uCmnReg.h"
#include "uTestRegStores.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace {

using TNames = std::vector<std::string>;

const HKEY Cu = HKEY_CURRENT_USER;
const std::string Scratch = "\\Software\\Velmora\\OvTest";

std::string Sub(const std::string& path) {
    return Scratch + "\\" + path;
}

template <typename F> std::string ErrorText(F&& action) {
    try {
        action();
    } catch (const ERegError& e) {
        return e.Message();
    }
    return "(no error)";
}

TNames NamesOf(const std::string& key) {
    TNames names{"left over"};
    RegValueNames(Cu, key, names);
    return names;
}

TNames Sorted(TNames names) {
    std::sort(names.begin(), names.end());
    return names;
}

template <typename TEnv> class RegTest : public testing::Test {
  protected:
    void SetUp() override { RegKeyDelete(Cu, Scratch); }
    void TearDown() override {
        RegKeyDelete(Cu, Scratch);
        EXPECT_EQ(env_.OpenKeys(), 0u) << "a key was left open";
    }
    TEnv env_;
};

using TStores = testing::Types<TMemStoreEnv, TWin32StoreEnv>;
TYPED_TEST_SUITE(RegTest, TStores, TStoreEnvNames);

} // namespace

TYPED_TEST(RegTest, AbsentKeyGivesOrdinaryAnswers) {
    const std::string key = Sub("None");
    TNames names{"left over"};
    EXPECT_FALSE(RegKeyExists(Cu, key));
    EXPECT_FALSE(RegValueExists(Cu, key, "A"));
    EXPECT_EQ(RegStrRead(Cu, key, "A"), "");
    EXPECT_EQ(RegIntRead(Cu, key, "A"), 0);
    EXPECT_FALSE(RegBoolRead(Cu, key, "A"));
    EXPECT_EQ(RegValueCount(Cu, key), 0);
    EXPECT_EQ(RegSubKeyCount(Cu, key), 0);
    EXPECT_TRUE(RegValueNames(Cu, key, names));
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(RegKeyDelete(Cu, key));
    EXPECT_TRUE(RegValueDelete(Cu, key, "A"));
    EXPECT_TRUE(RegValueRename(Cu, key, "A", "B"));
    EXPECT_TRUE(RegKeyMove(Cu, key, Sub("Target")));
    EXPECT_FALSE(RegKeyExists(Cu, key));
    EXPECT_FALSE(RegKeyExists(Cu, Sub("Target")));
}

TYPED_TEST(RegTest, AbsentValueAndWrongTypeRaiseTheirTexts) {
    RegIntWrite(Cu, Scratch, "Num", 7);
    RegStrWrite(Cu, Scratch, "Short", "x");
    RegStrWrite(Cu, Scratch, "Long", "1.00.1");
    EXPECT_FALSE(RegValueExists(Cu, Scratch, "Missing"));
    EXPECT_EQ(RegStrRead(Cu, Scratch, "Missing"), "");
    EXPECT_EQ(ErrorText([] { RegIntRead(Cu, Scratch, "Missing"); }),
              "'Missing' の取得に失敗しました");
    EXPECT_EQ(ErrorText([] { RegBoolRead(Cu, Scratch, "Missing"); }),
              "'Missing' の取得に失敗しました");
    EXPECT_EQ(ErrorText([] { RegStrRead(Cu, Scratch, "Num"); }), "'Num' のデータ型が不正です");
    EXPECT_EQ(ErrorText([] { RegIntRead(Cu, Scratch, "Short"); }), "'Short' のデータ型が不正です");
    // More than four bytes are refused before the type is looked at.
    EXPECT_EQ(ErrorText([] { RegBoolRead(Cu, Scratch, "Long"); }), "'Long' の取得に失敗しました");

    ASSERT_EQ(
        StoreValueSet(Cu, Scratch, "Expand", REG_EXPAND_SZ, std::string("%WINDIR%\\a\0b", 12)),
        ERROR_SUCCESS);
    ASSERT_EQ(StoreValueSet(Cu, Scratch, "Empty", REG_BINARY, ""), ERROR_SUCCESS);
    ASSERT_EQ(StoreValueSet(Cu, Scratch, "Bin", REG_BINARY, "abc"), ERROR_SUCCESS);
    ASSERT_EQ(StoreValueSet(Cu, Scratch, "Word", REG_DWORD, "\x05\x01"), ERROR_SUCCESS);
    EXPECT_EQ(RegStrRead(Cu, Scratch, "Expand"), "%WINDIR%\\a");
    EXPECT_EQ(RegStrRead(Cu, Scratch, "Empty"), "");
    EXPECT_TRUE(RegValueExists(Cu, Scratch, "Empty"));
    EXPECT_EQ(ErrorText([] { RegStrRead(Cu, Scratch, "Bin"); }), "'Bin' のデータ型が不正です");
    EXPECT_EQ(RegIntRead(Cu, Scratch, "Word"), 0x105);
}

// One enumeration reads what RegValueNames and a RegStrRead per name read, whatever the types,
// the name lengths and the data sizes.
TYPED_TEST(RegTest, AllValuesAtOnceReadAsOneByOne) {
    std::vector<TRegStrValue> values{{"left over", "", true}};
    EXPECT_TRUE(RegStrValuesRead(Cu, Sub("None"), values));
    EXPECT_TRUE(values.empty());

    std::string wideName;
    for (int i = 0; i < 150; ++i)
        wideName += "表";
    RegStrWrite(Cu, Scratch, "", "folder");
    RegStrWrite(Cu, Scratch, wideName, "ソ表");
    RegStrWrite(Cu, Scratch, "Long", std::string(100000, 't'));
    RegIntWrite(Cu, Scratch, "Num", 7);
    StoreValueSet(Cu, Scratch, "Expand", REG_EXPAND_SZ, std::string("%WINDIR%\\a\0b", 12));
    StoreValueSet(Cu, Scratch, "Empty", REG_BINARY, "");
    RegStrWrite(Cu, Scratch, "Blank", "");
    ASSERT_TRUE(RegStrValuesRead(Cu, Scratch, values));
    TNames names;
    RegValueNames(Cu, Scratch, names);
    ASSERT_EQ(values.size(), names.size());
    for (size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(values[i].name, names[i]);
        const bool isString = values[i].name != "Num";
        EXPECT_EQ(values[i].isString, isString);
        if (isString) {
            EXPECT_EQ(values[i].text, RegStrRead(Cu, Scratch, names[i]));
        }
    }
}

TYPED_TEST(RegTest, WritesCreateEveryLevelAndReadBack) {
    const std::string deep = Sub("A\\B\\C");
    EXPECT_TRUE(RegStrWrite(Cu, deep, "Text", "abc"));
    EXPECT_EQ(RegSubKeyCount(Cu, Sub("A")), 1);
    EXPECT_TRUE(RegKeyCreate(Cu, deep));
    EXPECT_TRUE(RegKeyCreate(Cu, Sub("X\\Y")));
    EXPECT_TRUE(RegKeyExists(Cu, Sub("X\\Y")));
    // Names ignore letter case; a path without the leading "\" starts at the root as well.
    EXPECT_EQ(RegStrRead(Cu, Sub("a\\b\\c").substr(1), "TEXT"), "abc");

    EXPECT_TRUE(RegStrWrite(Cu, deep, "Blank", ""));
    EXPECT_EQ(StoreValueType(Cu, deep, "Blank"), REG_SZ);
    EXPECT_TRUE(RegValueExists(Cu, deep, "Blank"));
    for (int32_t n : {INT32_MIN, -1, 0, INT32_MAX}) {
        EXPECT_TRUE(RegIntWrite(Cu, deep, "Int", n));
        EXPECT_EQ(RegIntRead(Cu, deep, "Int"), n);
    }
    EXPECT_EQ(StoreValueType(Cu, deep, "Int"), REG_DWORD);
    RegBoolWrite(Cu, deep, "Flag", true);
    EXPECT_EQ(RegIntRead(Cu, deep, "Flag"), 1);
    EXPECT_EQ(StoreValueType(Cu, deep, "Flag"), REG_DWORD);
    RegBoolWrite(Cu, deep, "Flag", false);
    EXPECT_EQ(RegIntRead(Cu, deep, "Flag"), 0);
    for (int32_t n : {2, -1}) {
        RegIntWrite(Cu, deep, "Flag", n);
        EXPECT_TRUE(RegBoolRead(Cu, deep, "Flag")) << n;
    }
}

TYPED_TEST(RegTest, DefaultValueIsListedAndCounted) {
    RegStrWrite(Cu, Scratch, "", "folder");
    RegStrWrite(Cu, Scratch, "Item", "path");
    EXPECT_EQ(RegValueCount(Cu, Scratch), 2);
    EXPECT_EQ(NamesOf(Scratch), (TNames{"", "Item"}));
    EXPECT_EQ(RegStrRead(Cu, Scratch, ""), "folder");
    RegValueDelete(Cu, Scratch, "");
    EXPECT_EQ(NamesOf(Scratch), (TNames{"Item"}));
}

TYPED_TEST(RegTest, ValuesKeepCreationOrderAndFirstSpelling) {
    RegStrWrite(Cu, Scratch, "c", "1");
    RegStrWrite(Cu, Scratch, "a", "2");
    RegStrWrite(Cu, Scratch, "b", "3");
    RegStrWrite(Cu, Scratch, "A", "4");
    EXPECT_EQ(RegValueCount(Cu, Scratch), 3);
    EXPECT_EQ(RegStrRead(Cu, Scratch, "a"), "4");
    EXPECT_EQ(Sorted(NamesOf(Scratch)), (TNames{"a", "b", "c"}));
    if (!TypeParam::Ordered())
        GTEST_SKIP() << "values are listed sorted by name here";
    EXPECT_EQ(NamesOf(Scratch), (TNames{"c", "a", "b"}));
    RegValueDelete(Cu, Scratch, "A");
    RegStrWrite(Cu, Scratch, "a", "5");
    EXPECT_EQ(NamesOf(Scratch), (TNames{"c", "b", "a"}));
}

TYPED_TEST(RegTest, MoveCopiesTheTreeDefaultValueFirst) {
    const std::string source = Sub("Src"), target = Sub("Dst\\Deep");
    RegStrWrite(Cu, source, "Zeta", "z");
    RegStrWrite(Cu, source, "", "dir");
    RegIntWrite(Cu, source, "Alpha", 5);
    StoreValueSet(Cu, source, "Mid", REG_EXPAND_SZ, std::string("%TEMP%", 7));
    StoreValueSet(Cu, source, "Empty", REG_BINARY, "");
    RegStrWrite(Cu, source + "\\Child\\Grand", "G", "g");
    RegKeyCreate(Cu, source + "\\Child2");

    EXPECT_TRUE(RegKeyMove(Cu, source, target));
    EXPECT_FALSE(RegKeyExists(Cu, source));
    const TNames names = NamesOf(target);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names[0], "");
    EXPECT_EQ(Sorted(names), (TNames{"", "Alpha", "Empty", "Mid", "Zeta"}));
    if (TypeParam::Ordered()) {
        EXPECT_EQ(names, (TNames{"", "Zeta", "Alpha", "Mid", "Empty"}));
    }
    EXPECT_EQ(RegStrRead(Cu, target, ""), "dir");
    EXPECT_EQ(RegIntRead(Cu, target, "Alpha"), 5);
    EXPECT_EQ(StoreValueType(Cu, target, "Mid"), REG_EXPAND_SZ);
    EXPECT_EQ(StoreValueType(Cu, target, "Empty"), REG_BINARY);
    EXPECT_EQ(RegSubKeyCount(Cu, target), 2);
    EXPECT_EQ(RegStrRead(Cu, target + "\\Child\\Grand", "G"), "g");
    EXPECT_TRUE(RegKeyExists(Cu, target + "\\Child2"));
}

TYPED_TEST(RegTest, MoveLeavesAnExistingTargetAndItsOwnSubtreeAlone) {
    RegStrWrite(Cu, Sub("Src\\Child"), "V", "1");
    RegStrWrite(Cu, Sub("Dst"), "W", "2");
    EXPECT_TRUE(RegKeyMove(Cu, Sub("Src"), Sub("DST")));
    EXPECT_TRUE(RegKeyMove(Cu, Sub("Src"), Sub("Src\\Child\\Inner")));
    EXPECT_TRUE(RegKeyMove(Cu, Sub("Src"), Sub("SRC\\New")));
    EXPECT_EQ(RegStrRead(Cu, Sub("Src\\Child"), "V"), "1");
    EXPECT_EQ(RegSubKeyCount(Cu, Sub("Src")), 1);
    EXPECT_EQ(RegSubKeyCount(Cu, Sub("Src\\Child")), 0);
    EXPECT_EQ(NamesOf(Sub("Dst")), (TNames{"W"}));
    EXPECT_EQ(RegSubKeyCount(Cu, Sub("Dst")), 0);
}

TYPED_TEST(RegTest, RenameRefusesTakenNamesAndPutsTheValueLast) {
    RegStrWrite(Cu, Scratch, "One", "1");
    RegIntWrite(Cu, Scratch, "Two", 2);
    RegStrWrite(Cu, Scratch, "Three", "3");
    RegValueRename(Cu, Scratch, "One", "TWO");
    RegValueRename(Cu, Scratch, "One", "one");
    RegValueRename(Cu, Scratch, "Missing", "Four");
    EXPECT_EQ(Sorted(NamesOf(Scratch)), (TNames{"One", "Three", "Two"}));
    EXPECT_EQ(RegIntRead(Cu, Scratch, "Two"), 2);

    EXPECT_TRUE(RegValueRename(Cu, Scratch, "two", "Zwei"));
    EXPECT_EQ(RegIntRead(Cu, Scratch, "Zwei"), 2);
    EXPECT_EQ(StoreValueType(Cu, Scratch, "Zwei"), REG_DWORD);
    EXPECT_FALSE(RegValueExists(Cu, Scratch, "Two"));
    if (TypeParam::Ordered()) {
        EXPECT_EQ(NamesOf(Scratch), (TNames{"One", "Three", "Zwei"}));
    }
}

TYPED_TEST(RegTest, DeleteRemovesTheWholeSubtree) {
    RegStrWrite(Cu, Sub("Tree\\A\\B\\C"), "V", "1");
    RegStrWrite(Cu, Sub("Tree\\A\\D"), "V", "2");
    RegIntWrite(Cu, Sub("Tree\\E"), "V", 3);
    RegStrWrite(Cu, Sub("Tree"), "V", "4");
    RegStrWrite(Cu, Sub("Other"), "V", "5");
    EXPECT_TRUE(RegKeyDelete(Cu, Sub("Tree")));
    EXPECT_FALSE(RegKeyExists(Cu, Sub("Tree")));
    EXPECT_EQ(RegSubKeyCount(Cu, Scratch), 1);
    EXPECT_FALSE(RegKeyDelete(Cu, Sub("Tree")));
}

// Lengths the store reports count characters, so Shift-JIS names need more bytes than hinted.
TYPED_TEST(RegTest, LongAndShiftJisNamesSurviveEveryOperation) {
    std::string wideKey, wideName;
    for (int i = 0; i < 120; ++i)
        wideKey += "ソ";
    for (int i = 0; i < 150; ++i)
        wideName += "表";
    const std::string longName(300, 'n'), longText(100000, 't');
    const std::string key = Sub(wideKey), deep = key + "\\" + std::string(100, 'k');
    ASSERT_TRUE(RegStrWrite(Cu, key, wideName, "ソ表"));
    ASSERT_TRUE(RegStrWrite(Cu, deep, longName, longText));
    EXPECT_EQ(NamesOf(key), (TNames{wideName}));
    EXPECT_EQ(RegStrRead(Cu, deep, longName), longText);

    EXPECT_TRUE(RegKeyMove(Cu, key, Sub("Moved")));
    EXPECT_FALSE(RegKeyExists(Cu, key));
    EXPECT_EQ(RegStrRead(Cu, Sub("Moved"), wideName), "ソ表");
    EXPECT_EQ(RegStrRead(Cu, Sub("Moved\\" + std::string(100, 'k')), longName), longText);
    EXPECT_TRUE(RegKeyMove(Cu, Sub("Moved"), key));
    EXPECT_TRUE(RegKeyDelete(Cu, Scratch));
    EXPECT_FALSE(RegKeyExists(Cu, Scratch));
}

// "ソ" and "表" end in the byte of "\", "ア" and "ヂ" in those of "A" and "a".
TYPED_TEST(RegTest, ShiftJisSecondBytesAreNeitherSeparatorsNorLetters) {
    const std::string key = Sub("ソフト\\表示");
    RegStrWrite(Cu, key, "ア", "a");
    RegStrWrite(Cu, key, "ヂ", "b");
    EXPECT_EQ(RegSubKeyCount(Cu, Scratch), 1);
    EXPECT_EQ(RegSubKeyCount(Cu, Sub("ソフト")), 1);
    EXPECT_EQ(RegValueCount(Cu, key), 2);
    EXPECT_EQ(RegStrRead(Cu, key, "ア"), "a");
    EXPECT_EQ(RegStrRead(Cu, key, "ヂ"), "b");
    EXPECT_FALSE(RegKeyExists(Cu, Sub("ヂフト")));
}

namespace {

// Refuses to create keys whose path ends in `lockedKey` and to set values named `lockedValue`.
class TRefusingStore : public TMemRegStore {
  public:
    std::string lockedKey = "Locked";
    std::string lockedValue = "Bad";

    LONG CreateKey(HKEY key, LPCSTR subKey, PHKEY result, LPDWORD disposition) override {
        const std::string path = subKey;
        if (path.size() >= lockedKey.size() &&
            path.compare(path.size() - lockedKey.size(), lockedKey.size(), lockedKey) == 0)
            return ERROR_ACCESS_DENIED;
        return TMemRegStore::CreateKey(key, subKey, result, disposition);
    }
    LONG SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) override {
        if (lockedValue == name)
            return ERROR_ACCESS_DENIED;
        return TMemRegStore::SetValue(key, name, type, data, size);
    }
};

} // namespace

TEST(RegFailure, ErrorsNameTheirSubjectAndLoseNothing) {
    TRefusingStore store;
    TRegStoreScope scope(store);
    const std::string open = "\\Software\\Open", locked = "\\Software\\Locked";
    EXPECT_EQ(ErrorText([&] { RegKeyCreate(Cu, locked); }),
              "キー \\Software\\Locked の作成に失敗しました");
    EXPECT_FALSE(RegStrWrite(Cu, locked, "A", "x"));
    EXPECT_EQ(ErrorText([&] { RegStrWrite(Cu, open, "Bad", "x"); }), "'Bad' の設定に失敗しました");
    EXPECT_EQ(ErrorText([&] { RegIntWrite(Cu, open, "Bad", 1); }), "'Bad' の設定に失敗しました");
    EXPECT_EQ(ErrorText([&] { RegBoolWrite(Cu, open, "Bad", true); }),
              "'Bad' の設定に失敗しました");

    RegStrWrite(Cu, open, "Item", "path");
    EXPECT_EQ(ErrorText([&] { RegValueRename(Cu, open, "Item", "Bad"); }),
              "'Bad' の設定に失敗しました");
    EXPECT_EQ(ErrorText([&] { RegKeyMove(Cu, open, locked); }),
              "キー \\Software\\Locked の作成に失敗しました");
    store.lockedValue = "Item";
    EXPECT_EQ(ErrorText([&] { RegKeyMove(Cu, open, "\\Software\\Moved"); }),
              "'Item' の設定に失敗しました");
    EXPECT_EQ(NamesOf(open), (TNames{"Item"}));
    EXPECT_EQ(RegStrRead(Cu, open, "Item"), "path");
    EXPECT_EQ(store.OpenKeyCount(), 0u);
}

TEST(RegRoots, AreSeparateAndNeverDeleted) {
    TMemRegStore store;
    TRegStoreScope scope(store);
    RegStrWrite(HKEY_CLASSES_ROOT, ".txt", "", "txtfile");
    RegStrWrite(Cu, "\\Software\\Keep", "V", "1");
    EXPECT_FALSE(RegKeyExists(Cu, ".txt"));
    EXPECT_EQ(RegStrRead(HKEY_CLASSES_ROOT, ".txt", ""), "txtfile");
    EXPECT_FALSE(RegKeyDelete(Cu, "\\"));
    EXPECT_FALSE(RegKeyDelete(Cu, ""));
    EXPECT_TRUE(RegKeyMove(Cu, "", "\\Software\\Copy"));
    EXPECT_FALSE(RegKeyExists(Cu, "\\Software\\Copy"));
    EXPECT_EQ(RegStrRead(Cu, "\\Software\\Keep", "V"), "1");
    EXPECT_EQ(store.OpenKeyCount(), 0u);
}
