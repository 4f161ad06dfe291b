// The paths a test program is given and the helper programs and libraries
// built beside it. The tala.exe under test comes as --launcher=PATH: a
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

// A helper program or library built into the folder of the test programs.
std::filesystem::path BesideThisProgram(const wchar_t* name);

} // namespace tala::test
