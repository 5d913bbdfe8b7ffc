// Binding of the hot-key library pOv.dll.
#include "uOvDll.h"

bool HookDllExists() {
    return false;
}

bool HookDllLoad() {
    return false;
}

void HookDllFree() {}
