// The benchmark's start-up case: the launcher with an empty page and with a page of many items,
// a blank window program and a window holding one list control, each started by turns, from
// CreateProcess until the window is visible and the program idle.
#pragma once

#include <string>

// Starts bin\pOv.exe, bin\ovbench_blank.exe and bin\ovbench_list.exe `runs` rounds, the launcher on
// an empty page and on a page of `items` entries of `folder`, and prints the medians and their
// ratios. Rewrites the settings tree.
void StartCase(const std::wstring& bin, const std::wstring& folder, int items, int runs);
