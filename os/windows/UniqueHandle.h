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

// An invalid handle value counts as no handle.
inline HANDLE ValidOrNull(HANDLE handle)
{
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

} // namespace tala::os
