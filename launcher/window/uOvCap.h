// Fixed texts: main window captions, options dialog texts and values, status bar panels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class TFrmOvMain;
class TFrmOvOptn;

// Application title, window caption, button captions and hints, menu captions and the five
// list columns, in that order.
void CaptionsSet(TFrmOvMain& form);

// The options dialog's texts, its two lists (key names, toolbar positions) and the
// application's icon.
void OptionCaptionsSet(TFrmOvOptn& form);
// The options dialog's stored values: the three boxes (the two window boxes only with the hot
// key on) and the selections of both lists.
void OptionValuesLoad(TFrmOvOptn& form);

// Text of the status bar's page panel: page, number of pages, the page's name (shortened) when
// it has one, and number of items.
std::wstring StatusPageText(int32_t page, int32_t pageTotal, int32_t itemCount,
                            const std::wstring& name = L"");
// Works out what the status bar shows from the store: the page panel's text with the page's
// name and item count, and a folder page's path (its icon, when another folder's was shown last,
// in idle time); and the caption with the page's name. Run whenever the page or its items change,
// never at a paint; raises as the store look-ups do.
void StatusPanelsUpdate(TFrmOvMain& form);
// Loads the icon of the folder the status bar shows, when StatusPanelsUpdate left it to be
// loaded, and repaints the panel; false when there was nothing to load. Idle work.
bool StatusFolderIconLoad(TFrmOvMain& form);
// Paints one status bar panel as StatusPanelsUpdate last left it: 0 the page panel, 1 a folder
// page's icon and path. Touches neither the store nor the disk.
void StatusPanelPaint(const TFrmOvMain& form, int32_t panel, HDC dc, const RECT& rect);
