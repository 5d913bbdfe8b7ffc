// Typed registry access over the current store; every key opened here is closed on every path.
#include "uCmnReg.h"

#include "uCmnError.h"
#include "uCmnRegDef.h"
#include "uCmnRegKey.h"
#include "uCmnRegStore.h"

#include <atomic>
#include <algorithm>
#include <functional>

namespace RegInternal {

constexpr int ReadAttempts = 16;

std::wstring TextOf(const BYTE* data, size_t bytes) {
    std::wstring text(bytes / sizeof(wchar_t), L'\0');
    std::copy(data, data + text.size() * sizeof(wchar_t), reinterpret_cast<BYTE*>(text.data()));
    return text.substr(0, text.find(L'\0'));
}

// Writes made through these functions, so a memo of what a key held can tell that it may be
// stale even where the store's clock did not move. Read by every thread that reads the store.
std::atomic<uint64_t>& WriteCount() {
    static std::atomic<uint64_t> count{0};
    return count;
}

[[noreturn]] void Fail(const wchar_t* pattern, const std::wstring& arg) {
    throw ERegError(FormatMessageText(pattern, arg));
}

std::wstring Relative(const std::wstring& key) {
    return !key.empty() && key[0] == L'\\' ? key.substr(1) : key;
}

// The key's names without empty parts, folded for comparison.
std::vector<std::wstring> PathParts(const std::wstring& key) {
    std::vector<std::wstring> parts;
    for (const std::wstring& part : RegPathSplit(key))
        if (!part.empty())
            parts.push_back(RegNameFold(part));
    return parts;
}

bool PathWithin(const std::wstring& inner, const std::wstring& outer) {
    const std::vector<std::wstring> in = PathParts(inner), out = PathParts(outer);
    return in.size() >= out.size() && std::equal(out.begin(), out.end(), in.begin());
}

// An open that the store refuses counts as an absent key.
TRegKey KeyOpen(HKEY parent, const std::wstring& sub) {
    TRegKey key(RegStore());
    if (key.Store().OpenKey(parent, sub.c_str(), key.Put()) != ERROR_SUCCESS)
        key.Release();
    return key;
}

TRegKey KeyCreate(HKEY parent, const std::wstring& sub) {
    ++WriteCount();
    TRegKey key(RegStore());
    if (key.Store().CreateKey(parent, sub.c_str(), key.Put(), nullptr) != ERROR_SUCCESS)
        key.Release();
    return key;
}

bool ValueExists(const TRegKey& key, const std::wstring& name) {
    DWORD type = REG_NONE, size = 0;
    return key.Store().QueryValue(key.Get(), name.c_str(), &type, nullptr, &size) == ERROR_SUCCESS;
}

// The whole value, whatever its size: the buffer grows while the store reports more data.
LONG ValueRead(const TRegKey& key, const std::wstring& name, TRegData& value) {
    DWORD size = 0;
    LONG rc = key.Store().QueryValue(key.Get(), name.c_str(), &value.type, nullptr, &size);
    if (rc != ERROR_SUCCESS)
        return rc;
    value.bytes.resize(size);
    for (int attempt = 0; attempt < ReadAttempts; ++attempt) {
        BYTE none = 0;
        DWORD got = static_cast<DWORD>(value.bytes.size());
        rc = key.Store().QueryValue(key.Get(), name.c_str(), &value.type,
                                    value.bytes.empty() ? &none : value.bytes.data(), &got);
        if (rc == ERROR_SUCCESS)
            value.bytes.resize((std::min)(static_cast<size_t>(got), value.bytes.size()));
        if (rc != ERROR_MORE_DATA)
            return rc;
        value.bytes.resize((std::max)(static_cast<size_t>(got), value.bytes.size() * 2 + 1));
    }
    return ERROR_MORE_DATA;
}

LONG ValueWrite(const TRegKey& key, const std::wstring& name, const TRegData& value) {
    static const BYTE none = 0;
    if (value.bytes.size() > MAXDWORD)
        return ERROR_INVALID_PARAMETER;
    ++WriteCount();
    const size_t size = value.bytes.size();
    // The registry counts a string's closing zero that its caller "forgot" by looking at the
    // character after the data: a string value that does not end in a zero character goes from
    // a copy followed by one that is not zero, so that exactly its bytes are stored (else an odd
    // byte or an unclosed string came back longer, or not, by what lay behind it in memory).
    const bool text =
        value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ;
    if (text && size > 0 &&
        (size % 2 != 0 || value.bytes[size - 1] != 0 || value.bytes[size - 2] != 0)) {
        std::vector<BYTE> padded(value.bytes);
        padded.insert(padded.end(), {0xFF, 0xFF});
        return key.Store().SetValue(key.Get(), name.c_str(), value.type, padded.data(),
                                    static_cast<DWORD>(size));
    }
    return key.Store().SetValue(key.Get(), name.c_str(), value.type,
                                value.bytes.empty() ? &none : value.bytes.data(),
                                static_cast<DWORD>(size));
}

} // namespace RegInternal

