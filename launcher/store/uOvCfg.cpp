// The settings tree's first-run build and version stamp update.
#include "uOvCfg.h"

#include "uCmnReg.h"
#include "uCmnRegStore.h"
#include "uOvRegDef.h"

#include <exception>
#include <vector>

namespace {

const HKEY Root = HKEY_CURRENT_USER;

// One value of the default tree: a string, an integer or a boolean.
struct TDefault {
    const wchar_t* key;
    const wchar_t* name;
    enum { Str, Int, Bool } kind;
    const wchar_t* text;
    int32_t number;
};

bool DefaultWrite(const TDefault& d) {
    switch (d.kind) {
    case TDefault::Str:
        return RegStrWrite(Root, d.key, d.name, d.text);
    case TDefault::Int:
        return RegIntWrite(Root, d.key, d.name, d.number);
    default:
        return RegBoolWrite(Root, d.key, d.name, d.number != 0);
    }
}

const wchar_t* const Keys[] = {OvKeyProduct, OvKeySystem, OvKeyConfig,
                               OvKeyOption,  OvKeyData,   OvKeyWindow};

// The groups of values in the order the first run writes them. Page 1's folder comes before
// its key is created again, so it is the key's first value, ahead of every later item.
struct TGroup {
    std::vector<TDefault> values;
    // A key created again after the values (it exists by then; the call changes nothing).
    const wchar_t* keyAfter = nullptr;
};

const std::vector<TGroup>& Groups() {
    static const std::vector<TGroup> groups = {
        {{{OvKeySystem, OvValVersion, TDefault::Str, OvVersion, 0},
          {OvKeySystem, OvValCopyright, TDefault::Str, OvDefCopyright, 0},
          {OvKeySystem, OvValUrl, TDefault::Str, OvDefUrl, 0}}},
        {{{OvKeyConfig, OvValUnInstall, TDefault::Str, OvDefUnInstall, 0},
          {OvKeyConfig, OvValLvwColWidth, TDefault::Str, OvDefLvwColWidth, 0},
          {OvKeyConfig, OvValLvwColSort, TDefault::Int, nullptr, OvDefLvwColSort},
          {OvKeyConfig, OvValLvwColSortAscDec, TDefault::Int, nullptr, OvDefLvwColSortAscDec},
          {OvKeyConfig, OvValLvwStyle, TDefault::Int, nullptr, OvDefLvwStyle},
          {OvKeyConfig, OvValSelPage, TDefault::Int, nullptr, OvDefSelPage},
          {OvKeyConfig, OvValOpenFileDir, TDefault::Str, OvDefOpenFileDir, 0}}},
        {{{OvKeyOption, OvValHookKey, TDefault::Bool, nullptr, OvDefHookKey},
          {OvKeyOption, OvValHookKeyNo, TDefault::Int, nullptr, OvDefHookKeyNo},
          {OvKeyOption, OvValToolBarPos, TDefault::Int, nullptr, OvDefToolBarPos},
          {OvKeyOption, OvValHideTaskbar, TDefault::Bool, nullptr, OvDefHideTaskbar},
          {OvKeyOption, OvValHereMouse, TDefault::Bool, nullptr, OvDefHereMouse},
          {OvKeyOption, OvValToolBarPosTbl, TDefault::Str, OvDefToolBarPosTbl, 0},
          {OvKeyOption, OvValHookKeyCharTbl, TDefault::Str, OvDefHookKeyCharTbl, 0},
          {OvKeyOption, OvValHookKeyNoTbl, TDefault::Str, OvDefHookKeyNoTbl, 0}}},
        {{{OvKeyFirstPage, OvValFolderPath, TDefault::Str, OvDefFolderPath, 0}}, OvKeyFirstPage},
        {{{OvKeyWindow, OvValTop, TDefault::Int, nullptr, OvDefTop},
          {OvKeyWindow, OvValLeft, TDefault::Int, nullptr, OvDefLeft},
          {OvKeyWindow, OvValWidth, TDefault::Int, nullptr, OvDefWidth},
          {OvKeyWindow, OvValHeight, TDefault::Int, nullptr, OvDefHeight}}},
    };
    return groups;
}

// Every step of a group runs whatever the steps before it gave; the group fails if any did.
bool KeysGroup() {
    bool ok = true;
    for (const wchar_t* key : Keys)
        ok &= RegKeyCreate(Root, key);
    return ok;
}

bool ValuesGroup(const TGroup& group) {
    bool ok = true;
    for (const TDefault& d : group.values)
        ok &= DefaultWrite(d);
    if (group.keyAfter)
        ok &= RegKeyCreate(Root, group.keyAfter);
    return ok;
}

} // namespace

