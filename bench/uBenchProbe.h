// The benchmark's probe: where a refresh and the first screen's icons spend their time.
#pragma once

#include <string>
#include <vector>

class TFrmOvMain;

// Times each stage of the refresh of `page` on the shown main window `runs` times (the store's
// enumeration, the listing, the comparison, the rows' texts, the fill, the sort, the paint) and
// the first screen's icons (the paints and the icon look-ups apart), and prints the medians.
void ProbeRefresh(TFrmOvMain& form, int page, const std::string& label, int runs);
// Times the icon look-ups of one file of each kind in `samples`: the calls the launcher makes
// and the shell's own answers, and prints the medians per file.
void ProbeIcons(const std::vector<std::wstring>& samples, int runs);
