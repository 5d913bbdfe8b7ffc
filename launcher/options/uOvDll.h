// Binding of the hot-key library pOv.dll: load it once, start and stop its key delivery.
#pragma once

// True when "pOv.dll" exists in the program's own folder.
bool HookDllExists();
// Loads the library from the program's own folder and calls its set entry once; true
// when both entries were found or the library was bound before. Never binds twice.
bool HookDllLoad();
// Calls the reset entry if it was found, then unloads the library.
void HookDllFree();
