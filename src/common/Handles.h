#pragma once
// RAII owners of the Win32 handles the program opens. Each closes its handle with the one call that
// fits it; moving hands the handle on, copying is not possible.
#include <windows.h>

#include <utility>

template <typename Traits>
class TUniqueHandle {
public:
    using Type = typename Traits::Type;

    TUniqueHandle() = default;
    explicit TUniqueHandle(Type handle) : Handle_(handle) {}
    ~TUniqueHandle() { Reset(); }
    TUniqueHandle(TUniqueHandle&& other) noexcept : Handle_(other.Release()) {}
    TUniqueHandle& operator=(TUniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;

    Type Get() const { return Handle_; }
    bool Valid() const { return Traits::Valid(Handle_); }
    explicit operator bool() const { return Valid(); }
    Type Release() { return std::exchange(Handle_, Traits::Empty()); }
    void Reset(Type handle = Traits::Empty())
    {
        if (Traits::Valid(Handle_))
            Traits::Close(Handle_);
        Handle_ = handle;
    }

private:
    Type Handle_ = Traits::Empty();
};

// Kernel objects: files, threads, processes, snapshots. Both null and INVALID_HANDLE_VALUE mean none,
// since CreateFileW and CreateThread fail differently.
struct TKernelHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return nullptr; }
    static bool Valid(Type h) { return h && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { CloseHandle(h); }
};

struct TFindHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static bool Valid(Type h) { return h && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { FindClose(h); }
};

struct TModuleTraits {
    using Type = HMODULE;
    static Type Empty() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr; }
    static void Close(Type h) { FreeLibrary(h); }
};

struct TGdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Empty() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr; }
    static void Close(Type h) { DeleteObject(h); }
};

using THandle = TUniqueHandle<TKernelHandleTraits>;
using TFindHandle = TUniqueHandle<TFindHandleTraits>;
using TModule = TUniqueHandle<TModuleTraits>;
using TGdiObject = TUniqueHandle<TGdiObjectTraits>;
