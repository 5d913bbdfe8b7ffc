// The options dialog's controls and their layout at any display scale. The layout's members are
// TFrmOvOptn's (uOvOptn declares them); this unit holds them and their helpers.
#pragma once

#include <windows.h>

// A right-aligned label over the logo keeps its right edge and widens to the left when its text
// needs more room than the layout gives it, instead of wrapping out of sight.
void LabelWidenLeft(HWND label);
