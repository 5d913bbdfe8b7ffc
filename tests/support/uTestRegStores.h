// The two registry stores that registry tests run their cases on, and raw access to values.
#pragma once

#include "uCmnRegMem.h"
#include "uTestSupport.h"

#include <optional>
#include <type_traits>
#include <string>

// The in-memory store, counting the changes it is asked for, stopping its clock, and refusing the
// deletion or the creation (an open for writing) of one key or failing the read of one value when
// told to.
class TFaultMemStore : public TMemRegStore {
  public:
    LONG OpenKey(HKEY key, LPCWSTR subKey, PHKEY result) override;
    LONG CreateKey(HKEY key, LPCWSTR subKey, PHKEY result, LPDWORD disposition) override;
    LONG SetValue(HKEY key, LPCWSTR name, DWORD type, const BYTE* data, DWORD size) override;
    LONG DeleteValue(HKEY key, LPCWSTR name) override;
    LONG DeleteKey(HKEY key, LPCWSTR subKey) override;
    LONG QueryValue(HKEY key, LPCWSTR name, LPDWORD type, LPBYTE data, LPDWORD size) override;
    LONG QueryInfoKey(HKEY key, LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD values,
                      LPDWORD maxValueNameLen, LPDWORD maxValueLen, PFILETIME written) override;

    int changes = 0;
    // Every key answers one last-write time, as a store of coarse times may after a write.
    bool clockStopped = false;
    int keysDeleted = 0;
    // A default value (the empty name) was set or deleted.
    bool defaultTouched = false;
    // A key path as the registry functions pass it (from the root, without the leading ""),
    // and a value name; empty for none.
    std::wstring refusedKey, refusedCreate, failedRead;
    // A value name whose deletion is refused, a key that cannot be opened (as one the user may
    // not read); empty for none.
    std::wstring refusedValueDelete, refusedOpen;
    // The read fails only once, as a passing fault would.
    bool failOnce = false;
};

// Installs a fresh in-memory store for the lifetime of a test fixture.
class TMemStoreEnv {
  public:
    static bool Ordered() { return true; }
    size_t OpenKeys() const { return store_.OpenKeyCount(); }

  private:
    TMemRegStore store_;
    TRegStoreScope scope_{store_};
};

// The Win32 registry; Wine lists values sorted by name instead of in creation order.
class TWin32StoreEnv {
  public:
    static bool Ordered() { return !IsWine(); }
    size_t OpenKeys() const { return 0; }

  private:
    TWin32RegStore store_;
    TRegStoreScope scope_{store_};
};

// Names the typed-test instances "Mem" and "Win32".
struct TStoreEnvNames {
    template <typename T> static std::string GetName(int) {
        return std::is_same_v<T, TMemStoreEnv> ? "Mem" : "Win32";
    }
};

// The stored type of a value in the current store; nothing when the key or value is absent.
// Key paths may begin with "\".
std::optional<DWORD> StoreValueType(HKEY root, const std::wstring& key, const std::wstring& name);
// A text's UTF-16 code units as the bytes a string value holds (no terminator added).
std::string WideBytes(const std::wstring& text);
// Writes raw bytes of any type, creating the key; ERROR_SUCCESS or the store's error.
LONG StoreValueSet(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type,
                   const std::string& bytes);

// Removes everything the program writes in the registry: the product key, and outside it an
// import's staging tree and journal and the start at sign-in. Every suite starts and ends with it,
// so that nothing one leaves behind (a journal a failed case left, say) meets another's start.
void ProgramStateRemove();

// The key with its values and its subtree as text, through the current store: one line per
// value ("key|name|type|data", data in hex) in store order, then each subkey's lines; paths
// relative to `key`. Two trees are the same when their dumps are.
std::wstring StoreTreeDump(HKEY root, const std::wstring& key);
