// Key paths, value names and first-run defaults of the launcher's settings tree (under
// HKEY_CURRENT_USER).
#pragma once

#include <cstdint>

inline constexpr wchar_t OvKeyProduct[] = L"\\Software\\Velmora\\Orvanta";
inline constexpr wchar_t OvKeySystem[] = L"\\Software\\Velmora\\Orvanta\\System";
inline constexpr wchar_t OvKeyConfig[] = L"\\Software\\Velmora\\Orvanta\\Config";
inline constexpr wchar_t OvKeyOption[] = L"\\Software\\Velmora\\Orvanta\\Option";
inline constexpr wchar_t OvKeyWindow[] = L"\\Software\\Velmora\\Orvanta\\Window";
inline constexpr wchar_t OvKeyData[] = L"\\Software\\Velmora\\Orvanta\\Data";
// A page key is this prefix followed by the page number in decimal.
inline constexpr wchar_t OvKeyPagePrefix[] = L"\\Software\\Velmora\\Orvanta\\Data\\";
inline constexpr wchar_t OvKeyFirstPage[] = L"\\Software\\Velmora\\Orvanta\\Data\\1";

// System
inline constexpr wchar_t OvValVersion[] = L"Version";
inline constexpr wchar_t OvValCopyright[] = L"Copyright";
inline constexpr wchar_t OvValUrl[] = L"Url";
// Config
inline constexpr wchar_t OvValUnInstall[] = L"UnInstall";
inline constexpr wchar_t OvValLvwColWidth[] = L"LvwColWidth";
inline constexpr wchar_t OvValLvwColSort[] = L"LvwColSort";
inline constexpr wchar_t OvValLvwColSortAscDec[] = L"LvwColSortAscDec";
inline constexpr wchar_t OvValLvwStyle[] = L"LvwStyle";
inline constexpr wchar_t OvValSelPage[] = L"SelPage";
inline constexpr wchar_t OvValOpenFileDir[] = L"OpenFileDir";
// Option
inline constexpr wchar_t OvValHookKey[] = L"HookKey";
inline constexpr wchar_t OvValHookKeyNo[] = L"HookKeyNo";
inline constexpr wchar_t OvValToolBarPos[] = L"ToolBarPos";
inline constexpr wchar_t OvValHideTaskbar[] = L"HideTaskbar";
inline constexpr wchar_t OvValHereMouse[] = L"HereMouse";
inline constexpr wchar_t OvValToolBarPosTbl[] = L"ToolBarPosTbl";
inline constexpr wchar_t OvValHookKeyCharTbl[] = L"HookKeyCharTbl";
inline constexpr wchar_t OvValHookKeyNoTbl[] = L"HookKeyNoTbl";
// Window
inline constexpr wchar_t OvValTop[] = L"Top";
inline constexpr wchar_t OvValLeft[] = L"Left";
inline constexpr wchar_t OvValWidth[] = L"Width";
inline constexpr wchar_t OvValHeight[] = L"Height";
// A page key's default value (its folder path) has the empty name.
inline constexpr wchar_t OvValFolderPath[] = L"";
// Product key: set while a first run is under way, so a start after a first run cut short
// completes the tree (a DWORD 1; a program that does not know it never reads it).
inline constexpr wchar_t OvValFirstRun[] = L"FirstRun";
// The notification-area icon (Option key, a 0/1 number); absent in trees of earlier versions,
// which read as 0.
inline constexpr wchar_t OvValTrayIcon[] = L"TrayIcon";
// The hot key opens the search field (a 0/1 number under Option; absent: off).
inline constexpr wchar_t OvValHookSearch[] = L"HookSearch";
// Data key: the page move in progress, "from,to,phase" (phase 1 while the target is filled from
// the source, 2 while the source is removed), so a start after a move cut short finishes it. A
// value, never a page: pages are the Data key's subkeys.
inline constexpr wchar_t OvValPageMove[] = L"PageMove";
// A page's own settings, beside its items: a subkey of the page key, so the page key's values stay
// its folder and its items, and a page move or deletion carries them along. Its value Name is the
// page's name (a string; absent for a page without one).
inline constexpr wchar_t OvKeyPageOwn[] = L"Page";
inline constexpr wchar_t OvValPageName[] = L"Name";

inline constexpr wchar_t OvVersion[] = L"1.00.1";
// The one older stamp that VersionUpdate brings up to date.
inline constexpr wchar_t OvVersionOld[] = L"1.00.0";
inline constexpr wchar_t OvDefCopyright[] = L"Copyright (C) 2026 Velmora Software";
inline constexpr wchar_t OvDefUrl[] = L"https://www.example.com/orvanta/";

inline constexpr wchar_t OvDefUnInstall[] = L"";
inline constexpr wchar_t OvDefLvwColWidth[] = L"";
inline constexpr int32_t OvDefLvwColSort = 0;
inline constexpr int32_t OvDefLvwColSortAscDec = 1;
inline constexpr int32_t OvDefLvwStyle = 0;
inline constexpr int32_t OvDefSelPage = 1;
inline constexpr wchar_t OvDefOpenFileDir[] = L"c:\\windows";

inline constexpr bool OvDefHookKey = false;
inline constexpr int32_t OvDefHookKeyNo = 119; // F8
inline constexpr int32_t OvDefToolBarPos = 0;
inline constexpr bool OvDefHideTaskbar = false;
inline constexpr bool OvDefHereMouse = false;
// Captions of the toolbar positions 0 to 3: top, bottom, right, left.
inline constexpr wchar_t OvDefToolBarPosTbl[] = L"上,下,右,左";
// The sixteen hot-key choices, caption and key code entry for entry; 240 is the code of the
// Caps Lock key on a Japanese keyboard.
inline constexpr wchar_t OvDefHookKeyCharTbl[] =
    L"F1,F2,F3,F4,F5,F6,F7,F8,F9,F10,F11,F12,Pause,ScrollLock,CapsLock,Ctrl";
inline constexpr wchar_t OvDefHookKeyNoTbl[] =
    L"112,113,114,115,116,117,118,119,120,121,122,123,19,145,240,17";

// Page 1 of a new tree is an ordinary page: its folder path is empty.
inline constexpr wchar_t OvDefFolderPath[] = L"";

inline constexpr int32_t OvDefTop = 0;
inline constexpr int32_t OvDefLeft = 0;
inline constexpr int32_t OvDefWidth = 0;
inline constexpr int32_t OvDefHeight = 0;
