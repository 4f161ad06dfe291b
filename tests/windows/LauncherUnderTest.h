// The tala.exe under test, given to a test program as --launcher=PATH: a
// Windows path, or the host path of the build tree (Wine shows the host's
// root as Z:).
#pragma once

#include <filesystem>
#include <string_view>

namespace tala::test {

// Empty when the option is missing.
std::filesystem::path LauncherPath();

// The path another such option names ("--pack="); empty when it is missing.
std::filesystem::path PathOption(std::wstring_view option);

} // namespace tala::test
