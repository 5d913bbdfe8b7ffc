// Registry access: the same cases on the in-memory store and on the Win32 registry.
#include "uCmnError.h"
#include "uCmnReg.h"
#include "uTestRegStores.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace {

using TNames = std::vector<std::wstring>;

const HKEY Cu = HKEY_CURRENT_USER;
const std::wstring Scratch = L"\\Software\\Velmora\\OvTest";

std::wstring Sub(const std::wstring& path) {
    return Scratch + L"\\" + path;
}

template <typename F> std::wstring ErrorText(F&& action) {
    try {
        action();
    } catch (const ERegError& e) {
        return e.Message();
    }
    return L"(no error)";
}

TNames NamesOf(const std::wstring& key) {
    TNames names{L"left over"};
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
        EXPECT_EQ(env_.OpenKeys(), 0u) << L"a key was left open";
    }
    TEnv env_;
};

using TStores = testing::Types<TMemStoreEnv, TWin32StoreEnv>;
TYPED_TEST_SUITE(RegTest, TStores, TStoreEnvNames);

} // namespace

TYPED_TEST(RegTest, AbsentKeyGivesOrdinaryAnswers) {
    const std::wstring key = Sub(L"None");
    TNames names{L"left over"};
    EXPECT_FALSE(RegKeyExists(Cu, key));
    EXPECT_FALSE(RegValueExists(Cu, key, L"A"));
    EXPECT_EQ(RegStrRead(Cu, key, L"A"), L"");
    EXPECT_EQ(RegIntRead(Cu, key, L"A"), 0);
    EXPECT_FALSE(RegBoolRead(Cu, key, L"A"));
    EXPECT_EQ(RegValueCount(Cu, key), 0);
    EXPECT_EQ(RegSubKeyCount(Cu, key), 0);
    EXPECT_TRUE(RegValueNames(Cu, key, names));
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(RegKeyDelete(Cu, key));
    EXPECT_TRUE(RegValueDelete(Cu, key, L"A"));
    EXPECT_TRUE(RegValueRename(Cu, key, L"A", L"B"));
    EXPECT_TRUE(RegKeyMove(Cu, key, Sub(L"Target")));
    EXPECT_FALSE(RegKeyExists(Cu, key));
    EXPECT_FALSE(RegKeyExists(Cu, Sub(L"Target")));
}

TYPED_TEST(RegTest, AbsentValueAndWrongTypeRaiseTheirTexts) {
    RegIntWrite(Cu, Scratch, L"Num", 7);
    RegStrWrite(Cu, Scratch, L"Short", L"x");
    RegStrWrite(Cu, Scratch, L"Long", L"1.00.1");
    EXPECT_FALSE(RegValueExists(Cu, Scratch, L"Missing"));
    EXPECT_EQ(RegStrRead(Cu, Scratch, L"Missing"), L"");
    EXPECT_EQ(ErrorText([] { RegIntRead(Cu, Scratch, L"Missing"); }),
              L"'Missing' の取得に失敗しました");
    EXPECT_EQ(ErrorText([] { RegBoolRead(Cu, Scratch, L"Missing"); }),
              L"'Missing' の取得に失敗しました");
    EXPECT_EQ(ErrorText([] { RegStrRead(Cu, Scratch, L"Num"); }), L"'Num' のデータ型が不正です");
    EXPECT_EQ(ErrorText([] { RegIntRead(Cu, Scratch, L"Short"); }),
              L"'Short' のデータ型が不正です");
    // More than four bytes are refused before the type is looked at.
    EXPECT_EQ(ErrorText([] { RegBoolRead(Cu, Scratch, L"Long"); }), L"'Long' の取得に失敗しました");

    ASSERT_EQ(StoreValueSet(Cu, Scratch, L"Expand", REG_EXPAND_SZ,
                            WideBytes(std::wstring(L"%WINDIR%\\a\0b", 12))),
              ERROR_SUCCESS);
    ASSERT_EQ(StoreValueSet(Cu, Scratch, L"Empty", REG_BINARY, ""), ERROR_SUCCESS);
    ASSERT_EQ(StoreValueSet(Cu, Scratch, L"Bin", REG_BINARY, "abc"), ERROR_SUCCESS);
    ASSERT_EQ(StoreValueSet(Cu, Scratch, L"Word", REG_DWORD, "\x05\x01"), ERROR_SUCCESS);
    EXPECT_EQ(RegStrRead(Cu, Scratch, L"Expand"), L"%WINDIR%\\a");
    EXPECT_EQ(RegStrRead(Cu, Scratch, L"Empty"), L"");
    EXPECT_TRUE(RegValueExists(Cu, Scratch, L"Empty"));
    EXPECT_EQ(ErrorText([] { RegStrRead(Cu, Scratch, L"Bin"); }), L"'Bin' のデータ型が不正です");
    EXPECT_EQ(RegIntRead(Cu, Scratch, L"Word"), 0x105);
}

