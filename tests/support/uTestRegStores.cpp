// Raw value access through the current registry store, for tests.
#include "uTestRegStores.h"

#include "uCmnReg.h"
#include "uOvRegDef.h"
#include "uOvSignIn.h"

#include <vector>

namespace {

std::wstring Relative(const std::wstring& key) {
    return !key.empty() && key[0] == L'\\' ? key.substr(1) : key;
}

} // namespace

std::optional<DWORD> StoreValueType(HKEY root, const std::wstring& key, const std::wstring& name) {
    TRegKey k(RegStore());
    if (RegStore().OpenKey(root, Relative(key).c_str(), k.Put()) != ERROR_SUCCESS) {
        k.Release();
        return std::nullopt;
    }
    DWORD type = REG_NONE, size = 0;
    if (RegStore().QueryValue(k.Get(), name.c_str(), &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return type;
}

std::string WideBytes(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

LONG StoreValueSet(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type,
                   const std::string& bytes) {
    TRegKey k(RegStore());
    LONG rc = RegStore().CreateKey(root, Relative(key).c_str(), k.Put(), nullptr);
    if (rc != ERROR_SUCCESS) {
        k.Release();
        return rc;
    }
    static const BYTE none = 0;
    return RegStore().SetValue(k.Get(), name.c_str(), type,
                               bytes.empty() ? &none : reinterpret_cast<const BYTE*>(bytes.data()),
                               static_cast<DWORD>(bytes.size()));
}

namespace {

void DumpKey(HKEY key, const std::wstring& path, std::wstring& out) {
    wchar_t name[2048];
    std::vector<BYTE> data(1 << 20);
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = 2048, type = 0, size = static_cast<DWORD>(data.size());
        if (RegStore().EnumValue(key, i, name, &nameLen, &type, data.data(), &size) !=
            ERROR_SUCCESS)
            break;
        out += path + L"|" + std::wstring(name, nameLen) + L"|" + std::to_wstring(type) + L"|";
        static const wchar_t digits[] = L"0123456789abcdef";
        for (DWORD b = 0; b < size; ++b) {
            out += digits[data[b] >> 4];
            out += digits[data[b] & 15];
        }
        out += L"\n";
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = 2048;
        if (RegStore().EnumKey(key, i, name, &nameLen) != ERROR_SUCCESS)
            break;
        const std::wstring sub(name, nameLen);
        TRegKey child(RegStore());
        if (RegStore().OpenKey(key, sub.c_str(), child.Put()) != ERROR_SUCCESS) {
            child.Release();
            continue;
        }
        out += path + L"\\" + sub + L"\n";
        DumpKey(child.Get(), path + L"\\" + sub, out);
    }
}

} // namespace

std::wstring StoreTreeDump(HKEY root, const std::wstring& key) {
    TRegKey k(RegStore());
    if (RegStore().OpenKey(root, Relative(key).c_str(), k.Put()) != ERROR_SUCCESS) {
        k.Release();
        return L"(absent)";
    }
    std::wstring out;
    DumpKey(k.Get(), L"", out);
    return out;
}

LONG TFaultMemStore::OpenKey(HKEY key, LPCWSTR subKey, PHKEY result) {
    if (!refusedOpen.empty() && refusedOpen == subKey)
        return ERROR_ACCESS_DENIED;
    return TMemRegStore::OpenKey(key, subKey, result);
}

LONG TFaultMemStore::CreateKey(HKEY key, LPCWSTR subKey, PHKEY result, LPDWORD disposition) {
    if (!refusedCreate.empty() && refusedCreate == subKey)
        return ERROR_ACCESS_DENIED;
    return TMemRegStore::CreateKey(key, subKey, result, disposition);
}

LONG TFaultMemStore::SetValue(HKEY key, LPCWSTR name, DWORD type, const BYTE* data, DWORD size) {
    ++changes;
    defaultTouched |= !*name;
    return TMemRegStore::SetValue(key, name, type, data, size);
}

LONG TFaultMemStore::DeleteValue(HKEY key, LPCWSTR name) {
    ++changes;
    defaultTouched |= !*name;
    if (!refusedValueDelete.empty() && refusedValueDelete == name)
        return ERROR_ACCESS_DENIED;
    return TMemRegStore::DeleteValue(key, name);
}

LONG TFaultMemStore::DeleteKey(HKEY key, LPCWSTR subKey) {
    ++changes;
    ++keysDeleted;
    if (!refusedKey.empty() && refusedKey == subKey)
        return ERROR_ACCESS_DENIED;
    return TMemRegStore::DeleteKey(key, subKey);
}

LONG TFaultMemStore::QueryInfoKey(HKEY key, LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD values,
                                  LPDWORD maxValueNameLen, LPDWORD maxValueLen, PFILETIME written) {
    const LONG rc = TMemRegStore::QueryInfoKey(key, subKeys, maxSubKeyLen, values, maxValueNameLen,
                                               maxValueLen, written);
    if (written && clockStopped)
        *written = FILETIME{};
    return rc;
}

LONG TFaultMemStore::QueryValue(HKEY key, LPCWSTR name, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (data && !failedRead.empty() && failedRead == name) {
        if (failOnce)
            failedRead.clear();
        return ERROR_ACCESS_DENIED;
    }
    return TMemRegStore::QueryValue(key, name, type, data, size);
}

void ProgramStateRemove() {
    RegKeyDelete(HKEY_CURRENT_USER, OvKeyProduct);
    RegKeyDelete(HKEY_CURRENT_USER, L"\\Software\\Velmora\\Orvanta.import");
    RegValueDelete(HKEY_CURRENT_USER, L"\\Software\\Velmora", L"OrvantaImport");
    RegValueDelete(HKEY_CURRENT_USER, OvKeyRun, OvValRun);
}
