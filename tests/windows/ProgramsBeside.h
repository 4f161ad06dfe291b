// The helper programs and libraries the windows tests use are built into the
// folder of the test programs themselves.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

namespace tala::test {

inline std::filesystem::path BesideThisProgram(const wchar_t* name)
{
    std::wstring self(MAX_PATH, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    self.resize(length);
    return std::filesystem::path(self).parent_path() / name;
}

} // namespace tala::test
