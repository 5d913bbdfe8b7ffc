// Typed access to the registry: self-contained functions over the current RegStore().
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Key paths may begin with one "\" (it means "from the root" and is dropped). An absent key is
// an ordinary answer (false, 0, empty), never an error; the failures listed in uCmnRegDef
// raise ERegError.
bool RegKeyExists(HKEY root, const std::wstring& key);
bool RegValueExists(HKEY root, const std::wstring& key, const std::wstring& name);
bool RegKeyCreate(HKEY root, const std::wstring& key);
bool RegKeyDelete(HKEY root, const std::wstring& key);
// Copies the key with its values (default value first, then in store order) and its subtree to
// `target`, which must not exist yet; true when it copied. A copy that fails part-way removes
// what it created at the target and raises; the source is only read.
bool RegKeyCopy(HKEY root, const std::wstring& source, const std::wstring& target);
// RegKeyCopy, then the source is deleted; nothing happens when the target exists.
bool RegKeyMove(HKEY root, const std::wstring& source, const std::wstring& target);
// True when both keys exist and every value of `part`, and every subkey of it with its own
// values and subkeys, is also in `whole` with the same type and data. What cannot be read counts
// as missing.
bool RegTreeWithin(HKEY root, const std::wstring& part, const std::wstring& whole);
int32_t RegValueCount(HKEY root, const std::wstring& key);
bool RegValueNames(HKEY root, const std::wstring& key, std::vector<std::wstring>& names);

// The store reads a value of this type and size as a text: a string (REG_SZ, REG_EXPAND_SZ), or
// no data at all, whatever its type (the empty text).
inline bool RegValueIsText(DWORD type, size_t bytes) {
    return bytes == 0 || type == REG_SZ || type == REG_EXPAND_SZ;
}

// One value of a key as RegStrRead would read it.
struct TRegStrValue {
    std::wstring name;
    std::wstring text;
    // False for a value of another type, whose text is then empty: RegStrRead raises on it.
    bool isString = true;
};
// Every value of the key in store order with its text, from one enumeration: what RegValueNames
// and one RegStrRead per name give, without opening the key once per value. An absent key gives
// none; an enumeration that breaks off raises. A key read again with the same last-write time
// and number of values, and no write made through these functions since, is not enumerated
// again: what it held then comes back.
bool RegStrValuesRead(HKEY root, const std::wstring& key, std::vector<TRegStrValue>& values);
// True when the value is gone: deleted, or there was none (nor its key). False when the store
// refused (the key or value cannot be opened or deleted).
bool RegValueDelete(HKEY root, const std::wstring& key, const std::wstring& name);
bool RegValueRename(HKEY root, const std::wstring& key, const std::wstring& oldName,
                    const std::wstring& newName);
// The names of the key's subkeys in store order; none for an absent key.
bool RegSubKeyNames(HKEY root, const std::wstring& key, std::vector<std::wstring>& names);
int32_t RegSubKeyCount(HKEY root, const std::wstring& key);
std::wstring RegStrRead(HKEY root, const std::wstring& key, const std::wstring& name);
// A value of any type as stored.
struct TRegDataValue {
    // Empty for the key's default value.
    std::wstring name;
    DWORD type = REG_SZ;
    std::vector<BYTE> data;
    bool operator==(const TRegDataValue&) const = default;
};
// Every value of the key with its type and bytes, from one enumeration (one key opened, not one
// per value); none for an absent key. A key that cannot be opened or enumerated whole raises.
void RegDataValuesRead(HKEY root, const std::wstring& key, std::vector<TRegDataValue>& values);
// Writes the values into the key, created if missing and opened once. False when the key can be
// neither opened nor created; raises when a value cannot be set.
bool RegDataValuesWrite(HKEY root, const std::wstring& key,
                        const std::vector<TRegDataValue>& values);
// A value of any type as stored: its type and bytes; false when it cannot be read.
bool RegDataRead(HKEY root, const std::wstring& key, const std::wstring& name, DWORD& type,
                 std::vector<BYTE>& data);
// Writes a value of any type, creating the key; false when the key can be neither opened nor
// created, raises when the value cannot be set.
bool RegDataWrite(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type,
                  const std::vector<BYTE>& data);
// RegStrRead for data others write (file associations, hand-edited values): a value of another
// type reads as the empty text instead of raising.
std::wstring RegStrReadOrEmpty(HKEY root, const std::wstring& key, const std::wstring& name);
int32_t RegIntRead(HKEY root, const std::wstring& key, const std::wstring& name);
bool RegBoolRead(HKEY root, const std::wstring& key, const std::wstring& name);
bool RegStrWrite(HKEY root, const std::wstring& key, const std::wstring& name,
                 const std::wstring& text);
bool RegIntWrite(HKEY root, const std::wstring& key, const std::wstring& name, int32_t value);
bool RegBoolWrite(HKEY root, const std::wstring& key, const std::wstring& name, bool value);
