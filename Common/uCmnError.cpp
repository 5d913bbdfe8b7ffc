// Error texts.
#include "uCmnError.h"

#include <windows.h>

#include <variant>
#include <vector>

namespace {

using TArg = std::variant<std::wstring, int>;

std::wstring Hex8(int value) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring text(8, L'0');
    auto u = static_cast<unsigned>(value);
    for (size_t i = 8; i-- > 0; u >>= 4)
        text[i] = digits[u & 15];
    return text;
}

std::wstring Format(const wchar_t* pattern, const std::vector<TArg>& args) {
    const std::wstring p = pattern ? pattern : L"";
    std::wstring out;
    size_t next = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        if (p[i] != L'%' || i + 1 >= p.size()) {
            out += p[i];
            continue;
        }
        if (p[i + 1] == L'%') {
            out += L'%';
            ++i;
            continue;
        }
        const bool hex = p.compare(i, 4, L"%.8x") == 0;
        const wchar_t kind = hex ? L'x' : p[i + 1];
        if ((kind != L's' && kind != L'd' && kind != L'x') || next >= args.size()) {
            out += p[i];
            continue;
        }
        const TArg& arg = args[next++];
        if (const auto* text = std::get_if<std::wstring>(&arg))
            out += *text;
        else if (hex)
            out += Hex8(std::get<int>(arg));
        else
            out += std::to_wstring(std::get<int>(arg));
        i += hex ? 3 : 1;
    }
    return out;
}

} // namespace

ECmnError::ECmnError(std::wstring message)
    : message_(std::move(message)), utf8_(Utf8Of(message_)) {}

std::wstring ErrorMessageOf(const std::exception& e) {
    const auto* own = dynamic_cast<const ECmnError*>(&e);
    return own ? own->Message() : WideOfUtf8(e.what());
}

std::wstring FormatMessageText(const wchar_t* pattern, const std::wstring& arg) {
    return Format(pattern, {arg});
}

std::wstring FormatMessageText(const wchar_t* pattern, int arg) {
    return Format(pattern, {arg});
}

std::wstring FormatMessageText(const wchar_t* pattern, std::initializer_list<int> args) {
    return Format(pattern, std::vector<TArg>(args.begin(), args.end()));
}

std::wstring FormatMessageText(const wchar_t* pattern, std::initializer_list<std::wstring> args) {
    return Format(pattern, std::vector<TArg>(args.begin(), args.end()));
}

std::string Utf8Of(const std::wstring& text) {
    if (text.empty())
        return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                              nullptr, nullptr);
    return out;
}

std::wstring WideOfUtf8(const std::string& text) {
    if (text.empty())
        return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                              n);
    return out;
}
