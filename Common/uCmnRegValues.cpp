// Every string value of a key in one pass (RegStrValuesRead), with a memo per thread of the key
// read last: a page read again that nobody wrote since costs one question, not one a value.
#include "uCmnReg.h"

#include "uCmnError.h"
#include "uCmnRegDef.h"
#include "uCmnRegKey.h"
#include "uCmnRegStore.h"

#include <algorithm>

using namespace RegInternal;

namespace {

// Every value of the open key, enumerated with buffers of the sizes the key gave as hints.
void ValuesEnumerate(const TRegKey& k, const std::wstring& key, DWORD maxName, DWORD maxData,
                     std::vector<TRegStrValue>& values) {
    std::vector<wchar_t> name(static_cast<size_t>(maxName) + 2);
    std::vector<BYTE> data(static_cast<size_t>(maxData) + 2);
    for (DWORD index = 0;;) {
        DWORD nameLen = static_cast<DWORD>(name.size()), type = REG_NONE;
        DWORD size = static_cast<DWORD>(data.size());
        const LONG rc =
            k.Store().EnumValue(k.Get(), index, name.data(), &nameLen, &type, data.data(), &size);
        if (rc == ERROR_NO_MORE_ITEMS)
            return;
        if (rc == ERROR_MORE_DATA && name.size() < NameBufferLimit) {
            // The key grew meanwhile, or the hints were short: larger buffers, same index.
            name.resize(name.size() * 2);
            data.resize((std::max)(static_cast<size_t>(size) + 2, data.size() * 2));
            continue;
        }
        if (rc != ERROR_SUCCESS)
            Fail(CmnRegErrValueGet, key);
        TRegStrValue& value = values.emplace_back();
        value.name.assign(name.data(), (std::min)(static_cast<size_t>(nameLen), name.size()));
        const size_t bytes = (std::min)(static_cast<size_t>(size), data.size());
        // As RegStrRead: no data reads as the empty text whatever the type.
        value.isString = RegValueIsText(type, bytes);
        if (value.isString)
            value.text = TextOf(data.data(), bytes);
        ++index;
    }
}

// The key RegStrValuesRead enumerated last, what it held, and the signs of a change since.
struct TValuesMemo {
    const TRegStore* store = nullptr;
    HKEY root = nullptr;
    std::wstring key;
    FILETIME written{};
    DWORD count = 0;
    uint64_t writes = 0;
    std::vector<TRegStrValue> values;
};

// One a thread: the search index's reader reads pages beside the window's thread.
TValuesMemo& ValuesMemo() {
    static thread_local TValuesMemo memo;
    return memo;
}

} // namespace

bool RegStrValuesRead(HKEY root, const std::wstring& key, std::vector<TRegStrValue>& values) {
    values.clear();
    TRegKey k = KeyOpen(root, Relative(key));
    if (!k)
        return true;
    DWORD count = 0, maxName = 0, maxData = 0;
    FILETIME written{};
    const bool stamped = k.Store().QueryInfoKey(k.Get(), nullptr, nullptr, &count, &maxName,
                                                &maxData, &written) == ERROR_SUCCESS;
    // Enumerating costs a request per value (Wine's registry is another process); a key that
    // nobody has written since it was last read holds what it held then.
    TValuesMemo& memo = ValuesMemo();
    const std::wstring folded = RegNameFold(Relative(key));
    if (stamped && memo.store == &k.Store() && memo.root == root && memo.key == folded &&
        memo.writes == WriteCount() && memo.count == count &&
        ::CompareFileTime(&memo.written, &written) == 0) {
        values = memo.values;
        return true;
    }
    memo.store = nullptr;
    values.reserve(count);
    ValuesEnumerate(k, key, maxName, maxData, values);
    if (stamped)
        memo = {&k.Store(), root, folded, written, count, WriteCount(), values};
    return true;
}
