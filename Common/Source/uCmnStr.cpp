// String lists and numbers in text.
#include "uCmnStr.h"

#include "uCmnError.h"

#include <windows.h>

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

std::vector<std::string> CommaTextSplit(const std::string& text) {
    std::vector<std::string> list;
    const size_t n = text.size();
    size_t p = 0;
    auto skipBlanks = [&] {
        while (p < n && IsBlank(text[p]))
            ++p;
    };
    skipBlanks();
    while (p < n) {
        std::string entry;
        if (text[p] == '"') {
            ++p;
            while (p < n) {
                if (::IsDBCSLeadByte(static_cast<BYTE>(text[p])) && p + 1 < n) {
                    entry += text.substr(p, 2);
                    p += 2;
                } else if (text[p] == '"') {
                    if (p + 1 < n && text[p + 1] == '"') {
                        entry += '"';
                        p += 2;
                    } else {
                        ++p;
                        break;
                    }
                } else {
                    entry += text[p++];
                }
            }
        } else {
            size_t start = p;
            while (p < n && !IsBlank(text[p]) && text[p] != ',')
                ++p;
            entry = text.substr(start, p - start);
        }
        list.push_back(std::move(entry));
        skipBlanks();
        if (p < n && text[p] == ',') {
            ++p;
            skipBlanks();
            // An empty entry between two commas; a comma at the very end adds nothing.
            while (p < n && text[p] == ',') {
                list.emplace_back();
                ++p;
                skipBlanks();
            }
        }
    }
    return list;
}

int32_t StrToInt(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    size_t p = b;
    bool negative = false;
    if (p < e && (text[p] == '+' || text[p] == '-'))
        negative = text[p++] == '-';
    int64_t value = 0;
    bool ok = p < e;
    for (; ok && p < e; ++p) {
        if (text[p] < '0' || text[p] > '9') {
            ok = false;
            break;
        }
        value = value * 10 + (text[p] - '0');
        if (value > 2147483648LL)
            ok = false;
    }
    if (ok && (negative ? -value : value) >= INT32_MIN && (negative ? -value : value) <= INT32_MAX)
        return static_cast<int32_t>(negative ? -value : value);
    throw EConvertError(FormatMessageText("'%s' は整数ではありません", text));
}

const std::string& ListAt(const std::vector<std::string>& list, int index) {
    if (index < 0 || static_cast<size_t>(index) >= list.size())
        throw EListError(FormatMessageText("リストのインデックスが範囲を超えています (%d)", index));
    return list[static_cast<size_t>(index)];
}
