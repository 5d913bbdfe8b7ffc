// The settings tree's first-run build and version stamp update.
#include "uOvCfg.h"

#include "uCmnReg.h"
#include "uOvRegDef.h"

namespace {

const HKEY Root = HKEY_CURRENT_USER;

// Every step of a group runs whatever the steps before it gave; the group fails if any did.
bool KeysGroup() {
    RegKeyDelete(Root, OvKeyProduct);
    bool ok = true;
    for (const char* key :
         {OvKeyProduct, OvKeySystem, OvKeyConfig, OvKeyOption, OvKeyData, OvKeyWindow})
        ok &= RegKeyCreate(Root, key);
    return ok;
}

bool SystemGroup() {
    bool ok = true;
    ok &= RegStrWrite(Root, OvKeySystem, OvValVersion, OvVersion);
    ok &= RegStrWrite(Root, OvKeySystem, OvValCopyright, OvDefCopyright);
    ok &= RegStrWrite(Root, OvKeySystem, OvValUrl, OvDefUrl);
    return ok;
}

bool ConfigGroup() {
    bool ok = true;
    ok &= RegStrWrite(Root, OvKeyConfig, OvValUnInstall, OvDefUnInstall);
    ok &= RegStrWrite(Root, OvKeyConfig, OvValLvwColWidth, OvDefLvwColWidth);
    ok &= RegIntWrite(Root, OvKeyConfig, OvValLvwColSort, OvDefLvwColSort);
    ok &= RegIntWrite(Root, OvKeyConfig, OvValLvwColSortAscDec, OvDefLvwColSortAscDec);
    ok &= RegIntWrite(Root, OvKeyConfig, OvValLvwStyle, OvDefLvwStyle);
    ok &= RegIntWrite(Root, OvKeyConfig, OvValSelPage, OvDefSelPage);
    ok &= RegStrWrite(Root, OvKeyConfig, OvValOpenFileDir, OvDefOpenFileDir);
    return ok;
}

bool OptionGroup() {
    bool ok = true;
    ok &= RegBoolWrite(Root, OvKeyOption, OvValHookKey, OvDefHookKey);
    ok &= RegIntWrite(Root, OvKeyOption, OvValHookKeyNo, OvDefHookKeyNo);
    ok &= RegIntWrite(Root, OvKeyOption, OvValToolBarPos, OvDefToolBarPos);
    ok &= RegBoolWrite(Root, OvKeyOption, OvValHideTaskbar, OvDefHideTaskbar);
    ok &= RegBoolWrite(Root, OvKeyOption, OvValHereMouse, OvDefHereMouse);
    ok &= RegStrWrite(Root, OvKeyOption, OvValToolBarPosTbl, OvDefToolBarPosTbl);
    ok &= RegStrWrite(Root, OvKeyOption, OvValHookKeyCharTbl, OvDefHookKeyCharTbl);
    ok &= RegStrWrite(Root, OvKeyOption, OvValHookKeyNoTbl, OvDefHookKeyNoTbl);
    return ok;
}

// The default value is written first, so it precedes every item the page gets later.
bool FirstPageGroup() {
    bool ok = true;
    ok &= RegStrWrite(Root, OvKeyFirstPage, OvValFolderPath, OvDefFolderPath);
    ok &= RegKeyCreate(Root, OvKeyFirstPage);
    return ok;
}

bool WindowGroup() {
    bool ok = true;
    ok &= RegIntWrite(Root, OvKeyWindow, OvValTop, OvDefTop);
    ok &= RegIntWrite(Root, OvKeyWindow, OvValLeft, OvDefLeft);
    ok &= RegIntWrite(Root, OvKeyWindow, OvValWidth, OvDefWidth);
    ok &= RegIntWrite(Root, OvKeyWindow, OvValHeight, OvDefHeight);
    return ok;
}

} // namespace

bool ConfigTreeCreate() {
    return KeysGroup() && SystemGroup() && ConfigGroup() && OptionGroup() && FirstPageGroup() &&
           WindowGroup();
}

bool VersionUpdate() {
    if (RegStrRead(Root, OvKeySystem, OvValVersion) == OvVersionOld)
        RegStrWrite(Root, OvKeySystem, OvValVersion, OvVersion);
    return true;
}
