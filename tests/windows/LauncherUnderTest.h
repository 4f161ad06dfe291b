// Paths a test program is given (--launcher=PATH and the like, a host path
// becoming Z:) or has beside it; empty when the option is missing.
#pragma once

#include <filesystem>
#include <string_view>

namespace tala::test {

std::filesystem::path LauncherPath();
std::filesystem::path PathOption(std::wstring_view option); // "--pack="
std::filesystem::path BesideThisProgram(const wchar_t* name);

} // namespace tala::test