using namespace RegInternal;

namespace {

// One name of an enumeration; a name added since the store's length hint can need a larger
// buffer.
using TNameEnum = std::function<LONG(DWORD index, LPWSTR name, LPDWORD len)>;

LONG NameAt(const TNameEnum& enumerate, DWORD index, std::vector<wchar_t>& buffer,
            std::wstring& name) {
    for (;;) {
        DWORD len = static_cast<DWORD>(buffer.size());
        LONG rc = enumerate(index, buffer.data(), &len);
        if (rc == ERROR_MORE_DATA && buffer.size() < NameBufferLimit) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (rc == ERROR_SUCCESS)
            name.assign(buffer.data(), (std::min)(static_cast<size_t>(len), buffer.size()));
        return rc;
    }
}

// False when the enumeration broke off before its end.
bool NamesList(const TNameEnum& enumerate, DWORD lengthHint, std::vector<std::wstring>& names) {
    std::vector<wchar_t> buffer(lengthHint + 1);
    for (DWORD index = 0;; ++index) {
        std::wstring name;
        LONG rc = NameAt(enumerate, index, buffer, name);
        if (rc == ERROR_NO_MORE_ITEMS)
            return true;
        if (rc != ERROR_SUCCESS)
            return false;
        names.push_back(std::move(name));
    }
}

TNameEnum SubKeyEnum(const TRegKey& key) {
    return [&key](DWORD index, LPWSTR name, LPDWORD len) {
        return key.Store().EnumKey(key.Get(), index, name, len);
    };
}

TNameEnum ValueEnum(const TRegKey& key) {
    return [&key](DWORD index, LPWSTR name, LPDWORD len) {
        return key.Store().EnumValue(key.Get(), index, name, len, nullptr, nullptr, nullptr);
    };
}

bool SubKeyNames(const TRegKey& key, std::vector<std::wstring>& names) {
    DWORD maxLen = 0;
    key.Store().QueryInfoKey(key.Get(), nullptr, &maxLen, nullptr, nullptr, nullptr, nullptr);
    return NamesList(SubKeyEnum(key), maxLen, names);
}

bool ValueNames(const TRegKey& key, std::vector<std::wstring>& names) {
    DWORD maxLen = 0;
    key.Store().QueryInfoKey(key.Get(), nullptr, nullptr, nullptr, &maxLen, nullptr, nullptr);
    return NamesList(ValueEnum(key), maxLen, names);
}

// Subkeys go from the last index down, so each deletion leaves the lower indexes in place.
bool KeyDeleteTree(HKEY parent, const std::wstring& sub) {
    if (TRegKey key = KeyOpen(parent, sub)) {
        DWORD count = 0, maxLen = 0;
        if (key.Store().QueryInfoKey(key.Get(), &count, &maxLen, nullptr, nullptr, nullptr,
                                     nullptr) == ERROR_SUCCESS) {
            std::vector<wchar_t> buffer(maxLen + 1);
            for (DWORD index = count; index-- > 0;) {
                std::wstring name;
                if (NameAt(SubKeyEnum(key), index, buffer, name) == ERROR_SUCCESS)
                    KeyDeleteTree(key.Get(), name);
            }
        }
    }
    ++WriteCount();
    return RegStore().DeleteKey(parent, sub.c_str()) == ERROR_SUCCESS;
}

// The default value first, so that it stays first in the target; then every value in the
// source's order (the default value again among them).
void ValuesCopy(const TRegKey& source, const TRegKey& target, const std::wstring& sourcePath) {
    std::vector<std::wstring> names;
    if (!ValueNames(source, names))
        Fail(CmnRegErrValueGet, sourcePath);
    names.insert(names.begin(), std::wstring());
    for (size_t i = 0; i < names.size(); ++i) {
        TRegData value;
        LONG rc = ValueRead(source, names[i], value);
        if (i == 0 && rc == ERROR_FILE_NOT_FOUND)
            continue;
        if (rc != ERROR_SUCCESS)
            Fail(CmnRegErrValueGet, names[i]);
        if (ValueWrite(target, names[i], value) != ERROR_SUCCESS)
            Fail(CmnRegErrValueSet, names[i]);
    }
}

void TreeCopy(const TRegKey& source, const TRegKey& target, const std::wstring& sourcePath,
              const std::wstring& targetPath) {
    ValuesCopy(source, target, sourcePath);
    std::vector<std::wstring> subs;
    if (!SubKeyNames(source, subs))
        Fail(CmnRegErrValueGet, sourcePath);
    for (const std::wstring& sub : subs) {
        TRegKey from = KeyOpen(source.Get(), sub);
        if (!from)
            Fail(CmnRegErrValueGet, sourcePath + L"\\" + sub);
        TRegKey to = KeyCreate(target.Get(), sub);
        if (!to)
            Fail(CmnRegErrKeyCreate, targetPath + L"\\" + sub);
        TreeCopy(from, to, sourcePath + L"\\" + sub, targetPath + L"\\" + sub);
    }
}

bool TreeWithin(const TRegKey& part, const TRegKey& whole) {
    std::vector<std::wstring> names, subs;
    if (!ValueNames(part, names) || !SubKeyNames(part, subs))
        return false;
    for (const std::wstring& name : names) {
        TRegData mine, theirs;
        if (ValueRead(part, name, mine) != ERROR_SUCCESS ||
            ValueRead(whole, name, theirs) != ERROR_SUCCESS || mine.type != theirs.type ||
            mine.bytes != theirs.bytes)
            return false;
    }
    for (const std::wstring& sub : subs) {
        TRegKey mine = KeyOpen(part.Get(), sub), theirs = KeyOpen(whole.Get(), sub);
        if (!mine || !theirs || !TreeWithin(mine, theirs))
            return false;
    }
    return true;
}

bool Write(HKEY root, const std::wstring& key, const std::wstring& name, const TRegData& value) {
    TRegKey k = KeyCreate(root, Relative(key));
    if (!k)
        return false;
    if (ValueWrite(k, name, value) != ERROR_SUCCESS)
        Fail(CmnRegErrValueSet, name);
    return true;
}

} // namespace

