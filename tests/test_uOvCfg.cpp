// Settings tree: first-run build and version stamp, on the in-memory store and the registry.
#include "uCmnError.h"
#include "uCmnReg.h"
#include "uOvCfg.h"
#include "uOvRegDef.h"
#include "uTestRegStores.h"

#include <gtest/gtest.h>

namespace {

using TNames = std::vector<std::wstring>;

const HKEY Cu = HKEY_CURRENT_USER;

TNames NamesOf(const std::wstring& key) {
    TNames names;
    RegValueNames(Cu, key, names);
    return names;
}

template <typename TEnv> class CfgTest : public testing::Test {
  protected:
    void SetUp() override { ProgramStateRemove(); }
    void TearDown() override {
        RegKeyDelete(Cu, OvKeyProduct);
        EXPECT_EQ(env_.OpenKeys(), 0u) << L"a key was left open";
    }
    TEnv env_;
};

using TStores = testing::Types<TMemStoreEnv, TWin32StoreEnv>;
TYPED_TEST_SUITE(CfgTest, TStores, TStoreEnvNames);

struct TSetting {
    const wchar_t* key;
    const wchar_t* name;
    const wchar_t* text; // null for an integer
    int32_t number;
};

const TSetting Defaults[] = {
    {OvKeySystem, L"Version", L"1.00.1", 0},
    {OvKeySystem, L"Copyright", L"Copyright (C) 2026 Velmora Software", 0},
    {OvKeySystem, L"Url", L"https://www.example.com/orvanta/", 0},
    {OvKeyConfig, L"UnInstall", L"", 0},
    {OvKeyConfig, L"LvwColWidth", L"", 0},
    {OvKeyConfig, L"LvwColSort", nullptr, 0},
    {OvKeyConfig, L"LvwColSortAscDec", nullptr, 1},
    {OvKeyConfig, L"LvwStyle", nullptr, 0},
    {OvKeyConfig, L"SelPage", nullptr, 1},
    {OvKeyConfig, L"OpenFileDir", L"c:\\windows", 0},
    {OvKeyOption, L"HookKey", nullptr, 0},
    {OvKeyOption, L"HookKeyNo", nullptr, 119},
    {OvKeyOption, L"ToolBarPos", nullptr, 0},
    {OvKeyOption, L"HideTaskbar", nullptr, 0},
    {OvKeyOption, L"HereMouse", nullptr, 0},
    {OvKeyOption, L"ToolBarPosTbl", L"上,下,右,左", 0},
    {OvKeyOption, L"HookKeyCharTbl",
     L"F1,F2,F3,F4,F5,F6,F7,F8,F9,F10,F11,F12,Pause,ScrollLock,CapsLock,Ctrl", 0},
    {OvKeyOption, L"HookKeyNoTbl", L"112,113,114,115,116,117,118,119,120,121,122,123,19,145,240,17",
     0},
    {OvKeyWindow, L"Top", nullptr, 0},
    {OvKeyWindow, L"Left", nullptr, 0},
    {OvKeyWindow, L"Width", nullptr, 0},
    {OvKeyWindow, L"Height", nullptr, 0},
};

} // namespace

