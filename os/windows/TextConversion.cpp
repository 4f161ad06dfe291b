#include "os/TextConversion.h"

#include <windows.h>

#include <climits>

namespace tala::os {

std::string ToAnsiCodePage(std::u16string_view text)
{
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int size =
        ::WideCharToMultiByte(CP_THREAD_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string narrow(static_cast<std::size_t>(size), '\0');
    const int written = ::WideCharToMultiByte(CP_THREAD_ACP, 0, wide, length, narrow.data(), size,
                                              nullptr, nullptr);
    narrow.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return narrow;
}

} // namespace tala::os
