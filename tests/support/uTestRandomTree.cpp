// Random registry trees for the tests of what is written and read back.
#include "uTestRandomTree.h"

#include "uCmnRegStore.h"

#include <algorithm>
#include <iterator>

std::vector<TRegFileKey> TRandomTree::Make(const std::wstring& root, int keys) {
    std::vector<TRegFileKey> tree{{root, Values(), 0}};
    for (int i = 0; i < keys; ++i) {
        // Under the root or under an earlier key.
        const std::wstring parent = tree[Below(tree.size())].path;
        std::wstring name;
        do
            name = Name(Below(2) ? 12 : 255, false);
        while (std::any_of(tree.begin(), tree.end(), [&](const TRegFileKey& k) {
            return RegNameEqual(k.path, parent + L"\\" + name);
        }));
        tree.push_back({parent + L"\\" + name, Values(), 0});
    }
    std::sort(tree.begin(), tree.end(),
              [](const auto& a, const auto& b) { return a.path < b.path; });
    return tree;
}

std::wstring TRandomTree::Name(size_t most, bool value) {
    static const std::wstring plain = L"aZ09 .-_表ソ한Æ";
    static const std::wstring awkward = L"\"=[]@;,%";
    std::wstring name;
    // Now and then the longest name there may be, to the character.
    const size_t length = most > 1000 && Below(2)
                              ? most
                              : 1 + Below(Below(4) == 0 ? most : std::min<size_t>(most, 10));
    while (name.size() < length) {
        switch (Below(8)) {
        case 0:
            name += awkward[Below(awkward.size())];
            break;
        case 1:
            if (value)
                name += Below(2) ? L"\\" : (Below(2) ? L"\r\n" : L"\n");
            break;
        case 2:
            if (name.size() + 2 <= length)
                name += L"\U0001F600";
            break;
        default:
            name += plain[Below(plain.size())];
        }
    }
    return name.substr(0, most);
}

std::vector<BYTE> TRandomTree::Bytes(size_t most) {
    std::vector<BYTE> bytes(Below(most + 1));
    for (BYTE& b : bytes)
        b = static_cast<BYTE>(Below(256));
    return bytes;
}

TRegDataValue TRandomTree::Value(const std::wstring& name) {
    static const DWORD types[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0x12345};
    TRegDataValue v{name, types[Below(std::size(types))], {}};
    if (v.type == REG_SZ && Below(3)) {
        std::wstring text = Below(3) ? Name(40, true) : std::wstring(L"a\0b", 3);
        const auto* p = reinterpret_cast<const BYTE*>(text.c_str());
        v.data.assign(p, p + (text.size() + 1) * 2);
    } else if (v.type == REG_DWORD && Below(3)) {
        v.data = Bytes(0);
        v.data.resize(4, 7);
    } else {
        v.data = Bytes(Below(5) ? 9 : 300);
    }
    return v;
}

std::vector<TRegDataValue> TRandomTree::Values() {
    std::vector<TRegDataValue> values;
    const size_t count = Below(6);
    for (size_t i = 0; i < count; ++i) {
        std::wstring name = i == 0 && Below(2) ? L"" : Name(Below(20) ? 30 : 16383, true);
        if (std::none_of(values.begin(), values.end(),
                         [&](const TRegDataValue& v) { return RegNameEqual(v.name, name); }))
            values.push_back(Value(name));
    }
    std::sort(values.begin(), values.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    return values;
}

bool RegExeCopiesWhole(const TRegDataValue& value) {
    const size_t size = value.data.size();
    const bool text =
        value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ;
    return !text || size == 0 ||
           (size % 2 == 0 && value.data[size - 1] == 0 && value.data[size - 2] == 0);
}

std::vector<TRegFileKey> RegExeCopiable(std::vector<TRegFileKey> keys) {
    for (TRegFileKey& key : keys)
        std::erase_if(key.values, [](const TRegDataValue& v) { return !RegExeCopiesWhole(v); });
    return keys;
}