// One enumeration reads what RegValueNames and a RegStrRead per name read, whatever the types,
// the name lengths and the data sizes.
TYPED_TEST(RegTest, AllValuesAtOnceReadAsOneByOne) {
    std::vector<TRegStrValue> values{{L"left over", L"", true}};
    EXPECT_TRUE(RegStrValuesRead(Cu, Sub(L"None"), values));
    EXPECT_TRUE(values.empty());

    std::wstring wideName;
    for (int i = 0; i < 150; ++i)
        wideName += L"表";
    RegStrWrite(Cu, Scratch, L"", L"folder");
    RegStrWrite(Cu, Scratch, wideName, L"ソ表");
    RegStrWrite(Cu, Scratch, L"Long", std::wstring(100000, L't'));
    RegIntWrite(Cu, Scratch, L"Num", 7);
    StoreValueSet(Cu, Scratch, L"Expand", REG_EXPAND_SZ,
                  WideBytes(std::wstring(L"%WINDIR%\\a\0b", 12)));
    StoreValueSet(Cu, Scratch, L"Empty", REG_BINARY, "");
    RegStrWrite(Cu, Scratch, L"Blank", L"");
    ASSERT_TRUE(RegStrValuesRead(Cu, Scratch, values));
    TNames names;
    RegValueNames(Cu, Scratch, names);
    ASSERT_EQ(values.size(), names.size());
    for (size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(values[i].name, names[i]);
        const bool isString = values[i].name != L"Num";
        EXPECT_EQ(values[i].isString, isString);
        if (isString) {
            EXPECT_EQ(values[i].text, RegStrRead(Cu, Scratch, names[i]));
        }
    }
}

// The key's values as one text: "name=text;" each.
std::wstring ValuesText(const std::wstring& key) {
    std::vector<TRegStrValue> values;
    RegStrValuesRead(Cu, key, values);
    std::wstring text;
    for (const TRegStrValue& value : values)
        text += value.name + L"=" + value.text + L";";
    return text;
}

// A key read again is enumerated anew whenever it may have changed: after a write by another
// program (the key's last-write time moves) as after one of these functions.
TYPED_TEST(RegTest, ValuesReadAgainShowEveryChange) {
    RegStrWrite(Cu, Scratch, L"A", L"1");
    RegStrWrite(Cu, Scratch, L"B", L"2");
    EXPECT_EQ(ValuesText(Scratch), L"A=1;B=2;");
    StoreValueSet(Cu, Scratch, L"A", REG_SZ, WideBytes(std::wstring(L"3\0", 2)));
    EXPECT_EQ(ValuesText(Scratch), L"A=3;B=2;");
    EXPECT_EQ(ValuesText(Scratch), L"A=3;B=2;");
    RegStrWrite(Cu, Scratch, L"B", L"4");
    EXPECT_EQ(ValuesText(Scratch), L"A=3;B=4;");
}

// Where the store's clock does not move with a write, a write through these functions still
// shows, and another program's shows by the number of values.
TEST(RegValuesReadAgain, ShowEveryChangeWhereTheClockStandsStill) {
    TFaultMemStore store;
    TRegStoreScope scope(store);
    store.clockStopped = true;
    RegStrWrite(Cu, Scratch, L"A", L"1");
    EXPECT_EQ(ValuesText(Scratch), L"A=1;");
    RegStrWrite(Cu, Scratch, L"A", L"2");
    EXPECT_EQ(ValuesText(Scratch), L"A=2;");
    RegValueRename(Cu, Scratch, L"A", L"B");
    EXPECT_EQ(ValuesText(Scratch), L"B=2;");
    StoreValueSet(Cu, Scratch, L"C", REG_SZ, WideBytes(std::wstring(L"5\0", 2)));
    EXPECT_EQ(ValuesText(Scratch), L"B=2;C=5;");
}

