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
    TRegKey k = KeyOpen(root, Relative(key));
    if (!k)
        return;
    DWORD count = 0, maxName = 0, maxData = 0;
    if (k.Store().QueryInfoKey(k.Get(), nullptr, nullptr, &count, &maxName, &maxData, nullptr) !=
        ERROR_SUCCESS)
        return;
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
        if (rc != ERROR_SUCCESS)
            break;
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
