// Key paths, value names and first-run defaults of the launcher's settings tree (under
// HKEY_CURRENT_USER).
#pragma once

#include <cstdint>

inline constexpr char OvKeyProduct[] = "\\Software\\Velmora\\Orvanta";
inline constexpr char OvKeySystem[] = "\\Software\\Velmora\\Orvanta\\System";
inline constexpr char OvKeyConfig[] = "\\Software\\Velmora\\Orvanta\\Config";
inline constexpr char OvKeyOption[] = "\\Software\\Velmora\\Orvanta\\Option";
inline constexpr char OvKeyWindow[] = "\\Software\\Velmora\\Orvanta\\Window";
inline constexpr char OvKeyData[] = "\\Software\\Velmora\\Orvanta\\Data";
// A page key is this prefix followed by the page number in decimal.
inline constexpr char OvKeyPagePrefix[] = "\\Software\\Velmora\\Orvanta\\Data\\";
inline constexpr char OvKeyFirstPage[] = "\\Software\\Velmora\\Orvanta\\Data\\1";

// System
inline constexpr char OvValVersion[] = "Version";
inline constexpr char OvValCopyright[] = "Copyright";
inline constexpr char OvValUrl[] = "Url";
// Config
inline constexpr char OvValUnInstall[] = "UnInstall";
inline constexpr char OvValLvwColWidth[] = "LvwColWidth";
inline constexpr char OvValLvwColSort[] = "LvwColSort";
inline constexpr char OvValLvwColSortAscDec[] = "LvwColSortAscDec";
inline constexpr char OvValLvwStyle[] = "LvwStyle";
inline constexpr char OvValSelPage[] = "SelPage";
inline constexpr char OvValOpenFileDir[] = "OpenFileDir";
// Option
inline constexpr char OvValHookKey[] = "HookKey";
inline constexpr char OvValHookKeyNo[] = "HookKeyNo";
inline constexpr char OvValToolBarPos[] = "ToolBarPos";
inline constexpr char OvValHideTaskbar[] = "HideTaskbar";
inline constexpr char OvValHereMouse[] = "HereMouse";
inline constexpr char OvValToolBarPosTbl[] = "ToolBarPosTbl";
inline constexpr char OvValHookKeyCharTbl[] = "HookKeyCharTbl";
inline constexpr char OvValHookKeyNoTbl[] = "HookKeyNoTbl";
// Window
inline constexpr char OvValTop[] = "Top";
inline constexpr char OvValLeft[] = "Left";
inline constexpr char OvValWidth[] = "Width";
inline constexpr char OvValHeight[] = "Height";
// A page key's default value (its folder path) has the empty name.
inline constexpr char OvValFolderPath[] = "";
// Product key: set while a first run is under way, so a start after a first run cut short
// completes the tree (a DWORD 1; a program that does not know it never reads it).
inline constexpr char OvValFirstRun[] = "FirstRun";
// Data key: the page move in progress, "from,to,phase" (phase 1 while the target is filled from
// the source, 2 while the source is removed), so a start after a move cut short finishes it. A
// value, never a page: pages are the Data key's subkeys.
inline constexpr char OvValPageMove[] = "PageMove";

inline constexpr char OvVersion[] = "1.00.1";
// The one older stamp that VersionUpdate brings up to date.
inline constexpr char OvVersionOld[] = "1.00.0";
inline constexpr char OvDefCopyright[] = "Copyright (C) 2026 Velmora Software";
inline constexpr char OvDefUrl[] = "https://www.example.com/orvanta/";

inline constexpr char OvDefUnInstall[] = "";
inline constexpr char OvDefLvwColWidth[] = "";
inline constexpr int32_t OvDefLvwColSort = 0;
inline constexpr int32_t OvDefLvwColSortAscDec = 1;
inline constexpr int32_t OvDefLvwStyle = 0;
inline constexpr int32_t OvDefSelPage = 1;
inline constexpr char OvDefOpenFileDir[] = "c:\\windows";

inline constexpr bool OvDefHookKey = false;
inline constexpr int32_t OvDefHookKeyNo = 119; // F8
inline constexpr int32_t OvDefToolBarPos = 0;
inline constexpr bool OvDefHideTaskbar = false;
inline constexpr bool OvDefHereMouse = false;
// Captions of the toolbar positions 0 to 3: top, bottom, right, left.
inline constexpr char OvDefToolBarPosTbl[] = "上,下,右,左";
// The sixteen hot-key choices, caption and key code entry for entry; 240 is the code of the
// Caps Lock key on a Japanese keyboard.
inline constexpr char OvDefHookKeyCharTbl[] =
    "F1,F2,F3,F4,F5,F6,F7,F8,F9,F10,F11,F12,Pause,ScrollLock,CapsLock,Ctrl";
inline constexpr char OvDefHookKeyNoTbl[] =
    "112,113,114,115,116,117,118,119,120,121,122,123,19,145,240,17";

// Page 1 of a new tree is an ordinary page: its folder path is empty.
inline constexpr char OvDefFolderPath[] = "";

inline constexpr int32_t OvDefTop = 0;
inline constexpr int32_t OvDefLeft = 0;
inline constexpr int32_t OvDefWidth = 0;
inline constexpr int32_t OvDefHeight = 0;
