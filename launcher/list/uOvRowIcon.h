// The item list's icons: loaded only for the rows the list paints, in idle time, one image for
// the files that share their icons.
#pragma once

#include "uCmnIcon.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

// The image lists the rows' icons go into (the list's own, at `sizes`), which it empties: the
// rows ask for their icons again.
void ListImagesSet(HIMAGELIST large, HIMAGELIST small, const TIconSizes& sizes);
// Empties both image lists; the rows shown ask for their icons again.
void ListImagesReset();
// The image position of the row at list position `item`. A row whose icons are not loaded yet
// shows none and is put in line for ListIconsLoad: no file is touched here.
int ListRowImage(int item);
// Loads the icons of the rows in line, newest first, for about `budgetMs` milliseconds, and
// redraws each row; a row no longer on screen is passed over until it is painted again. True
// while rows are still waiting. An icon that cannot be read (a damaged shortcut) leaves its row
// blank and is reported once per fill.
bool ListIconsLoad(int budgetMs = 20);

// The small icon of the file at `path` at the rows' size, as a row of it shows it: icons that
// files share are looked up once for the window's life. Null for none; it lives as long as `own`
// and the list's icons do. Raises as FileIconsGet.
HICON ListIconSmall(const std::wstring& path, TIconPair& own);

// A fully transparent icon of size x size pixels, kept for the program's life: it stands in where a
// file yields only one of its two icons, so both image lists stay parallel.
HICON BlankIcon(int size);
