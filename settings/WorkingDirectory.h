// The "Override WorkingDir" switch: the application starts in the
// executable's folder instead of the folder it was started from.
#pragma once

#include "os/PathStyle.h"

#include <optional>
#include <string>
#include <string_view>

namespace tala {

// The executable's folder without its final separator; nothing when the path
// has no separator after its first character. An executable in a drive's
// root gives the bare drive (C:).
std::optional<std::u16string> WorkingDirectoryFor(std::u16string_view executablePath,
                                                  os::PathStyle style = os::kHostPathStyle);

// Failures are ignored: the application then starts where it was started.
void ApplyWorkingDirectory();

} // namespace tala
