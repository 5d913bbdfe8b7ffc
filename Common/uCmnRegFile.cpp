// The registry editor's file format: written and read.
#include "uCmnRegFile.h"

#include "uCmnReg.h"
#include "uCmnRegStore.h"
#include "uCmnStr.h"

#include <algorithm>
#include <cwchar>

namespace {

constexpr wchar_t Header[] = L"Windows Registry Editor Version 5.00";
// Where the editor wraps a line of bytes: a continuation after about 80 characters.
constexpr size_t WrapAt = 76;

std::wstring Hex2(BYTE b) {
    static const wchar_t digits[] = L"0123456789abcdef";
    return {digits[b >> 4], digits[b & 15]};
}

// A name or string in quotes: "\" and """ escaped, and a line break in a value's name as "\r" and
// "\n" (the form Wine's editor writes and both editors read), so that the name stays on its line.
std::wstring Quoted(const std::wstring& text) {
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        if (c == L'\r' || c == L'\n') {
            out += c == L'\r' ? L"\\r" : L"\\n";
            continue;
        }
        if (c == L'\\' || c == L'"')
            out += L'\\';
        out += c;
    }
    return out + L"\"";
}

// What no file can carry: a zero in a name (no reader takes one, and the registry's functions
// end a name there), and a line break in a key's name (a key's line has no escapes).
void WritableCheck(const std::wstring& name, bool key) {
    const wchar_t* refused = key ? L"\r\n" : L"";
    if (name.find(L'\0') != std::wstring::npos ||
        (*refused && name.find_first_of(refused) != std::wstring::npos))
        throw ERegFileError(0, FormatMessageText(key ? L"ファイルに書けない名前のキーがあります: %s"
                                                     : L"ファイルに書けない名前の値があります: %s",
                                                 TextShortened(name, 120)));
}

// A string the quoted form can carry: one zero at its end and no line break within.
bool PlainString(const TRegFileValue& v, std::wstring& text) {
    if (v.type != REG_SZ || v.data.size() % 2 != 0 || v.data.size() < 2)
        return false;
    text.assign(reinterpret_cast<const wchar_t*>(v.data.data()), v.data.size() / 2);
    if (text.back() != L'\0')
        return false;
    text.pop_back();
    return text.find_first_of(std::wstring(L"\r\n\0", 3)) == std::wstring::npos;
}

std::wstring ValueLine(const TRegFileValue& v) {
    WritableCheck(v.name, false);
    std::wstring line = v.name.empty() ? L"@=" : Quoted(v.name) + L"=";
    std::wstring text;
    if (PlainString(v, text))
        return line + Quoted(text);
    if (v.type == REG_DWORD && v.data.size() == 4) {
        wchar_t buf[16];
        const uint32_t n = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) |
                           (static_cast<uint32_t>(v.data[3]) << 24);
        std::swprintf(buf, 16, L"dword:%08x", n);
        return line + buf;
    }
    // The type in hexadecimal, as every reader reads it: hex(b) is REG_QWORD.
    wchar_t type[16];
    std::swprintf(type, 16, L"hex(%x):", static_cast<unsigned>(v.type));
    line += v.type == REG_BINARY ? L"hex:" : type;
    std::wstring out;
    for (size_t i = 0; i < v.data.size(); ++i) {
        line += Hex2(v.data[i]);
        if (i + 1 < v.data.size()) {
            line += L",";
            if (line.size() >= WrapAt) {
                out += line + L"\\\r\n";
                line = L"  ";
            }
        }
    }
    return out + line;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// A quoted string from `at` (on its opening quote); `at` ends past the closing quote.
bool QuotedRead(const std::wstring& line, size_t& at, std::wstring& out) {
    if (at >= line.size() || line[at] != L'"')
        return false;
    for (++at; at < line.size(); ++at) {
        wchar_t c = line[at];
        if (c == L'"') {
            ++at;
            return true;
        }
        if (c == L'\\') {
            if (++at >= line.size())
                return false;
            c = line[at];
            // The editor writes only these two escapes; a line break in a name is "\n" in
            // files of other writers.
            if (c == L'n')
                c = L'\n';
            else if (c == L'r')
                c = L'\r';
            else if (c == L'0')
                c = L'\0';
            else if (c != L'\\' && c != L'"')
                return false;
        }
        out += c;
    }
    return false;
}

} // namespace

