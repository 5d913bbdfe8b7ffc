// Pages and their items in the settings tree.
#include "uOvReg.h"

#include "uCmnReg.h"
#include "uOvRegDef.h"

#include <windows.h>

std::string PageKeyPath(int32_t page) {
    return std::string(OvKeyPagePrefix) + std::to_string(page);
}

int32_t PageCount() {
    return RegSubKeyCount(HKEY_CURRENT_USER, OvKeyData);
}
