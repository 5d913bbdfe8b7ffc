// The benchmark's cases of large amounts: 50,000 rows all selected (a column click, Delete's
// collection of the rows, the row menu), and a folder of 10,000 files dropped as a new page (the
// longest the window leaves a message unanswered, and the time until the page is whole).
#pragma once

#include <string>

class TFrmOvMain;

// Times `runs` rounds of each selection step on `rows` rows filled into the shown window's list;
// prints each step against its target (100 ms beyond the command's own work).
void SelectionCase(TFrmOvMain& form, int rows, int runs);
// Drops `folder` as a new page `runs` times while another thread sends the window a message every
// few milliseconds; prints the longest wait for an answer and the time until the page is whole.
// False when a page ended other than its folder's listing.
bool FolderDropCase(TFrmOvMain& form, const std::wstring& folder, int runs);
