// The Win32 registry store and the process's current store.
#include "uCmnRegStore.h"

namespace {

TRegStore* currentStore = nullptr;

} // namespace

LONG TWin32RegStore::OpenKey(HKEY key, LPCSTR subKey, PHKEY result) {
    LONG status = ::RegOpenKeyExA(key, subKey, 0, KEY_ALL_ACCESS, result);
    // The machine's file associations, seen through HKEY_CLASSES_ROOT, refuse full access to a
    // standard user; reading them must still work, so a refused open is tried again for reading.
    if (status == ERROR_ACCESS_DENIED)
        status = ::RegOpenKeyExA(key, subKey, 0, KEY_READ, result);
    return status;
}

LONG TWin32RegStore::CreateKey(HKEY key, LPCSTR subKey, PHKEY result, LPDWORD disposition) {
    return ::RegCreateKeyExA(key, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                             nullptr, result, disposition);
}

LONG TWin32RegStore::QueryValue(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data, LPDWORD size) {
    return ::RegQueryValueExA(key, name, nullptr, type, data, size);
}

LONG TWin32RegStore::SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) {
    return ::RegSetValueExA(key, name, 0, type, data, size);
}

LONG TWin32RegStore::DeleteKey(HKEY key, LPCSTR subKey) {
    return ::RegDeleteKeyA(key, subKey);
}

LONG TWin32RegStore::DeleteValue(HKEY key, LPCSTR name) {
    return ::RegDeleteValueA(key, name);
}

LONG TWin32RegStore::EnumKey(HKEY key, DWORD index, LPSTR name, LPDWORD nameLen) {
    return ::RegEnumKeyExA(key, index, name, nameLen, nullptr, nullptr, nullptr, nullptr);
}

LONG TWin32RegStore::EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameLen, LPDWORD type,
                               LPBYTE data, LPDWORD size) {
    return ::RegEnumValueA(key, index, name, nameLen, nullptr, type, data, size);
}

LONG TWin32RegStore::QueryInfoKey(HKEY key, LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD values,
                                  LPDWORD maxValueNameLen, LPDWORD maxValueLen) {
    return ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, subKeys, maxSubKeyLen, nullptr,
                              values, maxValueNameLen, maxValueLen, nullptr, nullptr);
}

LONG TWin32RegStore::CloseKey(HKEY key) {
    return ::RegCloseKey(key);
}

TRegStore& RegStore() {
    static TWin32RegStore win32;
    return currentStore ? *currentStore : win32;
}

TRegStoreScope::TRegStoreScope(TRegStore& store) : previous_(std::exchange(currentStore, &store)) {}

TRegStoreScope::~TRegStoreScope() {
    currentStore = previous_;
}

bool RegIsLeadByte(unsigned char c) noexcept {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

std::string RegNameFold(std::string_view name) {
    std::string folded(name);
    for (size_t i = 0; i < folded.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(folded[i]);
        if (RegIsLeadByte(c))
            ++i;
        else if (c >= 'a' && c <= 'z')
            folded[i] = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

bool RegNameEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && RegNameFold(a) == RegNameFold(b);
}

std::vector<std::string> RegPathSplit(std::string_view path) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < path.size(); ++i) {
        char c = path[i];
        if (c == '\\') {
            parts.emplace_back();
        } else {
            parts.back() += c;
            if (RegIsLeadByte(static_cast<unsigned char>(c)) && i + 1 < path.size())
                parts.back() += path[++i];
        }
    }
    return parts;
}
