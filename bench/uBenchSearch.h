// The benchmark's search case: 50 pages of 1,000 items, the index built at the first opening
// against reading every page from the store, and each typed letter until the results are in the
// list and painted, against a plain loop over the names and against the list's own refill of as
// many rows.
#pragma once

#include <string>

class TFrmOvMain;

// Replaces the pages of the shown main window by `pages` pages of `items` items each, whose paths
// are the entries of `folder` (at least `items` of them), and times `runs` rounds. Prints each
// figure, the medians, the ratios and whether the targets are met; false when the list showed
// other rows than a plain loop over the names finds. The pages are left in the store.
bool SearchCase(TFrmOvMain& form, const std::wstring& folder, int pages, int items, int runs);