TYPED_TEST(RegTest, WritesCreateEveryLevelAndReadBack) {
    const std::wstring deep = Sub(L"A\\B\\C");
    EXPECT_TRUE(RegStrWrite(Cu, deep, L"Text", L"abc"));
    EXPECT_EQ(RegSubKeyCount(Cu, Sub(L"A")), 1);
    EXPECT_TRUE(RegKeyCreate(Cu, deep));
    EXPECT_TRUE(RegKeyCreate(Cu, Sub(L"X\\Y")));
    EXPECT_TRUE(RegKeyExists(Cu, Sub(L"X\\Y")));
    // Names ignore letter case; a path without the leading "\" starts at the root as well.
    EXPECT_EQ(RegStrRead(Cu, Sub(L"a\\b\\c").substr(1), L"TEXT"), L"abc");

    EXPECT_TRUE(RegStrWrite(Cu, deep, L"Blank", L""));
    EXPECT_EQ(StoreValueType(Cu, deep, L"Blank"), REG_SZ);
    EXPECT_TRUE(RegValueExists(Cu, deep, L"Blank"));
    for (int32_t n : {INT32_MIN, -1, 0, INT32_MAX}) {
        EXPECT_TRUE(RegIntWrite(Cu, deep, L"Int", n));
        EXPECT_EQ(RegIntRead(Cu, deep, L"Int"), n);
    }
    EXPECT_EQ(StoreValueType(Cu, deep, L"Int"), REG_DWORD);
    RegBoolWrite(Cu, deep, L"Flag", true);
    EXPECT_EQ(RegIntRead(Cu, deep, L"Flag"), 1);
    EXPECT_EQ(StoreValueType(Cu, deep, L"Flag"), REG_DWORD);
    RegBoolWrite(Cu, deep, L"Flag", false);
    EXPECT_EQ(RegIntRead(Cu, deep, L"Flag"), 0);
    for (int32_t n : {2, -1}) {
        RegIntWrite(Cu, deep, L"Flag", n);
        EXPECT_TRUE(RegBoolRead(Cu, deep, L"Flag")) << n;
    }
}

TYPED_TEST(RegTest, DefaultValueIsListedAndCounted) {
    RegStrWrite(Cu, Scratch, L"", L"folder");
    RegStrWrite(Cu, Scratch, L"Item", L"path");
    EXPECT_EQ(RegValueCount(Cu, Scratch), 2);
    EXPECT_EQ(NamesOf(Scratch), (TNames{L"", L"Item"}));
    EXPECT_EQ(RegStrRead(Cu, Scratch, L""), L"folder");
    RegValueDelete(Cu, Scratch, L"");
    EXPECT_EQ(NamesOf(Scratch), (TNames{L"Item"}));
}

TYPED_TEST(RegTest, ValuesKeepCreationOrderAndFirstSpelling) {
    RegStrWrite(Cu, Scratch, L"c", L"1");
    RegStrWrite(Cu, Scratch, L"a", L"2");
    RegStrWrite(Cu, Scratch, L"b", L"3");
    RegStrWrite(Cu, Scratch, L"A", L"4");
    EXPECT_EQ(RegValueCount(Cu, Scratch), 3);
    EXPECT_EQ(RegStrRead(Cu, Scratch, L"a"), L"4");
    EXPECT_EQ(Sorted(NamesOf(Scratch)), (TNames{L"a", L"b", L"c"}));
    if (!TypeParam::Ordered())
        GTEST_SKIP() << L"values are listed sorted by name here";
    EXPECT_EQ(NamesOf(Scratch), (TNames{L"c", L"a", L"b"}));
    RegValueDelete(Cu, Scratch, L"A");
    RegStrWrite(Cu, Scratch, L"a", L"5");
    EXPECT_EQ(NamesOf(Scratch), (TNames{L"c", L"b", L"a"}));
}

