// The Win32 registry store and the process's current store.
#include "uCmnRegStore.h"

namespace {

TRegStore* currentStore = nullptr;

} // namespace

LONG TWin32RegStore::OpenKey(HKEY key, LPCWSTR subKey, PHKEY result) {
    LONG status = ::RegOpenKeyExW(key, subKey, 0, KEY_ALL_ACCESS, result);
    // The machine's file associations, seen through HKEY_CLASSES_ROOT, refuse full access to a
    // standard user; reading them must still work, so a refused open is tried again for reading.
    if (status == ERROR_ACCESS_DENIED)
        status = ::RegOpenKeyExW(key, subKey, 0, KEY_READ, result);
    return status;
}

LONG TWin32RegStore::CreateKey(HKEY key, LPCWSTR subKey, PHKEY result, LPDWORD disposition) {
    return ::RegCreateKeyExW(key, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                             nullptr, result, disposition);
}

LONG TWin32RegStore::QueryValue(HKEY key, LPCWSTR name, LPDWORD type, LPBYTE data, LPDWORD size) {
    return ::RegQueryValueExW(key, name, nullptr, type, data, size);
}

LONG TWin32RegStore::SetValue(HKEY key, LPCWSTR name, DWORD type, const BYTE* data, DWORD size) {
    return ::RegSetValueExW(key, name, 0, type, data, size);
}

LONG TWin32RegStore::DeleteKey(HKEY key, LPCWSTR subKey) {
    return ::RegDeleteKeyW(key, subKey);
}

LONG TWin32RegStore::DeleteValue(HKEY key, LPCWSTR name) {
    return ::RegDeleteValueW(key, name);
}

LONG TWin32RegStore::EnumKey(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLen) {
    return ::RegEnumKeyExW(key, index, name, nameLen, nullptr, nullptr, nullptr, nullptr);
}

LONG TWin32RegStore::EnumValue(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLen, LPDWORD type,
                               LPBYTE data, LPDWORD size) {
    return ::RegEnumValueW(key, index, name, nameLen, nullptr, type, data, size);
}

LONG TWin32RegStore::QueryInfoKey(HKEY key, LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD values,
                                  LPDWORD maxValueNameLen, LPDWORD maxValueLen, PFILETIME written) {
    return ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, subKeys, maxSubKeyLen, nullptr,
                              values, maxValueNameLen, maxValueLen, nullptr, written);
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

std::wstring RegNameFold(std::wstring_view name) {
    std::wstring folded(name);
    bool ascii = true;
    for (wchar_t& c : folded) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
        else if (c > 0x7F)
            ascii = false;
    }
    // The platform's own upper-case table for the rest: one code unit for one, as the registry
    // folds names, whatever the user's language.
    if (!ascii && !folded.empty())
        ::CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}

bool RegNameEqual(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && RegNameFold(a) == RegNameFold(b);
}

std::vector<std::wstring> RegPathSplit(std::wstring_view path) {
    std::vector<std::wstring> parts(1);
    for (wchar_t c : path) {
        if (c == L'\\')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}
