// Error texts.
#include "uCmnError.h"

#include <cstdio>
#include <vector>

std::string FormatMessageText(const char* pattern, const std::string& arg) {
    int n = std::snprintf(nullptr, 0, pattern, arg.c_str());
    if (n < 0)
        return pattern;
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::snprintf(buf.data(), buf.size(), pattern, arg.c_str());
    return std::string(buf.data(), static_cast<size_t>(n));
}

std::string FormatMessageText(const char* pattern, int arg) {
    int n = std::snprintf(nullptr, 0, pattern, arg);
    if (n < 0)
        return pattern;
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::snprintf(buf.data(), buf.size(), pattern, arg);
    return std::string(buf.data(), static_cast<size_t>(n));
}
