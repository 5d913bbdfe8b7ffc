// The main window's controls and their layout: creating them, placing them for the toolbar's
// edge, and laying everything out again at a display scale. The handlers are TFrmOvMain's
// (uOvMain declares them); this unit holds them and the layout's arithmetic.
#pragma once

#include <windows.h>

// Where the toolbar's band, the list and the status bar go in a client area of width x height,
// with the toolbar docked to `align` (0 top, 1 bottom, 2 right, 3 left; any other value the
// top), the band `bandHeight` high across or `bandWidth` wide down, the status bar
// `statusHeight` high at the bottom, and an open search field `searchHeight` high across the top
// of the list's place.
struct TMainLayout {
    RECT band, list, status, search;
};
TMainLayout MainLayoutCompute(int width, int height, int align, int bandWidth, int bandHeight,
                              int statusHeight, int searchHeight = 0);
