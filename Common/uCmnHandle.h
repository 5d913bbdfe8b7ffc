// Move-only owners for platform handles and COM interfaces: nothing is closed by hand.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <objbase.h>
#include <shtypes.h>

#include <utility>

// Traits: `type`, the value meaning "no handle" (`Empty()`), and how to release one.
template <typename Traits> class TUniqueAny {
  public:
    using type = typename Traits::type;

    TUniqueAny() noexcept : h_(Traits::Empty()) {}
    explicit TUniqueAny(type h) noexcept : h_(h) {}
    TUniqueAny(const TUniqueAny&) = delete;
    TUniqueAny& operator=(const TUniqueAny&) = delete;
    TUniqueAny(TUniqueAny&& other) noexcept : h_(other.Release()) {}
    TUniqueAny& operator=(TUniqueAny&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    ~TUniqueAny() { Reset(); }

    type Get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != Traits::Empty(); }
    type Release() noexcept { return std::exchange(h_, Traits::Empty()); }
    void Reset(type h = Traits::Empty()) noexcept {
        type old = std::exchange(h_, h);
        if (old != Traits::Empty())
            Traits::Close(old);
    }
    // For out-parameters of platform calls; drops what is held first.
    type* Put() noexcept {
        Reset();
        return &h_;
    }

  private:
    type h_;
};

#define CMN_HANDLE_TRAITS(Name, Type, EmptyValue, CloseCall)                                       \
    struct Name {                                                                                  \
        using type = Type;                                                                         \
        static type Empty() noexcept { return EmptyValue; }                                        \
        static void Close(type h) noexcept { CloseCall; }                                          \
    }

CMN_HANDLE_TRAITS(THKeyTraits, HKEY, nullptr, ::RegCloseKey(h));
CMN_HANDLE_TRAITS(THandleTraits, HANDLE, nullptr, ::CloseHandle(h));
CMN_HANDLE_TRAITS(TFindTraits, HANDLE, INVALID_HANDLE_VALUE, ::FindClose(h));
CMN_HANDLE_TRAITS(TIconTraits, HICON, nullptr, ::DestroyIcon(h));
CMN_HANDLE_TRAITS(TImageListTraits, HIMAGELIST, nullptr, ::ImageList_Destroy(h));
CMN_HANDLE_TRAITS(TGdiTraits, HGDIOBJ, nullptr, ::DeleteObject(h));
CMN_HANDLE_TRAITS(THookTraits, HHOOK, nullptr, ::UnhookWindowsHookEx(h));
CMN_HANDLE_TRAITS(TModuleTraits, HMODULE, nullptr, ::FreeLibrary(h));
CMN_HANDLE_TRAITS(TDropTraits, HDROP, nullptr, ::DragFinish(h));
CMN_HANDLE_TRAITS(TMenuTraits, HMENU, nullptr, ::DestroyMenu(h));
CMN_HANDLE_TRAITS(TWindowTraits, HWND, nullptr, ::DestroyWindow(h));
CMN_HANDLE_TRAITS(TGlobalTraits, HGLOBAL, nullptr, ::GlobalFree(h));
CMN_HANDLE_TRAITS(TAccelTraits, HACCEL, nullptr, ::DestroyAcceleratorTable(h));
// The shell's item identifier lists, which it allocates with the COM allocator.
CMN_HANDLE_TRAITS(TPidlTraits, LPITEMIDLIST, nullptr, ::CoTaskMemFree(h));

#undef CMN_HANDLE_TRAITS

using TUniqueHKey = TUniqueAny<THKeyTraits>;
using TUniqueHandle = TUniqueAny<THandleTraits>;
using TUniqueFind = TUniqueAny<TFindTraits>;
using TUniqueIcon = TUniqueAny<TIconTraits>;
using TUniqueImageList = TUniqueAny<TImageListTraits>;
using TUniqueGdi = TUniqueAny<TGdiTraits>;
using TUniqueHook = TUniqueAny<THookTraits>;
using TUniqueModule = TUniqueAny<TModuleTraits>;
using TUniqueDrop = TUniqueAny<TDropTraits>;
using TUniqueMenu = TUniqueAny<TMenuTraits>;
using TUniqueWindow = TUniqueAny<TWindowTraits>;
using TUniqueGlobal = TUniqueAny<TGlobalTraits>;
using TUniqueAccel = TUniqueAny<TAccelTraits>;
using TUniquePidl = TUniqueAny<TPidlTraits>;

// Owner of one COM interface pointer.
template <typename I> class TComPtr {
  public:
    TComPtr() noexcept = default;
    TComPtr(const TComPtr&) = delete;
    TComPtr& operator=(const TComPtr&) = delete;
    TComPtr(TComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    TComPtr& operator=(TComPtr&& other) noexcept {
        if (this != &other)
            Reset(std::exchange(other.p_, nullptr));
        return *this;
    }
    ~TComPtr() { Reset(); }

    I* Get() const noexcept { return p_; }
    I* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    void Reset(I* p = nullptr) noexcept {
        I* old = std::exchange(p_, p);
        if (old)
            old->Release();
    }
    I** Put() noexcept {
        Reset();
        return &p_;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

  private:
    I* p_ = nullptr;
};