bool RegKeyExists(HKEY root, const std::wstring& key) {
    return static_cast<bool>(KeyOpen(root, Relative(key)));
}

bool RegValueExists(HKEY root, const std::wstring& key, const std::wstring& name) {
    TRegKey k = KeyOpen(root, Relative(key));
    return k && ValueExists(k, name);
}

bool RegKeyCreate(HKEY root, const std::wstring& key) {
    if (!KeyCreate(root, Relative(key)))
        Fail(CmnRegErrKeyCreate, key);
    return true;
}

bool RegKeyDelete(HKEY root, const std::wstring& key) {
    // An empty path names the root itself: its subtree is never ours to delete.
    if (PathParts(key).empty())
        return false;
    return KeyDeleteTree(root, Relative(key));
}

bool RegKeyCopy(HKEY root, const std::wstring& source, const std::wstring& target) {
    const std::wstring from = Relative(source), to = Relative(target);
    // A target inside the source would be copied into itself.
    if (!RegKeyExists(root, source) || RegKeyExists(root, target) || PathWithin(to, from))
        return false;
    TRegKey src = KeyOpen(root, from);
    if (!src)
        return false;
    try {
        TRegKey dst = KeyCreate(root, to);
        if (!dst)
            Fail(CmnRegErrKeyCreate, target);
        TreeCopy(src, dst, source, target);
    } catch (...) {
        // Nothing half done: what the copy created goes again, the source was only read.
        KeyDeleteTree(root, to);
        throw;
    }
    return true;
}

bool RegKeyMove(HKEY root, const std::wstring& source, const std::wstring& target) {
    if (RegKeyCopy(root, source, target))
        KeyDeleteTree(root, Relative(source));
    return true;
}

bool RegTreeWithin(HKEY root, const std::wstring& part, const std::wstring& whole) {
    TRegKey mine = KeyOpen(root, Relative(part)), theirs = KeyOpen(root, Relative(whole));
    return mine && theirs && TreeWithin(mine, theirs);
}

int32_t RegValueCount(HKEY root, const std::wstring& key) {
    TRegKey k = KeyOpen(root, Relative(key));
    DWORD count = 0;
    if (!k || k.Store().QueryInfoKey(k.Get(), nullptr, nullptr, &count, nullptr, nullptr,
                                     nullptr) != ERROR_SUCCESS)
        return 0;
    return static_cast<int32_t>(count);
}

bool RegValueNames(HKEY root, const std::wstring& key, std::vector<std::wstring>& names) {
    names.clear();
    if (TRegKey k = KeyOpen(root, Relative(key)))
        ValueNames(k, names);
    return true;
}