TYPED_TEST(CfgTest, FirstRunBuildsExactlyTheDefaultTree) {
    // Left-overs of an earlier tree must not survive.
    RegStrWrite(Cu, std::wstring(OvKeyPagePrefix) + L"2", L"Item", L"c:\\x.txt");
    RegIntWrite(Cu, OvKeyConfig, L"SelPage", 2);
    RegStrWrite(Cu, OvKeyProduct, L"Stray", L"x");

    ASSERT_TRUE(ConfigTreeCreate());
    for (const TSetting& s : Defaults) {
        SCOPED_TRACE(s.name);
        if (s.text) {
            EXPECT_EQ(StoreValueType(Cu, s.key, s.name), REG_SZ);
            EXPECT_EQ(RegStrRead(Cu, s.key, s.name), s.text);
        } else {
            EXPECT_EQ(StoreValueType(Cu, s.key, s.name), REG_DWORD);
            EXPECT_EQ(RegIntRead(Cu, s.key, s.name), s.number);
        }
    }
    EXPECT_EQ(RegValueCount(Cu, OvKeyProduct), 0);
    EXPECT_EQ(RegSubKeyCount(Cu, OvKeyProduct), 5);
    EXPECT_EQ(RegValueCount(Cu, OvKeySystem), 3);
    EXPECT_EQ(RegValueCount(Cu, OvKeyConfig), 7);
    EXPECT_EQ(RegValueCount(Cu, OvKeyOption), 8);
    EXPECT_EQ(RegValueCount(Cu, OvKeyWindow), 4);
    EXPECT_EQ(RegValueCount(Cu, OvKeyData), 0);
    EXPECT_EQ(RegSubKeyCount(Cu, OvKeyData), 1);
    EXPECT_EQ(NamesOf(OvKeyFirstPage), (TNames{L""}));
    EXPECT_EQ(StoreValueType(Cu, OvKeyFirstPage, L""), REG_SZ);
    EXPECT_EQ(RegStrRead(Cu, OvKeyFirstPage, L""), L"");
    EXPECT_EQ(RegSubKeyCount(Cu, OvKeyFirstPage), 0);
    if (TypeParam::Ordered()) {
        EXPECT_EQ(NamesOf(OvKeyConfig),
                  (TNames{L"UnInstall", L"LvwColWidth", L"LvwColSort", L"LvwColSortAscDec",
                          L"LvwStyle", L"SelPage", L"OpenFileDir"}));
    }
}

TYPED_TEST(CfgTest, VersionUpdateRewritesOnlyTheOldStamp) {
    ASSERT_TRUE(ConfigTreeCreate());
    RegStrWrite(Cu, OvKeySystem, L"Version", L"1.00.0");
    EXPECT_TRUE(VersionUpdate());
    EXPECT_EQ(RegStrRead(Cu, OvKeySystem, L"Version"), L"1.00.1");
    EXPECT_EQ(RegValueCount(Cu, OvKeySystem), 3);

    for (const wchar_t* stamp : {L"1.00.0 ", L"1.00.2", L"1,00,0", L"1.00.00", L""}) {
        RegStrWrite(Cu, OvKeySystem, L"Version", stamp);
        EXPECT_TRUE(VersionUpdate());
        EXPECT_EQ(RegStrRead(Cu, OvKeySystem, L"Version"), stamp);
    }
    RegValueDelete(Cu, OvKeySystem, L"Version");
    EXPECT_TRUE(VersionUpdate());
    EXPECT_FALSE(RegValueExists(Cu, OvKeySystem, L"Version"));

    RegIntWrite(Cu, OvKeySystem, L"Version", 100);
    try {
        VersionUpdate();
        ADD_FAILURE() << L"a numeric stamp was accepted";
    } catch (const ERegError& e) {
        EXPECT_EQ(e.Message(), L"'Version' のデータ型が不正です");
    }

    RegKeyDelete(Cu, OvKeyProduct);
    EXPECT_TRUE(VersionUpdate());
    EXPECT_FALSE(RegKeyExists(Cu, OvKeyProduct));
}

namespace {

// Lets the Config key be created once (by the first group) and refuses every later open.
class TConfigLockedStore : public TMemRegStore {
  public:
    int configCreates = 0;

    LONG CreateKey(HKEY key, LPCWSTR subKey, PHKEY result, LPDWORD disposition) override {
        if (std::wstring(subKey) == std::wstring(OvKeyConfig).substr(1) && ++configCreates > 1)
            return ERROR_ACCESS_DENIED;
        return TMemRegStore::CreateKey(key, subKey, result, disposition);
    }
};

} // namespace

TEST(CfgFailure, AFailedGroupRunsToItsEndAndStopsTheBuild) {
    TConfigLockedStore store;
    TRegStoreScope scope(store);
    EXPECT_FALSE(ConfigTreeCreate());
    EXPECT_EQ(store.configCreates, 1 + 7);
    EXPECT_EQ(RegValueCount(Cu, OvKeySystem), 3);
    EXPECT_EQ(RegValueCount(Cu, OvKeyConfig), 0);
    EXPECT_EQ(RegValueCount(Cu, OvKeyOption), 0);
    EXPECT_EQ(RegSubKeyCount(Cu, OvKeyData), 0);
    EXPECT_EQ(RegValueCount(Cu, OvKeyWindow), 0);
    EXPECT_EQ(store.OpenKeyCount(), 0u);
}
