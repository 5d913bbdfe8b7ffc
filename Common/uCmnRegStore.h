// The ten registry primitives behind one interface, so the registry functions can run on
// another store than the Win32 registry.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Each primitive mirrors its Win32 function: the same arguments (without the reserved and
// security ones) and the same LONG results (ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ERROR_MORE_DATA,
// ERROR_NO_MORE_ITEMS, ...). Names and their lengths count UTF-16 code units, data sizes bytes;
// like RegEnumValueW, EnumKey and EnumValue do not say how long a buffer a name needs.
class TRegStore {
  public:
    virtual ~TRegStore() = default;

    // RegOpenKeyExW with KEY_ALL_ACCESS.
    virtual LONG OpenKey(HKEY key, LPCWSTR subKey, PHKEY result) = 0;
    // RegCreateKeyExW, non-volatile, KEY_ALL_ACCESS; creates every missing level.
    virtual LONG CreateKey(HKEY key, LPCWSTR subKey, PHKEY result, LPDWORD disposition) = 0;
    virtual LONG QueryValue(HKEY key, LPCWSTR name, LPDWORD type, LPBYTE data, LPDWORD size) = 0;
    virtual LONG SetValue(HKEY key, LPCWSTR name, DWORD type, const BYTE* data, DWORD size) = 0;
    // Refuses a key that has subkeys.
    virtual LONG DeleteKey(HKEY key, LPCWSTR subKey) = 0;
    virtual LONG DeleteValue(HKEY key, LPCWSTR name) = 0;
    virtual LONG EnumKey(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLen) = 0;
    virtual LONG EnumValue(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLen, LPDWORD type,
                           LPBYTE data, LPDWORD size) = 0;
    // The key's last-write time in `written`, as coarse as the store keeps it: a write may leave
    // it as it was.
    virtual LONG QueryInfoKey(HKEY key, LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD values,
                              LPDWORD maxValueNameLen, LPDWORD maxValueLen, PFILETIME written) = 0;
    virtual LONG CloseKey(HKEY key) = 0;
};

class TWin32RegStore : public TRegStore {
  public:
    LONG OpenKey(HKEY key, LPCWSTR subKey, PHKEY result) override;
    LONG CreateKey(HKEY key, LPCWSTR subKey, PHKEY result, LPDWORD disposition) override;
    LONG QueryValue(HKEY key, LPCWSTR name, LPDWORD type, LPBYTE data, LPDWORD size) override;
    LONG SetValue(HKEY key, LPCWSTR name, DWORD type, const BYTE* data, DWORD size) override;
    LONG DeleteKey(HKEY key, LPCWSTR subKey) override;
    LONG DeleteValue(HKEY key, LPCWSTR name) override;
    LONG EnumKey(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLen) override;
    LONG EnumValue(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLen, LPDWORD type, LPBYTE data,
                   LPDWORD size) override;
    LONG QueryInfoKey(HKEY key, LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD values,
                      LPDWORD maxValueNameLen, LPDWORD maxValueLen, PFILETIME written) override;
    LONG CloseKey(HKEY key) override;
};

// The store every registry function of the process uses: the Win32 registry unless a
// TRegStoreScope has installed another one.
TRegStore& RegStore();

// Installs a store for its lifetime and puts the previous one back afterwards.
class TRegStoreScope {
  public:
    explicit TRegStoreScope(TRegStore& store);
    ~TRegStoreScope();
    TRegStoreScope(const TRegStoreScope&) = delete;
    TRegStoreScope& operator=(const TRegStoreScope&) = delete;

  private:
    TRegStore* previous_;
};

// Owner of one open key, closed through the store that opened it.
class TRegKey {
  public:
    explicit TRegKey(TRegStore& store) noexcept : store_(&store) {}
    TRegKey(const TRegKey&) = delete;
    TRegKey& operator=(const TRegKey&) = delete;
    TRegKey(TRegKey&& other) noexcept
        : store_(other.store_), key_(std::exchange(other.key_, nullptr)) {}
    TRegKey& operator=(TRegKey&& other) noexcept {
        if (this != &other) {
            Reset();
            store_ = other.store_;
            key_ = std::exchange(other.key_, nullptr);
        }
        return *this;
    }
    ~TRegKey() { Reset(); }

    HKEY Get() const noexcept { return key_; }
    TRegStore& Store() const noexcept { return *store_; }
    explicit operator bool() const noexcept { return key_ != nullptr; }
    // Drops what a failed OpenKey or CreateKey may have left, without closing it.
    void Release() noexcept { key_ = nullptr; }
    void Reset() noexcept {
        if (HKEY old = std::exchange(key_, nullptr))
            store_->CloseKey(old);
    }
    // For the result parameter of OpenKey and CreateKey.
    PHKEY Put() noexcept {
        Reset();
        return &key_;
    }

  private:
    TRegStore* store_;
    HKEY key_ = nullptr;
};

// Key and value names compare as the registry compares them: ordinally, without regard to
// letter case in any script (each code unit folded to its upper case).
std::wstring RegNameFold(std::wstring_view name);
bool RegNameEqual(std::wstring_view a, std::wstring_view b);
// Splits a key path at each "\"; empty parts (a leading, doubled or trailing "\") are kept.
std::vector<std::wstring> RegPathSplit(std::wstring_view path);
