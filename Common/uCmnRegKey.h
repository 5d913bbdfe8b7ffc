// What the registry units (uCmnReg, uCmnRegData, uCmnRegValues) share and no other unit uses: an
// opened key, a value's raw data, the count of writes that stale memos go by, and the error they
// raise.
#pragma once

#include "uCmnRegStore.h"

#include <atomic>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace RegInternal {

// Far beyond the platform's longest names; stops a store that never stops asking for more.
inline constexpr size_t NameBufferLimit = size_t{1} << 20;

struct TRegData {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

// Writes made through the registry functions, so a memo of what a key held can tell that it may
// be stale even where the store's clock did not move.
std::atomic<uint64_t>& WriteCount();
// A string value's text: its UTF-16 code units up to the first zero one (an odd last byte, which
// no text writes, is left out).
std::wstring TextOf(const BYTE* data, size_t bytes);
[[noreturn]] void Fail(const wchar_t* pattern, const std::wstring& arg);
// A key path without its leading "\".
std::wstring Relative(const std::wstring& key);
TRegKey KeyOpen(HKEY parent, const std::wstring& sub);
TRegKey KeyCreate(HKEY parent, const std::wstring& sub);
LONG ValueRead(const TRegKey& key, const std::wstring& name, TRegData& value);
// Counts the write (WriteCount).
LONG ValueWrite(const TRegKey& key, const std::wstring& name, const TRegData& value);

} // namespace RegInternal
