// Check marks of the view-style menu: its four view entries and the separator (the refresh and
// insert entries below them never carry one).
#pragma once

#include <windows.h>

#include <cstdint>

// Each works on `menu`, the view-style menu.
void ViewMenuUncheckAll(HMENU menu);
void ViewMenuCheck(HMENU menu, int32_t style);
void ViewMenuCheckedIndex(HMENU menu, int32_t& style);
