// An in-memory registry store with the Windows semantics, for tests: Wine lists values sorted
// by name, so creation order can only be checked here.
#pragma once

#include "uCmnRegStore.h"

#include <cstdint>
#include <map>
#include <memory>

// HKEY_CURRENT_USER and HKEY_CLASSES_ROOT are two separate, initially empty trees. Names keep
// the spelling they were created with and compare as RegNameEqual; values list in creation
// order, subkeys in name order; a deleted key stays open for its handles but answers
// ERROR_KEY_DELETED. A key's last-write time is a count of the store's changes, so it moves with
// every change of a value.
class TMemRegStore : public TRegStore {
  public:
    TMemRegStore();
    ~TMemRegStore() override;
    TMemRegStore(const TMemRegStore&) = delete;
    TMemRegStore& operator=(const TMemRegStore&) = delete;

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

    // Handles handed out and not yet closed: a test's check that every path closes its keys.
    size_t OpenKeyCount() const noexcept { return open_.size(); }

  private:
    struct TNode;
    using TNodePtr = std::shared_ptr<TNode>;

    LONG Node(HKEY key, TNodePtr& node) const;
    LONG Walk(HKEY key, LPCWSTR subKey, bool create, TNodePtr& node, bool& created);
    HKEY Hand(TNodePtr node);

    TNodePtr currentUser_;
    TNodePtr classesRoot_;
    std::map<HKEY, TNodePtr> open_;
    uintptr_t nextHandle_ = 0x1000;
    uint64_t clock_ = 0;
};
