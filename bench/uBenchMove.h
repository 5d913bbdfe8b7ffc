// The benchmark's move case: the rows of a page of 1,000 items, all selected, moved to another
// page (as the row menu's entry moves them), against adding the same 1,000 files by a drop.
#pragma once

#include <string>

class TFrmOvMain;

// Appends two empty pages to the shown main window's store and times `runs` rounds of a drop of
// `items` entries of `folder` onto the first and their move to the second. Prints each round, the
// medians, their ratio and whether the target (at most 1.5 times the drop) is met; false when a
// move lost or doubled an item.
bool MoveCase(TFrmOvMain& form, const std::wstring& folder, int items, int runs);
