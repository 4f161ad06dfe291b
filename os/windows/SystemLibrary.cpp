#include "os/windows/SystemLibrary.h"

#include <string>

namespace tala::os {

UniqueModule LoadSystemLibrary(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\" + name;
    HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Systems without the search flags refuse them; the full path alone
    // still names the system's copy.
    if (module == nullptr && ::GetLastError() == ERROR_INVALID_PARAMETER) module = ::LoadLibraryW(path.c_str());
    return UniqueModule(module);
}

} // namespace tala::os
