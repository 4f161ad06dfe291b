#include "os/Environment.h"

#include "os/windows/Wide.h"

#include <windows.h>

#include <vector>

namespace tala::os {

std::optional<std::u16string> ReadEnvironmentVariable(const std::u16string& name)
{
    // Read the whole value, however long: a first call tells the size.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        ::SetLastError(ERROR_SUCCESS);
        const DWORD length = ::GetEnvironmentVariableW(Wide(name), buffer.data(),
                                                       static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::u16string();
        }
        if (length < buffer.size()) return FromWide(buffer.data(), length);
        buffer.assign(length, L'\0');
    }
}

bool WriteEnvironmentVariable(const std::u16string& name,
                              const std::optional<std::u16string>& value)
{
    return ::SetEnvironmentVariableW(Wide(name), value ? Wide(*value) : nullptr) != FALSE;
}

std::u16string UserHomeFolder()
{
    return ReadEnvironmentVariable(u"USERPROFILE").value_or(std::u16string());
}

std::u16string UserSettingsRoot()
{
    return ReadEnvironmentVariable(u"APPDATA").value_or(std::u16string());
}

void PrepareUserSettingsRoot(const std::u16string&) {}

} // namespace tala::os
