// Settings tree: first-run build and version stamp, on the in-memory store and the registry.
#include "uCmnError.h"
#include "uCmnReg.h"
#include "uOvCfg.h"
#include "uOvRegDef.h"
#include "uTestRegStores.h"

#include <gtest/gtest.h>

namespace {

using TNames = std::vector<std::string>;

const HKEY Cu = HKEY_CURRENT_USER;

TNames NamesOf(const std::string& key) {
    TNames names;
    RegValueNames(Cu, key, names);
    return names;
}

template <typename TEnv> class CfgTest : public testing::Test {
  protected:
    void SetUp() override { RegKeyDelete(Cu, OvKeyProduct); }
    void TearDown() override {
        RegKeyDelete(Cu, OvKeyProduct);
        EXPECT_EQ(env_.OpenKeys(), 0u) << "a key was left open";
    }
    TEnv env_;
};

using TStores = testing::Types<TMemStoreEnv, TWin32StoreEnv>;
TYPED_TEST_SUITE(CfgTest, TStores, TStoreEnvNames);

struct TSetting {
    const char* key;
    const char* name;
    const char* text; // null for an integer
    int32_t number;
};

const TSetting Defaults[] = {
    {OvKeySystem, "Version", "1.00.1", 0},
    {OvKeySystem, "Copyright", "Copyright (C) 2026 Velmora Software", 0},
    {OvKeySystem, "Url", "https://www.example.com/orvanta/", 0},
    {OvKeyConfig, "UnInstall", "", 0},
    {OvKeyConfig, "LvwColWidth", "", 0},
    {OvKeyConfig, "LvwColSort", nullptr, 0},
    {OvKeyConfig, "LvwColSortAscDec", nullptr, 1},
    {OvKeyConfig, "LvwStyle", nullptr, 0},
    {OvKeyConfig, "SelPage", nullptr, 1},
    {OvKeyConfig, "OpenFileDir", "c:\\windows", 0},
    {OvKeyOption, "HookKey", nullptr, 0},
    {OvKeyOption, "HookKeyNo", nullptr, 119},
    {OvKeyOption, "ToolBarPos", nullptr, 0},
    {OvKeyOption, "HideTaskbar", nullptr, 0},
    {OvKeyOption, "HereMouse", nullptr, 0},
    {OvKeyOption, "ToolBarPosTbl", "上,下,右,左", 0},
    {OvKeyOption, "HookKeyCharTbl",
     "F1,F2,F3,F4,F5,F6,F7,F8,F9,F10,F11,F12,Pause,ScrollLock,CapsLock,Ctrl", 0},
    {OvKeyOption, "HookKeyNoTbl", "112,113,114,115,116,117,118,119,120,121,122,123,19,145,240,17",
     0},
    {OvKeyWindow, "Top", nullptr, 0},
    {OvKeyWindow, "Left", nullptr, 0},
    {OvKeyWindow, "Width", nullptr, 0},
    {OvKeyWindow, "Height", nullptr, 0},
};

} // namespace

TYPED_TEST(CfgTest, FirstRunBuildsExactlyTheDefaultTree) {
    // Left-overs of an earlier tree must not survive.
    RegStrWrite(Cu, std::string(OvKeyPagePrefix) + "2", "Item", "c:\\x.txt");
    RegIntWrite(Cu, OvKeyConfig, "SelPage", 2);
    RegStrWrite(Cu, OvKeyProduct, "Stray", "x");

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
    EXPECT_EQ(NamesOf(OvKeyFirstPage), (TNames{""}));
    EXPECT_EQ(StoreValueType(Cu, OvKeyFirstPage, ""), REG_SZ);
    EXPECT_EQ(RegStrRead(Cu, OvKeyFirstPage, ""), "");
    EXPECT_EQ(RegSubKeyCount(Cu, OvKeyFirstPage), 0);
    if (TypeParam::Ordered()) {
        EXPECT_EQ(NamesOf(OvKeyConfig),
                  (TNames{"UnInstall", "LvwColWidth", "LvwColSort", "LvwColSortAscDec", "LvwStyle",
                          "SelPage", "OpenFileDir"}));
    }
}

TYPED_TEST(CfgTest, VersionUpdateRewritesOnlyTheOldStamp) {
    ASSERT_TRUE(ConfigTreeCreate());
    RegStrWrite(Cu, OvKeySystem, "Version", "1.00.0");
    EXPECT_TRUE(VersionUpdate());
    EXPECT_EQ(RegStrRead(Cu, OvKeySystem, "Version"), "1.00.1");
    EXPECT_EQ(RegValueCount(Cu, OvKeySystem), 3);

    for (const char* stamp : {"1.00.0 ", "1.00.2", "1,00,0", "1.00.00", ""}) {
        RegStrWrite(Cu, OvKeySystem, "Version", stamp);
        EXPECT_TRUE(VersionUpdate());
        EXPECT_EQ(RegStrRead(Cu, OvKeySystem, "Version"), stamp);
    }
    RegValueDelete(Cu, OvKeySystem, "Version");
    EXPECT_TRUE(VersionUpdate());
    EXPECT_FALSE(RegValueExists(Cu, OvKeySystem, "Version"));

    RegIntWrite(Cu, OvKeySystem, "Version", 100);
    try {
        VersionUpdate();
        ADD_FAILURE() << "a numeric stamp was accepted";
    } catch (const ERegError& e) {
        EXPECT_EQ(e.Message(), "'Version' のデータ型が不正です");
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

    LONG CreateKey(HKEY key, LPCSTR subKey, PHKEY result, LPDWORD disposition) override {
        if (std::string(subKey) == std::string(OvKeyConfig).substr(1) && ++configCreates > 1)
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
