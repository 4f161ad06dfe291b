// The tala.exe under test, given to a test program as --launcher=PATH: a
// Windows path, or the host path of the build tree (Wine shows the host's
// root as Z:).
#pragma once

#include <filesystem>

namespace tala::test {

// Empty when the option is missing.
std::filesystem::path LauncherPath();

} // namespace tala::test
