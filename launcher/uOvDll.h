// Binding of the hot-key library pOv.dll: load it once, start and stop its key delivery.
#pragma once

// True when a file named "pOv.dll" exists in the current directory.
bool HookDllExists();
// Loads the library through the platform's library search and calls its set entry once; true
// when both entries were found or the library was bound before. Never binds twice.
bool HookDllLoad();
// Calls the reset entry if it was found, then unloads the library.
void HookDllFree();
