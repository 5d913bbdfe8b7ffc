// The texts of a row's size, date and type: pure, for the rows and their tests.
#pragma once

#include <cstdint>
#include <string>

// The user's locale settings that the size and date texts use.
struct TLocaleTexts {
    std::wstring thousands = L",";
    std::wstring timeSeparator = L":";
    std::wstring am = L"午前";
    std::wstring pm = L"午後";
    // Abbreviated weekday names, Monday first (the platform's order).
    std::wstring weekdays[7] = {L"月", L"火", L"水", L"木", L"金", L"土", L"日"};
};
// The user's locale settings, read once.
const TLocaleTexts& LocaleTexts();

// Kilobytes, truncated, digits grouped by three, "KB" appended: 5,000,000 bytes give "4,882KB".
std::wstring SizeText(int64_t bytes, const std::wstring& thousands);
// "yyyy年 mm月 dd日(aaa)  ampm hh:mm" from an MS-DOS local date-time, on the 12-hour clock.
std::wstring DateText(uint32_t dosTime, const TLocaleTexts& locale);
// The registered type name of the path's extension (two look-ups under HKEY_CLASSES_ROOT).
std::wstring TypeText(const std::wstring& path);
