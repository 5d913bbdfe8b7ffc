// The benchmark's scroll case: a page of thousands of programs, each with an icon of its own,
// dragged from its top to its end, and the time until the rows then on screen show their icons,
// against the time the first screen takes at the top.
#pragma once

#include <string>

class TFrmOvMain;

// Fills `folder` with `count` copies of `sampleExe`, binds page `page` of the shown main window
// to it and times `runs` rounds of: refresh, first screen's icons at the top, a drag of the
// scroll box to the end (every screen on the way painted, as the list paints while the box
// moves), last screen's icons. Prints each run and the medians.
void ScrollCase(TFrmOvMain& form, int page, const std::wstring& folder,
                const std::wstring& sampleExe, int count, int runs);
