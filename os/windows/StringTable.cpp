#include "os/StringTable.h"

#include "os/windows/Wide.h"

#include <windows.h>

#include <vector>

namespace tala::os {

std::u16string LoadMessageText(int id)
{
    // LoadStringW truncates silently: while the text fills the buffer, retry
    // with twice the room.
    std::vector<wchar_t> buffer;
    for (std::size_t room = 256;; room *= 2) {
        buffer.assign(room, L'\0');
        const int length = ::LoadStringW(::GetModuleHandleW(nullptr), static_cast<UINT>(id),
                                         buffer.data(), static_cast<int>(room));
        if (length <= 0) return {};
        if (static_cast<std::size_t>(length) < room - 1) {
            return FromWide(buffer.data(), static_cast<std::size_t>(length));
        }
    }
}

} // namespace tala::os