bool ConfigTreeCreate() {
    RegKeyDelete(Root, OvKeyProduct);
    // Marked as under way from the first write to the last: a first run cut short is completed
    // by the next start (ConfigTreeComplete) rather than left short of defaults for good.
    RegBoolWrite(Root, OvKeyProduct, OvValFirstRun, true);
    if (!KeysGroup())
        return false;
    for (const TGroup& group : Groups())
        if (!ValuesGroup(group))
            return false;
    RegValueDelete(Root, OvKeyProduct, OvValFirstRun);
    return true;
}

bool ConfigTreeEnsure() {
    // A product key with nothing in it is a first run killed between creating the key and
    // marking it: nothing there can be the user's.
    if (!RegKeyExists(Root, OvKeyProduct) ||
        (RegValueCount(Root, OvKeyProduct) == 0 && RegSubKeyCount(Root, OvKeyProduct) == 0))
        return ConfigTreeCreate();
    return ConfigTreeComplete();
}

bool FirstRunDue() {
    return !RegKeyExists(Root, OvKeyProduct) ||
           (RegValueCount(Root, OvKeyProduct) == 0 && RegSubKeyCount(Root, OvKeyProduct) == 0) ||
           RegValueExists(Root, OvKeyProduct, OvValFirstRun);
}

bool ConfigTreeComplete() {
    if (!RegValueExists(Root, OvKeyProduct, OvValFirstRun))
        return true;
    bool ok = true;
    for (const wchar_t* key : Keys)
        if (!RegKeyExists(Root, key))
            ok &= RegKeyCreate(Root, key);
    for (const TGroup& group : Groups())
        for (const TDefault& d : group.values)
            if (!RegValueExists(Root, d.key, d.name))
                ok &= DefaultWrite(d);
    if (ok)
        RegValueDelete(Root, OvKeyProduct, OvValFirstRun);
    return ok;
}

bool VersionUpdate() {
    if (RegStrRead(Root, OvKeySystem, OvValVersion) == OvVersionOld)
        RegStrWrite(Root, OvKeySystem, OvValVersion, OvVersion);
    return true;
}

unsigned long SettingType(const std::wstring& key, const std::wstring& name) {
    // Letter case aside, as the store compares names.
    auto same = [](const std::wstring& a, const wchar_t* b) { return RegNameEqual(a, b); };
    for (const TGroup& group : Groups())
        for (const TDefault& d : group.values)
            if (same(key, d.key) && same(name, d.name))
                return d.kind == TDefault::Str ? REG_SZ : REG_DWORD;
    if (same(key, OvKeyOption) && (same(name, OvValTrayIcon) || same(name, OvValHookSearch)))
        return REG_DWORD;
    if (same(key, OvKeyProduct) && same(name, OvValFirstRun))
        return REG_DWORD;
    if (same(key, OvKeyData) && same(name, OvValPageMove))
        return REG_SZ;
    return REG_NONE;
}

bool OptionFlagRead(const wchar_t* name) {
    try {
        return RegValueExists(Root, OvKeyOption, name) && RegBoolRead(Root, OvKeyOption, name);
    } catch (const std::exception&) {
        return false;
    }
}
