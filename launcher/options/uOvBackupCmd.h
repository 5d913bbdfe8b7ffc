// The options dialog's backup buttons: the whole tree exported to a file chosen in the save
// dialog, and a file chosen in the open dialog imported after the user has seen what it holds.
#pragma once

#include <windows.h>

enum class TImportDone { None, Replaced, Appended };

// Writes the tree to the chosen file (a file already there is replaced only once the new one is
// whole). A failure (a key that cannot be read, a name no file can carry, a write refused) gets a
// box naming the file and leaves no file, or the one that was there, as it was.
void BackupExportRun(HWND owner);
// Reads the chosen file, shows what it holds and carries out the choice: the tree replaced, the
// file's pages appended, or nothing. A bad file gets one box saying what is wrong and where, and
// changes nothing.
TImportDone BackupImportRun(HWND owner);