bool RegValueDelete(HKEY root, const std::wstring& key, const std::wstring& name) {
    ++WriteCount();
    TRegKey k(RegStore());
    const LONG opened = k.Store().OpenKey(root, Relative(key).c_str(), k.Put());
    // An absent key or value is nothing to delete; a key or value the store will not let go of
    // is a deletion that did not happen.
    if (opened != ERROR_SUCCESS) {
        k.Release();
        return opened == ERROR_FILE_NOT_FOUND;
    }
    const LONG deleted = k.Store().DeleteValue(k.Get(), name.c_str());
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

bool RegValueRename(HKEY root, const std::wstring& key, const std::wstring& oldName,
                    const std::wstring& newName) {
    TRegKey k = KeyOpen(root, Relative(key));
    if (!k || !ValueExists(k, oldName) || ValueExists(k, newName))
        return true;
    DWORD size = 0;
    if (k.Store().QueryValue(k.Get(), oldName.c_str(), nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size == 0)
        return true;
    TRegData value;
    if (ValueRead(k, oldName, value) != ERROR_SUCCESS)
        Fail(CmnRegErrValueGet, oldName);
    // The new name is written before the old one goes, so a failed write loses nothing; the
    // value still ends up last.
    if (ValueWrite(k, newName, value) != ERROR_SUCCESS)
        Fail(CmnRegErrValueSet, newName);
    ++WriteCount();
    if (k.Store().DeleteValue(k.Get(), oldName.c_str()) != ERROR_SUCCESS)
        k.Store().DeleteValue(k.Get(), newName.c_str());
    return true;
}

bool RegSubKeyNames(HKEY root, const std::wstring& key, std::vector<std::wstring>& names) {
    names.clear();
    if (TRegKey k = KeyOpen(root, Relative(key)))
        if (!SubKeyNames(k, names))
            Fail(CmnRegErrValueGet, key);
    return true;
}

int32_t RegSubKeyCount(HKEY root, const std::wstring& key) {
    TRegKey k = KeyOpen(root, Relative(key));
    DWORD count = 0;
    if (!k || k.Store().QueryInfoKey(k.Get(), &count, nullptr, nullptr, nullptr, nullptr,
                                     nullptr) != ERROR_SUCCESS)
        return 0;
    return static_cast<int32_t>(count);
}

namespace {

// RegStrRead's reading: false, with no text, for a value of another type.
bool StrRead(HKEY root, const std::wstring& key, const std::wstring& name, std::wstring& text) {
    text.clear();
    TRegKey k = KeyOpen(root, Relative(key));
    if (!k)
        return true;
    DWORD type = REG_NONE, size = 0;
    if (k.Store().QueryValue(k.Get(), name.c_str(), &type, nullptr, &size) != ERROR_SUCCESS ||
        size == 0)
        return true;
    TRegData value;
    if (ValueRead(k, name, value) != ERROR_SUCCESS)
        Fail(CmnRegErrValueGet, name);
    if (!RegValueIsText(value.type, value.bytes.size()))
        return false;
    text = TextOf(value.bytes.data(), value.bytes.size());
    return true;
}

} // namespace

std::wstring RegStrRead(HKEY root, const std::wstring& key, const std::wstring& name) {
    std::wstring text;
    if (!StrRead(root, key, name, text))
        Fail(CmnRegErrValueType, name);
    return text;
}

std::wstring RegStrReadOrEmpty(HKEY root, const std::wstring& key, const std::wstring& name) {
    std::wstring text;
    StrRead(root, key, name, text);
    return text;
}

int32_t RegIntRead(HKEY root, const std::wstring& key, const std::wstring& name) {
    TRegKey k = KeyOpen(root, Relative(key));
    if (!k)
        return 0;
    DWORD type = REG_NONE, size = 4;
    BYTE b[4] = {};
    if (k.Store().QueryValue(k.Get(), name.c_str(), &type, b, &size) != ERROR_SUCCESS)
        Fail(CmnRegErrValueGet, name);
    if (type != REG_DWORD)
        Fail(CmnRegErrValueType, name);
    return static_cast<int32_t>(uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 |
                                uint32_t{b[3]} << 24);
}

bool RegBoolRead(HKEY root, const std::wstring& key, const std::wstring& name) {
    return RegIntRead(root, key, name) != 0;
}

bool RegStrWrite(HKEY root, const std::wstring& key, const std::wstring& name,
                 const std::wstring& text) {
    // The text in UTF-16 and its closing zero.
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    TRegData value{REG_SZ, std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t))};
    return Write(root, key, name, value);
}

bool RegIntWrite(HKEY root, const std::wstring& key, const std::wstring& name, int32_t value) {
    const uint32_t u = static_cast<uint32_t>(value);
    return Write(root, key, name,
                 {REG_DWORD,
                  {static_cast<BYTE>(u), static_cast<BYTE>(u >> 8), static_cast<BYTE>(u >> 16),
                   static_cast<BYTE>(u >> 24)}});
}

bool RegBoolWrite(HKEY root, const std::wstring& key, const std::wstring& name, bool value) {
    return RegIntWrite(root, key, name, value ? 1 : 0);
}
