// The in-memory registry store.
#include "uCmnRegMem.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct TValue {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
};

std::wstring NameOf(LPCWSTR name) {
    return name ? name : L"";
}

} // namespace

struct TMemRegStore::TNode {
    std::wstring name;
    std::weak_ptr<TNode> parent;
    bool deleted = false;
    // The store's clock when a value last changed.
    uint64_t written = 0;
    std::vector<TValue> values;
    std::map<std::wstring, TNodePtr> subkeys; // by folded name

    TValue* Value(const std::wstring& valueName) {
        auto it = std::find_if(values.begin(), values.end(),
                               [&](const TValue& v) { return RegNameEqual(v.name, valueName); });
        return it == values.end() ? nullptr : &*it;
    }
};

TMemRegStore::TMemRegStore()
    : currentUser_(std::make_shared<TNode>()), classesRoot_(std::make_shared<TNode>()) {}

TMemRegStore::~TMemRegStore() = default;

LONG TMemRegStore::Node(HKEY key, TNodePtr& node) const {
    if (key == HKEY_CURRENT_USER) {
        node = currentUser_;
    } else if (key == HKEY_CLASSES_ROOT) {
        node = classesRoot_;
    } else {
        auto it = open_.find(key);
        if (it == open_.end())
            return ERROR_INVALID_HANDLE;
        node = it->second;
    }
    return node->deleted ? ERROR_KEY_DELETED : ERROR_SUCCESS;
}

LONG TMemRegStore::Walk(HKEY key, LPCWSTR subKey, bool create, TNodePtr& node, bool& created) {
    created = false;
    if (LONG rc = Node(key, node); rc != ERROR_SUCCESS)
        return rc;
    std::vector<std::wstring> parts = RegPathSplit(NameOf(subKey));
    if (parts.size() > 1 && parts.back().empty())
        parts.pop_back();
    if (parts.size() == 1 && parts[0].empty())
        return ERROR_SUCCESS;
    if (std::any_of(parts.begin(), parts.end(), [](const std::wstring& p) { return p.empty(); }))
        return ERROR_BAD_PATHNAME;
    for (const std::wstring& part : parts) {
        const std::wstring folded = RegNameFold(part);
        auto it = node->subkeys.find(folded);
        if (it == node->subkeys.end()) {
            if (!create)
                return ERROR_FILE_NOT_FOUND;
            auto child = std::make_shared<TNode>();
            child->name = part;
            child->parent = node;
            it = node->subkeys.emplace(folded, std::move(child)).first;
            created = true;
        }
        node = it->second;
    }
    return ERROR_SUCCESS;
}

HKEY TMemRegStore::Hand(TNodePtr node) {
    HKEY key = reinterpret_cast<HKEY>(nextHandle_);
    nextHandle_ += 4;
    open_.emplace(key, std::move(node));
    return key;
}

LONG TMemRegStore::OpenKey(HKEY key, LPCWSTR subKey, PHKEY result) {
    TNodePtr node;
    bool created;
    LONG rc = Walk(key, subKey, false, node, created);
    if (rc == ERROR_SUCCESS)
        *result = Hand(node);
    return rc;
}

