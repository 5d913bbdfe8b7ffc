// The settings tree's first-run build and version stamp update, run at start-up.
#pragma once

#include <string>

// Deletes the product key and builds the tree anew with its defaults, group by group; a group
// with a failed write (its key could be neither opened nor created) ends the build: false. The
// build is marked as under way (OvValFirstRun) from its first write to its last.
bool ConfigTreeCreate();
// The start's first-run check: a missing (or empty) product key is built with ConfigTreeCreate,
// a first run that was cut short is completed; any other tree is left as it is.
bool ConfigTreeEnsure();
// True when the next ConfigTreeEnsure builds or completes the tree: this start is a first run.
bool FirstRunDue();
// Completes a first run that was cut short: writes every default key and value that is missing,
// overwriting none that exists, then clears the mark. Does nothing to an unmarked tree, whose
// missing values stay missing. False when a write failed (the mark then stays).
bool ConfigTreeComplete();
// The type of a setting the program reads (REG_SZ or REG_DWORD), by its key and name; REG_NONE
// for a value the program does not know.
unsigned long SettingType(const std::wstring& key, const std::wstring& name);
// An option that earlier versions do not write (OvValTrayIcon, OvValHookSearch), a 0/1 number
// under Option: absent, or of another type, it reads as off, and 設定 writes it anew.
bool OptionFlagRead(const wchar_t* name);
// Rewrites the stamp "1.00.0" as the current version; any other stamp stays. Always true.
bool VersionUpdate();