TYPED_TEST(RegTest, MoveCopiesTheTreeDefaultValueFirst) {
    const std::wstring source = Sub(L"Src"), target = Sub(L"Dst\\Deep");
    RegStrWrite(Cu, source, L"Zeta", L"z");
    RegStrWrite(Cu, source, L"", L"dir");
    RegIntWrite(Cu, source, L"Alpha", 5);
    StoreValueSet(Cu, source, L"Mid", REG_EXPAND_SZ, WideBytes(std::wstring(L"%TEMP%", 7)));
    StoreValueSet(Cu, source, L"Empty", REG_BINARY, "");
    RegStrWrite(Cu, source + L"\\Child\\Grand", L"G", L"g");
    RegKeyCreate(Cu, source + L"\\Child2");

    EXPECT_TRUE(RegKeyMove(Cu, source, target));
    EXPECT_FALSE(RegKeyExists(Cu, source));
    const TNames names = NamesOf(target);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names[0], L"");
    EXPECT_EQ(Sorted(names), (TNames{L"", L"Alpha", L"Empty", L"Mid", L"Zeta"}));
    if (TypeParam::Ordered()) {
        EXPECT_EQ(names, (TNames{L"", L"Zeta", L"Alpha", L"Mid", L"Empty"}));
    }
    EXPECT_EQ(RegStrRead(Cu, target, L""), L"dir");
    EXPECT_EQ(RegIntRead(Cu, target, L"Alpha"), 5);
    EXPECT_EQ(StoreValueType(Cu, target, L"Mid"), REG_EXPAND_SZ);
    EXPECT_EQ(StoreValueType(Cu, target, L"Empty"), REG_BINARY);
    EXPECT_EQ(RegSubKeyCount(Cu, target), 2);
    EXPECT_EQ(RegStrRead(Cu, target + L"\\Child\\Grand", L"G"), L"g");
    EXPECT_TRUE(RegKeyExists(Cu, target + L"\\Child2"));
}

TYPED_TEST(RegTest, MoveLeavesAnExistingTargetAndItsOwnSubtreeAlone) {
    RegStrWrite(Cu, Sub(L"Src\\Child"), L"V", L"1");
    RegStrWrite(Cu, Sub(L"Dst"), L"W", L"2");
    EXPECT_TRUE(RegKeyMove(Cu, Sub(L"Src"), Sub(L"DST")));
    EXPECT_TRUE(RegKeyMove(Cu, Sub(L"Src"), Sub(L"Src\\Child\\Inner")));
    EXPECT_TRUE(RegKeyMove(Cu, Sub(L"Src"), Sub(L"SRC\\New")));
    EXPECT_EQ(RegStrRead(Cu, Sub(L"Src\\Child"), L"V"), L"1");
    EXPECT_EQ(RegSubKeyCount(Cu, Sub(L"Src")), 1);
    EXPECT_EQ(RegSubKeyCount(Cu, Sub(L"Src\\Child")), 0);
    EXPECT_EQ(NamesOf(Sub(L"Dst")), (TNames{L"W"}));
    EXPECT_EQ(RegSubKeyCount(Cu, Sub(L"Dst")), 0);
}

TYPED_TEST(RegTest, RenameRefusesTakenNamesAndPutsTheValueLast) {
    RegStrWrite(Cu, Scratch, L"One", L"1");
    RegIntWrite(Cu, Scratch, L"Two", 2);
    RegStrWrite(Cu, Scratch, L"Three", L"3");
    RegValueRename(Cu, Scratch, L"One", L"TWO");
    RegValueRename(Cu, Scratch, L"One", L"one");
    RegValueRename(Cu, Scratch, L"Missing", L"Four");
    EXPECT_EQ(Sorted(NamesOf(Scratch)), (TNames{L"One", L"Three", L"Two"}));
    EXPECT_EQ(RegIntRead(Cu, Scratch, L"Two"), 2);

    EXPECT_TRUE(RegValueRename(Cu, Scratch, L"two", L"Zwei"));
    EXPECT_EQ(RegIntRead(Cu, Scratch, L"Zwei"), 2);
    EXPECT_EQ(StoreValueType(Cu, Scratch, L"Zwei"), REG_DWORD);
    EXPECT_FALSE(RegValueExists(Cu, Scratch, L"Two"));
    if (TypeParam::Ordered()) {
        EXPECT_EQ(NamesOf(Scratch), (TNames{L"One", L"Three", L"Zwei"}));
    }
}

TYPED_TEST(RegTest, DeleteRemovesTheWholeSubtree) {
    RegStrWrite(Cu, Sub(L"Tree\\A\\B\\C"), L"V", L"1");
    RegStrWrite(Cu, Sub(L"Tree\\A\\D"), L"V", L"2");
    RegIntWrite(Cu, Sub(L"Tree\\E"), L"V", 3);
    RegStrWrite(Cu, Sub(L"Tree"), L"V", L"4");
    RegStrWrite(Cu, Sub(L"Other"), L"V", L"5");
    EXPECT_TRUE(RegKeyDelete(Cu, Sub(L"Tree")));
    EXPECT_FALSE(RegKeyExists(Cu, Sub(L"Tree")));
    EXPECT_EQ(RegSubKeyCount(Cu, Scratch), 1);
    EXPECT_FALSE(RegKeyDelete(Cu, Sub(L"Tree")));
}

