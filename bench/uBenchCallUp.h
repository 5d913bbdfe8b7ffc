// The benchmark's call-up case: the real program, minimised, called up by its hot key through its
// hook library, against the one-list window restored by a hot key of the system; and what is
// typed right after the hot key, with and without the option that opens the search with it.
#pragma once

#include <string>

// `bin` holds pOv.exe, pOv.dll and the benchmark's programs. Rewrites the settings tree. False
// when a typed trip did not start the program it named.
bool CallUpCase(const std::wstring& bin, int runs);
