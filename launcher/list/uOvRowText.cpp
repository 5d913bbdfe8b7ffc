// The texts of a row's size, date and type.
#include "uOvRowText.h"

#include "uCmnFile.h"
#include "uCmnReg.h"

#include <windows.h>

namespace {

std::wstring LocaleInfo(LCTYPE type, const wchar_t* fallback) {
    wchar_t buf[80] = {};
    int n = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buf, 80);
    return n > 1 ? std::wstring(buf) : std::wstring(fallback);
}

// A number of at least `width` digits, zeros in front.
std::wstring Digits(int value, size_t width) {
    std::wstring text = std::to_wstring(value);
    return text.size() < width ? std::wstring(width - text.size(), L'0') + text : text;
}

} // namespace

const TLocaleTexts& LocaleTexts() {
    static const TLocaleTexts texts = [] {
        TLocaleTexts t;
        t.thousands = LocaleInfo(LOCALE_STHOUSAND, L",");
        t.timeSeparator = LocaleInfo(LOCALE_STIME, L":");
        t.am = LocaleInfo(LOCALE_S1159, L"AM");
        t.pm = LocaleInfo(LOCALE_S2359, L"PM");
        for (int i = 0; i < 7; ++i)
            t.weekdays[i] = LocaleInfo(static_cast<LCTYPE>(LOCALE_SABBREVDAYNAME1 + i), L"");
        return t;
    }();
    return texts;
}

std::wstring SizeText(int64_t bytes, const std::wstring& thousands) {
    std::wstring digits = std::to_wstring(bytes / 1024);
    size_t first = digits[0] == L'-' ? 1 : 0;
    std::wstring text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > first && (digits.size() - i) % 3 == 0)
            text += thousands;
        text += digits[i];
    }
    return text + L"KB";
}

std::wstring DateText(uint32_t dosTime, const TLocaleTexts& locale) {
    int year = static_cast<int>(dosTime >> 25) + 1980;
    int month = static_cast<int>((dosTime >> 21) & 0x0F);
    int day = static_cast<int>((dosTime >> 16) & 0x1F);
    int hour = static_cast<int>((dosTime >> 11) & 0x1F);
    int minute = static_cast<int>((dosTime >> 5) & 0x3F);
    // Day of the week, 0 = Sunday (Sakamoto's method).
    static const int offsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    int y = month < 3 ? year - 1 : year;
    int sunday0 = (y + y / 4 - y / 100 + y / 400 + offsets[(month + 11) % 12] + day) % 7;
    const std::wstring& weekday = locale.weekdays[(sunday0 + 6) % 7];
    int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    std::wstring text =
        Digits(year, 4) + L"年 " + Digits(month, 2) + L"月 " + Digits(day, 2) + L"日(";
    text += weekday + L")  " + (hour < 12 ? locale.am : locale.pm) + L" ";
    return text + Digits(hour12, 2) + locale.timeSeparator + Digits(minute, 2);
}

std::wstring TypeText(const std::wstring& path) {
    // Without an extension or a class name there is nothing to look up: an empty key path
    // would read the root's own default value.
    std::wstring extension = PathExtension(path);
    if (extension.empty())
        return {};
    // An entry of another type is no type at all: one odd association must not stop the fill.
    std::wstring className = RegStrReadOrEmpty(HKEY_CLASSES_ROOT, extension, L"");
    if (className.empty())
        return {};
    return RegStrReadOrEmpty(HKEY_CLASSES_ROOT, className, L"");
}
