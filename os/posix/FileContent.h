// Whole-file reads and writes for the POSIX layer.
#pragma once

#include <string>

namespace tala::os {

// False when the file cannot be opened or read.
bool ReadFileContent(const std::string& path, std::string& bytes);

// Writes beside the target first and renames it over the target, so a failed
// write never leaves a half-written settings file.
bool ReplaceFileContent(const std::string& path, const std::string& bytes);

} // namespace tala::os