// Long names, and names of any script (a surrogate pair among them), survive every operation.
TYPED_TEST(RegTest, LongAndWideNamesSurviveEveryOperation) {
    std::wstring wideKey, wideName;
    for (int i = 0; i < 120; ++i)
        wideKey += L"ソ";
    for (int i = 0; i < 150; ++i)
        wideName += L"表";
    wideName += L"Ærø 한 😀";
    const std::wstring longName(300, L'n'), longText(100000, L't');
    const std::wstring key = Sub(wideKey), deep = key + L"\\" + std::wstring(100, L'k');
    ASSERT_TRUE(RegStrWrite(Cu, key, wideName, L"ソ表"));
    ASSERT_TRUE(RegStrWrite(Cu, deep, longName, longText));
    EXPECT_EQ(NamesOf(key), (TNames{wideName}));
    EXPECT_EQ(RegStrRead(Cu, deep, longName), longText);

    EXPECT_TRUE(RegKeyMove(Cu, key, Sub(L"Moved")));
    EXPECT_FALSE(RegKeyExists(Cu, key));
    EXPECT_EQ(RegStrRead(Cu, Sub(L"Moved"), wideName), L"ソ表");
    EXPECT_EQ(RegStrRead(Cu, Sub(L"Moved\\" + std::wstring(100, L'k')), longName), longText);
    EXPECT_TRUE(RegKeyMove(Cu, Sub(L"Moved"), key));
    EXPECT_TRUE(RegKeyDelete(Cu, Scratch));
    EXPECT_FALSE(RegKeyExists(Cu, Scratch));
}

// Names compare without regard to letter case in every script, and only so. (In Shift-JIS "ソ"
// and "表" end in the byte of "\", "ア" and "ヂ" in those of "A" and "a".)
TYPED_TEST(RegTest, NamesFoldLetterCaseInEveryScriptAndNothingElse) {
    const std::wstring key = Sub(L"ソフト\\表示");
    RegStrWrite(Cu, key, L"ア", L"a");
    RegStrWrite(Cu, key, L"ヂ", L"b");
    EXPECT_EQ(RegSubKeyCount(Cu, Scratch), 1);
    EXPECT_EQ(RegSubKeyCount(Cu, Sub(L"ソフト")), 1);
    EXPECT_EQ(RegValueCount(Cu, key), 2);
    EXPECT_EQ(RegStrRead(Cu, key, L"ア"), L"a");
    EXPECT_EQ(RegStrRead(Cu, key, L"ヂ"), L"b");
    EXPECT_FALSE(RegKeyExists(Cu, Sub(L"ヂフト")));

    const std::pair<const wchar_t*, const wchar_t*> same[] = {{L"Ærø.txt", L"æRØ.TXT"},
                                                              {L"Ωμέγα", L"ωΜΈΓΑ"},
                                                              {L"Дом", L"дОМ"},
                                                              {L"ｆｕｌｌ", L"ＦＵＬＬ"}};
    for (const auto& [written, asked] : same) {
        RegStrWrite(Cu, key, written, L"x");
        EXPECT_TRUE(RegValueExists(Cu, key, asked)) << asked;
        EXPECT_TRUE(RegKeyCreate(Cu, key + L"\\" + written));
        EXPECT_TRUE(RegKeyExists(Cu, key + L"\\" + asked)) << asked;
    }
    for (const wchar_t* other : {L"Aro.txt", L"ss", L"한국어", L"😀"})
        EXPECT_FALSE(RegValueExists(Cu, key, other)) << other;
    RegStrWrite(Cu, key, L"ß", L"x");
    EXPECT_FALSE(RegValueExists(Cu, key, L"SS"));
}

namespace {

// Refuses to create keys whose path ends in `lockedKey` and to set values named `lockedValue`.
class TRefusingStore : public TMemRegStore {
  public:
    std::wstring lockedKey = L"Locked";
    std::wstring lockedValue = L"Bad";

    LONG CreateKey(HKEY key, LPCWSTR subKey, PHKEY result, LPDWORD disposition) override {
        const std::wstring path = subKey;
        if (path.size() >= lockedKey.size() &&
            path.compare(path.size() - lockedKey.size(), lockedKey.size(), lockedKey) == 0)
            return ERROR_ACCESS_DENIED;
        return TMemRegStore::CreateKey(key, subKey, result, disposition);
    }
    LONG SetValue(HKEY key, LPCWSTR name, DWORD type, const BYTE* data, DWORD size) override {
        if (lockedValue == name)
            return ERROR_ACCESS_DENIED;
        return TMemRegStore::SetValue(key, name, type, data, size);
    }
};

} // namespace

