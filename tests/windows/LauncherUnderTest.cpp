#include "tests/windows/LauncherUnderTest.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <string>

namespace tala::test {

std::filesystem::path LauncherPath() { return PathOption(L"--launcher="); }

std::filesystem::path BesideThisProgram(const wchar_t* name)
{
    std::wstring self(MAX_PATH, L'\0');
    self.resize(::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    return std::filesystem::path(self).parent_path() / name;
}

ScopedUserValue::ScopedUserValue(const wchar_t* key, const wchar_t* name, const std::optional<std::wstring>& value)
    : key_(key), name_(name)
{
    wchar_t data[256] = {};
    DWORD size = sizeof data;
    if (::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, data, &size) == ERROR_SUCCESS) {
        previous_ = data;
    }
    Set(value);
}

void ScopedUserValue::Set(const std::optional<std::wstring>& value) const
{
    value ? ::RegSetKeyValueW(HKEY_CURRENT_USER, key_, name_, REG_SZ, value->c_str(),
                              static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)))
          : ::RegDeleteKeyValueW(HKEY_CURRENT_USER, key_, name_);
}

std::filesystem::path PathOption(std::wstring_view option)
{
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&::LocalFree)> arguments(::CommandLineToArgvW(::GetCommandLineW(), &count),
                                                                    &::LocalFree);
    for (int i = 1; arguments && i < count; ++i) {
        std::wstring argument = arguments.get()[i];
        if (argument.rfind(option, 0) != 0) continue;
        std::wstring path = argument.substr(option.size());
        if (path.starts_with(L"/")) {
            std::replace(path.begin(), path.end(), L'/', L'\\');
            path = L"Z:" + path;
        }
        return path;
    }
    return {};
}

} // namespace tala::test
