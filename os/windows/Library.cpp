#include "os/Library.h"

#include "os/windows/Wide.h"

#include <windows.h>

namespace tala::os {

LibraryHandle LoadLibraryFile(const std::u16string& path) { return ::LoadLibraryW(Wide(path)); }

void* FindLibrarySymbol(LibraryHandle library, const char* name)
{
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(library), name));
}

} // namespace tala::os
