// The launcher's look at a display scale: its font and its artwork (toolbar strip, logo) at the
// size a DPI asks for, from the versions drawn for 100 % to 200 %.
#pragma once

#include <windows.h>

// The user interface's font, "ＭＳ Ｐゴシック" 12 pixels high at 96 DPI, at `dpi`.
HFONT InterfaceFontCreate(int dpi, bool underline = false);
// The toolbar strip (six buttons side by side, magenta transparent) with buttons of
// `imageSize` pixels: the version drawn for that size, else the next larger one shrunk, pixel
// for pixel so the transparent colour stays exact.
HBITMAP ToolBarStripLoad(int imageSize);
// The logo at width x height: the version drawn for that size, else the next larger one
// resampled smoothly.
HBITMAP LogoLoad(int width, int height);
