#include "os/IniFile.h"

#include "os/windows/Wide.h"

#include <windows.h>

#include <vector>

namespace tala::os {

std::u16string ReadIniString(const std::u16string& path, const std::u16string& section,
                             const std::u16string& key)
{
    // The API truncates to the buffer and reports size - 1 then: grow until
    // the value fits, so values of any length come back whole.
    std::vector<wchar_t> buffer(256);
    for (;;) {
        const DWORD length =
            ::GetPrivateProfileStringW(Wide(section), Wide(key), L"", buffer.data(),
                                       static_cast<DWORD>(buffer.size()), Wide(path));
        if (length != buffer.size() - 1) return FromWide(buffer.data(), length);
        buffer.assign(buffer.size() * 2, L'\0');
    }
}

std::vector<std::u16string> ReadIniSectionNames(const std::u16string& path)
{
    std::vector<wchar_t> buffer(256);
    DWORD length = 0;
    for (;;) {
        length = ::GetPrivateProfileSectionNamesW(buffer.data(), static_cast<DWORD>(buffer.size()),
                                                  Wide(path));
        if (length != buffer.size() - 2) break;
        buffer.assign(buffer.size() * 2, L'\0');
    }
    // The names come as a list of NUL-terminated strings.
    std::vector<std::u16string> names;
    std::u16string name;
    for (DWORD i = 0; i <= length && i < buffer.size(); ++i) {
        if (buffer[i] != L'\0') {
            name += static_cast<char16_t>(buffer[i]);
        } else {
            if (!name.empty()) names.push_back(name);
            name.clear();
        }
    }
    return names;
}

bool WriteIniString(const std::u16string& path, const std::u16string& section,
                    const std::u16string& key, const std::u16string& value)
{
    return ::WritePrivateProfileStringW(Wide(section), Wide(key), Wide(value), Wide(path)) != FALSE;
}

} // namespace tala::os
