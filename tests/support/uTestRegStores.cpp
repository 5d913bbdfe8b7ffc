// Raw value access through the current registry store, for tests.
#include "uTestRegStores.h"

namespace {

std::string Relative(const std::string& key) {
    return !key.empty() && key[0] == '\\' ? key.substr(1) : key;
}

} // namespace

std::optional<DWORD> StoreValueType(HKEY root, const std::string& key, const std::string& name) {
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

LONG StoreValueSet(HKEY root, const std::string& key, const std::string& name, DWORD type,
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