TEST(RegFailure, ErrorsNameTheirSubjectAndLoseNothing) {
    TRefusingStore store;
    TRegStoreScope scope(store);
    const std::wstring open = L"\\Software\\Open", locked = L"\\Software\\Locked";
    EXPECT_EQ(ErrorText([&] { RegKeyCreate(Cu, locked); }),
              L"キー \\Software\\Locked の作成に失敗しました");
    EXPECT_FALSE(RegStrWrite(Cu, locked, L"A", L"x"));
    EXPECT_EQ(ErrorText([&] { RegStrWrite(Cu, open, L"Bad", L"x"); }),
              L"'Bad' の設定に失敗しました");
    EXPECT_EQ(ErrorText([&] { RegIntWrite(Cu, open, L"Bad", 1); }), L"'Bad' の設定に失敗しました");
    EXPECT_EQ(ErrorText([&] { RegBoolWrite(Cu, open, L"Bad", true); }),
              L"'Bad' の設定に失敗しました");

    RegStrWrite(Cu, open, L"Item", L"path");
    EXPECT_EQ(ErrorText([&] { RegValueRename(Cu, open, L"Item", L"Bad"); }),
              L"'Bad' の設定に失敗しました");
    EXPECT_EQ(ErrorText([&] { RegKeyMove(Cu, open, locked); }),
              L"キー \\Software\\Locked の作成に失敗しました");
    store.lockedValue = L"Item";
    EXPECT_EQ(ErrorText([&] { RegKeyMove(Cu, open, L"\\Software\\Moved"); }),
              L"'Item' の設定に失敗しました");
    EXPECT_EQ(NamesOf(open), (TNames{L"Item"}));
    EXPECT_EQ(RegStrRead(Cu, open, L"Item"), L"path");
    EXPECT_EQ(store.OpenKeyCount(), 0u);
}

TEST(RegRoots, AreSeparateAndNeverDeleted) {
    TMemRegStore store;
    TRegStoreScope scope(store);
    RegStrWrite(HKEY_CLASSES_ROOT, L".txt", L"", L"txtfile");
    RegStrWrite(Cu, L"\\Software\\Keep", L"V", L"1");
    EXPECT_FALSE(RegKeyExists(Cu, L".txt"));
    EXPECT_EQ(RegStrRead(HKEY_CLASSES_ROOT, L".txt", L""), L"txtfile");
    EXPECT_FALSE(RegKeyDelete(Cu, L"\\"));
    EXPECT_FALSE(RegKeyDelete(Cu, L""));
    EXPECT_TRUE(RegKeyMove(Cu, L"", L"\\Software\\Copy"));
    EXPECT_FALSE(RegKeyExists(Cu, L"\\Software\\Copy"));
    EXPECT_EQ(RegStrRead(Cu, L"\\Software\\Keep", L"V"), L"1");
    EXPECT_EQ(store.OpenKeyCount(), 0u);
}

// Strings of every shape come back as they were written, byte for byte: the registry adds a
// closing zero to a string it thinks unclosed when the memory after the data holds a zero, so
// each is written from many buffers and read back, odd sizes and strings ending in zeros among
// them.
TEST(RegStrings, EveryShapeComesBackByteForByte) {
    RegKeyDelete(Cu, Scratch);
    for (DWORD type : {REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ})
        for (size_t size = 1; size <= 24; ++size)
            for (int ending = 0; ending < 3; ++ending) {
                std::vector<BYTE> data(size, 0x41);
                // No zero, a zero byte last, a zero character last.
                if (ending >= 1)
                    data[size - 1] = 0;
                if (ending == 2 && size >= 2)
                    data[size - 2] = 0;
                for (int round = 0; round < 8; ++round) {
                    const std::wstring name = std::to_wstring(type) + L" " + std::to_wstring(size) +
                                              L" " + std::to_wstring(ending);
                    ASSERT_TRUE(RegDataWrite(Cu, Scratch, name, type, data));
                    DWORD read = 0;
                    std::vector<BYTE> back;
                    ASSERT_TRUE(RegDataRead(Cu, Scratch, name, read, back));
                    EXPECT_EQ(back, data) << Utf8Of(name);
                }
            }
    RegKeyDelete(Cu, Scratch);
}