LONG TMemRegStore::CreateKey(HKEY key, LPCWSTR subKey, PHKEY result, LPDWORD disposition) {
    TNodePtr node;
    bool created;
    LONG rc = Walk(key, subKey, true, node, created);
    if (rc != ERROR_SUCCESS)
        return rc;
    *result = Hand(node);
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LONG TMemRegStore::QueryValue(HKEY key, LPCWSTR name, LPDWORD type, LPBYTE data, LPDWORD size) {
    TNodePtr node;
    if (LONG rc = Node(key, node); rc != ERROR_SUCCESS)
        return rc;
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    const TValue* value = node->Value(NameOf(name));
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = value->type;
    if (!size)
        return ERROR_SUCCESS;
    const DWORD needed = static_cast<DWORD>(value->data.size());
    const DWORD room = *size;
    *size = needed;
    if (!data)
        return ERROR_SUCCESS;
    if (room < needed)
        return ERROR_MORE_DATA;
    std::copy(value->data.begin(), value->data.end(), data);
    return ERROR_SUCCESS;
}

LONG TMemRegStore::SetValue(HKEY key, LPCWSTR name, DWORD type, const BYTE* data, DWORD size) {
    TNodePtr node;
    if (LONG rc = Node(key, node); rc != ERROR_SUCCESS)
        return rc;
    if (!data && size)
        return ERROR_NOACCESS;
    std::vector<BYTE> bytes(data, data + size);
    node->written = ++clock_;
    if (TValue* value = node->Value(NameOf(name))) {
        value->type = type;
        value->data = std::move(bytes);
    } else {
        node->values.push_back({NameOf(name), type, std::move(bytes)});
    }
    return ERROR_SUCCESS;
}

LONG TMemRegStore::DeleteKey(HKEY key, LPCWSTR subKey) {
    if (!subKey)
        return ERROR_INVALID_PARAMETER;
    TNodePtr node;
    bool created;
    if (LONG rc = Walk(key, subKey, false, node, created); rc != ERROR_SUCCESS)
        return rc;
    if (node == currentUser_ || node == classesRoot_ || !node->subkeys.empty())
        return ERROR_ACCESS_DENIED;
    if (TNodePtr parent = node->parent.lock())
        parent->subkeys.erase(RegNameFold(node->name));
    node->deleted = true;
    return ERROR_SUCCESS;
}

LONG TMemRegStore::DeleteValue(HKEY key, LPCWSTR name) {
    TNodePtr node;
    if (LONG rc = Node(key, node); rc != ERROR_SUCCESS)
        return rc;
    const TValue* value = node->Value(NameOf(name));
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    node->values.erase(node->values.begin() + (value - node->values.data()));
    node->written = ++clock_;
    return ERROR_SUCCESS;
}

LONG TMemRegStore::EnumKey(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLen) {
    TNodePtr node;
    if (LONG rc = Node(key, node); rc != ERROR_SUCCESS)
        return rc;
    if (!name || !nameLen)
        return ERROR_INVALID_PARAMETER;
    if (index >= node->subkeys.size())
        return ERROR_NO_MORE_ITEMS;
    const std::wstring& sub = std::next(node->subkeys.begin(), index)->second->name;
    // Like RegEnumKeyExW, a short buffer does not learn the length it needs.
    if (*nameLen <= sub.size())
        return ERROR_MORE_DATA;
    std::copy(sub.c_str(), sub.c_str() + sub.size() + 1, name);
    *nameLen = static_cast<DWORD>(sub.size());
    return ERROR_SUCCESS;
}

LONG TMemRegStore::EnumValue(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLen, LPDWORD type,
                             LPBYTE data, LPDWORD size) {
    TNodePtr node;
    if (LONG rc = Node(key, node); rc != ERROR_SUCCESS)
        return rc;
    if (!name || !nameLen || (data && !size))
        return ERROR_INVALID_PARAMETER;
    if (index >= node->values.size())
        return ERROR_NO_MORE_ITEMS;
    const TValue& value = node->values[index];
    if (type)
        *type = value.type;
    const DWORD needed = static_cast<DWORD>(value.data.size());
    const DWORD room = size ? *size : 0;
    if (size)
        *size = needed;
    if (*nameLen <= value.name.size() || (data && room < needed))
        return ERROR_MORE_DATA;
    std::copy(value.name.c_str(), value.name.c_str() + value.name.size() + 1, name);
    *nameLen = static_cast<DWORD>(value.name.size());
    if (data)
        std::copy(value.data.begin(), value.data.end(), data);
    return ERROR_SUCCESS;
}

LONG TMemRegStore::QueryInfoKey(HKEY key, LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD values,
                                LPDWORD maxValueNameLen, LPDWORD maxValueLen, PFILETIME written) {
    TNodePtr node;
    if (LONG rc = Node(key, node); rc != ERROR_SUCCESS)
        return rc;
    DWORD subLen = 0, nameLen = 0, dataLen = 0;
    for (const auto& sub : node->subkeys)
        subLen = (std::max)(subLen, static_cast<DWORD>(sub.second->name.size()));
    for (const TValue& value : node->values) {
        nameLen = (std::max)(nameLen, static_cast<DWORD>(value.name.size()));
        dataLen = (std::max)(dataLen, static_cast<DWORD>(value.data.size()));
    }
    if (subKeys)
        *subKeys = static_cast<DWORD>(node->subkeys.size());
    if (maxSubKeyLen)
        *maxSubKeyLen = subLen;
    if (values)
        *values = static_cast<DWORD>(node->values.size());
    if (maxValueNameLen)
        *maxValueNameLen = nameLen;
    if (maxValueLen)
        *maxValueLen = dataLen;
    if (written)
        *written =
            FILETIME{static_cast<DWORD>(node->written), static_cast<DWORD>(node->written >> 32)};
    return ERROR_SUCCESS;
}

LONG TMemRegStore::CloseKey(HKEY key) {
    if (key == HKEY_CURRENT_USER || key == HKEY_CLASSES_ROOT)
        return ERROR_SUCCESS;
    return open_.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
