// Loading a library by its full path, for the rest of the process's life,
// and looking up the functions it exports.
#pragma once

#include <string>
#include <type_traits>

namespace tala::os {

using LibraryHandle = void*;

// Nothing when it cannot be loaded; LastErrorCode then tells why.
LibraryHandle LoadLibraryFile(const std::u16string& path);

// Nothing when the library does not export the name; LastErrorCode then tells why.
void* FindLibrarySymbol(LibraryHandle library, const char* name);

// An exported function as its own type: the one cast lives here, not at
// every call. Null when the library does not export the name.
template <typename Function>
    requires std::is_function_v<std::remove_pointer_t<Function>>
Function LibrarySymbol(LibraryHandle library, const char* name)
{
    return reinterpret_cast<Function>(FindLibrarySymbol(library, name));
}

} // namespace tala::os