ERegFileError::ERegFileError(size_t line, const std::wstring& message)
    : ECmnError(line ? FormatMessageText(L"%d 行目: %s", {std::to_wstring(line), message})
                     : message),
      line_(line) {}

std::wstring RegFileText(const std::vector<TRegFileKey>& keys) {
    std::wstring text = std::wstring(Header) + L"\r\n\r\n";
    for (const TRegFileKey& key : keys) {
        WritableCheck(key.path, true);
        text += L"[" + key.path + L"]\r\n";
        // The default value first, as the editor writes it.
        for (const TRegFileValue& v : key.values)
            if (v.name.empty())
                text += ValueLine(v) + L"\r\n";
        for (const TRegFileValue& v : key.values)
            if (!v.name.empty())
                text += ValueLine(v) + L"\r\n";
        text += L"\r\n";
    }
    return text;
}

std::vector<BYTE> RegFileBytes(const std::wstring& text) {
    std::vector<BYTE> bytes{0xFF, 0xFE};
    bytes.reserve(2 + text.size() * 2);
    for (wchar_t c : text) {
        bytes.push_back(static_cast<BYTE>(c & 0xFF));
        bytes.push_back(static_cast<BYTE>(c >> 8));
    }
    return bytes;
}

std::wstring RegFileDecode(const std::vector<BYTE>& bytes, size_t most) {
    if (bytes.size() > most)
        throw ERegFileError(0,
                            FormatMessageText(L"ファイルが大きすぎます (%s バイトを超えています)",
                                              std::to_wstring(most)));
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE)
        throw ERegFileError(0, L"レジストリ エディターの UTF-16 のファイルではありません "
                               L"(先頭にバイト順マークがありません)");
    if (bytes.size() % 2 != 0)
        throw ERegFileError(0, L"ファイルの終わりが欠けています (奇数バイト)");
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 2; i < bytes.size(); i += 2)
        text += static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
    return text;
}

namespace {

// The file's lines one at a time, CR LF or LF, with the number of each; a line of bytes ending in
// "\" goes on in the next one. No line is kept once read: a file of millions of empty lines costs
// no more memory than its text.
class TLines {
  public:
    explicit TLines(const std::wstring& text) : text_(text) {}
    // The next logical line and the number of its first line; false at the end.
    bool Next(std::wstring& line, size_t& number) {
        if (at_ > text_.size())
            return false;
        number = number_ + 1;
        line.assign(Physical());
        // A value of bytes goes on while its line ends in "\".
        while (!line.empty() && line.back() == L'\\' && line.find(L"=hex") != std::wstring::npos &&
               at_ <= text_.size()) {
            line.pop_back();
            const std::wstring_view more = Physical();
            const size_t first = more.find_first_not_of(L" \t");
            if (first != std::wstring_view::npos)
                line.append(more.substr(first));
        }
        return true;
    }

  private:
    std::wstring_view Physical() {
        size_t end = text_.find(L'\n', at_);
        if (end == std::wstring::npos)
            end = text_.size();
        std::wstring_view line(text_.data() + at_, end - at_);
        if (!line.empty() && line.back() == L'\r')
            line.remove_suffix(1);
        at_ = end + 1;
        ++number_;
        return line;
    }

    const std::wstring& text_;
    size_t at_ = 0;
    size_t number_ = 0;
};

} // namespace

