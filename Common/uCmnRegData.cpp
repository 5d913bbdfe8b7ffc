// Values of any type, read and written through the registry functions' store.
#include "uCmnReg.h"

#include "uCmnRegDef.h"
#include "uCmnRegKey.h"

#include <algorithm>

using namespace RegInternal;

bool RegDataRead(HKEY root, const std::wstring& key, const std::wstring& name, DWORD& type,
                 std::vector<BYTE>& data) {
    TRegKey k = KeyOpen(root, Relative(key));
    TRegData value;
    if (!k || ValueRead(k, name, value) != ERROR_SUCCESS)
        return false;
    type = value.type;
    data = std::move(value.bytes);
    return true;
}

bool RegDataWrite(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type,
                  const std::vector<BYTE>& data) {
    TRegKey k = KeyCreate(root, Relative(key));
    if (!k)
        return false;
    if (ValueWrite(k, name, TRegData{type, data}) != ERROR_SUCCESS)
        Fail(CmnRegErrValueSet, name);
    return true;
}

void RegDataValuesRead(HKEY root, const std::wstring& key, std::vector<TRegDataValue>& values) {
    values.clear();
    TRegKey k(RegStore());
    const LONG opened = k.Store().OpenKey(root, Relative(key).c_str(), k.Put());
    // An absent key has no values; one that is there but cannot be read is no empty key.
    if (opened != ERROR_SUCCESS) {
        k.Release();
        if (opened == ERROR_FILE_NOT_FOUND)
            return;
        Fail(CmnRegErrValueGet, key);
    }
    DWORD count = 0, maxName = 0, maxData = 0;
    if (k.Store().QueryInfoKey(k.Get(), nullptr, nullptr, &count, &maxName, &maxData, nullptr) !=
        ERROR_SUCCESS)
        Fail(CmnRegErrValueGet, key);
    std::vector<wchar_t> name(maxName + 2);
    std::vector<BYTE> data(maxData + 2);
    values.reserve(count);
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = static_cast<DWORD>(name.size()), size = static_cast<DWORD>(data.size()),
              type = REG_NONE;
        LONG rc = k.Store().EnumValue(k.Get(), i, name.data(), &nameLen, &type, data.data(), &size);
        if (rc == ERROR_MORE_DATA) {
            // Grown since the key was asked how large its values are: once more, larger.
            name.resize(std::max<size_t>(name.size() * 2, 16384 + 1));
            data.resize(std::max<size_t>(data.size() * 2, size + 2));
            nameLen = static_cast<DWORD>(name.size());
            size = static_cast<DWORD>(data.size());
            rc = k.Store().EnumValue(k.Get(), i, name.data(), &nameLen, &type, data.data(), &size);
        }
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        // A value the store cannot give is no end of the key: part of a key is never taken for
        // the whole (an export that left it out would report success).
        if (rc != ERROR_SUCCESS)
            Fail(CmnRegErrValueGet, key);
        values.push_back({std::wstring(name.data(), nameLen), type,
                          std::vector<BYTE>(data.begin(), data.begin() + size)});
    }
}

bool RegDataValuesWrite(HKEY root, const std::wstring& key,
                        const std::vector<TRegDataValue>& values) {
    TRegKey k = KeyCreate(root, Relative(key));
    if (!k)
        return false;
    for (const TRegDataValue& v : values)
        if (ValueWrite(k, v.name, TRegData{v.type, v.data}) != ERROR_SUCCESS)
            Fail(CmnRegErrValueSet, v.name);
    return true;
}
