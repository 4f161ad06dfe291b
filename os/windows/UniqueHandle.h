// Ownership of Win32 handles: each kind is closed by the function made for it.
#pragma once

#include <windows.h>

#include <memory>

namespace tala::os {

struct HandleCloser {
    using pointer = HANDLE;
    void operator()(HANDLE handle) const
    {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<HANDLE, HandleCloser>;

struct FindCloser {
    using pointer = HANDLE;
    void operator()(HANDLE handle) const
    {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) ::FindClose(handle);
    }
};
using UniqueFindHandle = std::unique_ptr<HANDLE, FindCloser>;

struct RegistryKeyCloser {
    using pointer = HKEY;
    void operator()(HKEY key) const { ::RegCloseKey(key); }
};
using UniqueRegistryKey = std::unique_ptr<HKEY, RegistryKeyCloser>;

struct ModuleFreer {
    using pointer = HMODULE;
    void operator()(HMODULE module) const { ::FreeLibrary(module); }
};
using UniqueModule = std::unique_ptr<HMODULE, ModuleFreer>;

// A mapped view of a file, unmapped when it goes.
class UniqueMappedView {
public:
    explicit UniqueMappedView(const void* view) : view_(view) {}
    ~UniqueMappedView()
    {
        if (view_ != nullptr) ::UnmapViewOfFile(view_);
    }
    UniqueMappedView(const UniqueMappedView&) = delete;
    UniqueMappedView& operator=(const UniqueMappedView&) = delete;

    const void* get() const { return view_; }

private:
    const void* view_;
};

// An invalid handle value counts as no handle.
inline HANDLE ValidOrNull(HANDLE handle)
{
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

} // namespace tala::os
