#include "os/EnvironmentExpansion.h"

#include "os/windows/Wide.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace tala::os {

std::optional<std::u16string> ExpandEnvironmentReferences(const std::u16string& text)
{
    // The first call tells the size with the terminating NUL.
    const DWORD size = ::ExpandEnvironmentStringsW(Wide(text), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::vector<wchar_t> buffer(size, L'\0');
    if (::ExpandEnvironmentStringsW(Wide(text), buffer.data(), size) == 0) return std::nullopt;
    const auto end = std::find(buffer.begin(), buffer.end(), L'\0');
    return FromWide(buffer.data(), static_cast<std::size_t>(end - buffer.begin()));
}

} // namespace tala::os
