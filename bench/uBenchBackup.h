// The benchmark's backup case: the product tree of 50 pages of 1,000 items exported to a file and
// imported in its place, against reg.exe's export and import of the same tree.
#pragma once

#include <string>

// Fills the store with `pages` pages of `items` entries of `folder` each (unless it holds as many
// already), then times `runs` rounds of the four and prints their medians, the ratios and whether
// the targets (no slower than reg.exe) are met. False when an import changed the tree.
bool BackupCase(const std::wstring& folder, const std::wstring& scratch, int pages, int items,
                int runs);
