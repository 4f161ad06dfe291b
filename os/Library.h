// Loading a library by its full path, for the rest of the process's life.
#pragma once

#include <string>

namespace tala::os {

using LibraryHandle = void*;

// Nothing when it cannot be loaded; LastErrorCode then tells why.
LibraryHandle LoadLibraryFile(const std::u16string& path);

// Nothing when the library does not export the name; LastErrorCode then tells why.
void* FindLibrarySymbol(LibraryHandle library, const char* name);

} // namespace tala::os
