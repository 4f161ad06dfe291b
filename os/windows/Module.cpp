#include "os/Module.h"

#include "os/windows/Wide.h"

#include <windows.h>

#include <vector>

namespace tala::os {

bool GetModulePath(std::u16string& path)
{
    // Grow past MAX_PATH, so a launcher installed deep in a folder tree still
    // finds its settings file.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return false;
        if (length < buffer.size()) {
            path = FromWide(buffer.data(), length);
            return true;
        }
        if (buffer.size() >= 32768) return false;
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace tala::os
