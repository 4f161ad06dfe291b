#include "os/CarriedSettings.h"

#include <windows.h>

namespace tala::os {

std::string ReadCarriedSettings()
{
    // A module's own resources stay mapped with it: nothing to free.
    const HRSRC found = ::FindResourceW(nullptr, reinterpret_cast<const wchar_t*>(kCarriedSettingsName),
                                        MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (found == nullptr) return {};
    const HGLOBAL loaded = ::LoadResource(nullptr, found);
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (data == nullptr) return {};
    return std::string(static_cast<const char*>(data), ::SizeofResource(nullptr, found));
}

} // namespace tala::os
