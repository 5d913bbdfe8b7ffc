// Check marks of the view-style menu: its four view entries and the separator (the refresh and
// insert entries below them never carry one).
#pragma once

#include <cstdint>

void ViewMenuUncheckAll();
void ViewMenuCheck(int32_t style);
void ViewMenuCheckedIndex(int32_t& style);