std::vector<TRegFileKey> RegFileParse(const std::wstring& text) {
    TLines lines(text);
    std::wstring raw;
    size_t line_number = 0;
    if (!lines.Next(raw, line_number) || raw != Header)
        throw ERegFileError(1,
                            FormatMessageText(L"見出し「%s」がありません", std::wstring(Header)));

    std::vector<TRegFileKey> keys;
    while (lines.Next(raw, line_number)) {
        const size_t first = raw.find_first_not_of(L" \t");
        if (first == std::wstring::npos || raw[first] == L';')
            continue;
        const std::wstring line = raw.substr(first);
        if (line[0] == L'[') {
            const size_t close = line.rfind(L']');
            if (close == std::wstring::npos || close < 2)
                throw ERegFileError(line_number, L"キーの行が「]」で閉じていません");
            if (line[1] == L'-')
                throw ERegFileError(line_number, L"キーを削除する行は読み込めません");
            keys.push_back({line.substr(1, close - 1), {}, line_number});
            continue;
        }
        if (keys.empty())
            throw ERegFileError(line_number, L"キーの前に値があります");
        TRegFileValue v;
        size_t at = 0;
        if (line[0] == L'@') {
            at = 1;
        } else if (!QuotedRead(line, at, v.name)) {
            throw ERegFileError(line_number, L"値の名前が正しく引用されていません");
        } else if (v.name.empty()) {
            throw ERegFileError(line_number, L"値の名前が空です (既定の値は @ です)");
        }
        if (at >= line.size() || line[at] != L'=')
            throw ERegFileError(line_number, L"値の名前の後に「=」がありません");
        const std::wstring data = line.substr(at + 1);
        if (data == L"-")
            throw ERegFileError(line_number, L"値を削除する行は読み込めません");
        if (!data.empty() && data[0] == L'"') {
            size_t pos = 0;
            std::wstring s;
            if (!QuotedRead(data, pos, s) ||
                data.find_first_not_of(L" \t", pos) != std::wstring::npos)
                throw ERegFileError(line_number, L"文字列が正しく引用されていません");
            v.type = REG_SZ;
            const auto* p = reinterpret_cast<const BYTE*>(s.c_str());
            v.data.assign(p, p + (s.size() + 1) * sizeof(wchar_t));
        } else if (data.rfind(L"dword:", 0) == 0) {
            const std::wstring digits = data.substr(6);
            if (digits.size() != 8 || !std::all_of(digits.begin(), digits.end(),
                                                   [](wchar_t c) { return HexDigit(c) >= 0; }))
                throw ERegFileError(line_number, L"dword: の後は 16 進数 8 桁です");
            uint32_t n = 0;
            for (wchar_t c : digits)
                n = n * 16 + static_cast<uint32_t>(HexDigit(c));
            v.type = REG_DWORD;
            v.data = {static_cast<BYTE>(n), static_cast<BYTE>(n >> 8), static_cast<BYTE>(n >> 16),
                      static_cast<BYTE>(n >> 24)};
        } else if (data.rfind(L"hex", 0) == 0) {
            size_t pos = 3;
            v.type = REG_BINARY;
            if (pos < data.size() && data[pos] == L'(') {
                const size_t close = data.find(L')', pos);
                const std::wstring t =
                    close == std::wstring::npos ? L"" : data.substr(pos + 1, close - pos - 1);
                if (t.empty() || t.size() > 8 ||
                    !std::all_of(t.begin(), t.end(), [](wchar_t c) { return HexDigit(c) >= 0; }))
                    throw ERegFileError(line_number, L"hex( の型が 16 進数ではありません");
                v.type = static_cast<DWORD>(std::wcstoul(t.c_str(), nullptr, 16));
                pos = close + 1;
            }
            if (pos >= data.size() || data[pos] != L':')
                throw ERegFileError(line_number, L"hex の後に「:」がありません");
            const std::wstring bytes = data.substr(pos + 1);
            // Every comma is followed by a byte: a list cut off after one is damaged.
            for (size_t b = 0; !bytes.empty();) {
                const size_t next = bytes.find(L',', b);
                std::wstring item =
                    bytes.substr(b, next == std::wstring::npos ? std::wstring::npos : next - b);
                item.erase(0, item.find_first_not_of(L" \t"));
                item.erase(item.find_last_not_of(L" \t") + 1);
                if (item.size() != 2 || HexDigit(item[0]) < 0 || HexDigit(item[1]) < 0)
                    throw ERegFileError(line_number, L"バイトの並びが正しくありません");
                v.data.push_back(static_cast<BYTE>(HexDigit(item[0]) * 16 + HexDigit(item[1])));
                if (next == std::wstring::npos)
                    break;
                b = next + 1;
            }
        } else {
            throw ERegFileError(line_number, L"値の形式がわかりません");
        }
        keys.back().values.push_back(std::move(v));
    }
    return keys;
}

std::vector<TRegFileKey> RegTreeCollect(HKEY root, const std::wstring& key,
                                        const std::wstring& rootName) {
    std::vector<TRegFileKey> keys;
    TRegFileKey self{rootName + key, {}};
    RegDataValuesRead(root, key, self.values);
    keys.push_back(std::move(self));
    std::vector<std::wstring> subkeys;
    RegSubKeyNames(root, key, subkeys);
    for (const std::wstring& sub : subkeys) {
        std::vector<TRegFileKey> below = RegTreeCollect(root, key + L"\\" + sub, rootName);
        keys.insert(keys.end(), std::make_move_iterator(below.begin()),
                    std::make_move_iterator(below.end()));
    }
    return keys;
}
