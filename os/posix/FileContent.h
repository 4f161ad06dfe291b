// Whole-file reads and writes for the POSIX layer.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tala::os {

// False when the file cannot be opened or read.
bool ReadFileContent(const std::string& path, std::string& bytes);

// Makes the file's new content from its current bytes (none for a missing
// file) and puts it in place in one step: written beside the file, then
// renamed over it, so an interrupted write never leaves half a file. A
// symbolic link stays a link and the file it leads to is replaced, keeping
// its mode, owner and group. A file that exists but cannot be read, or that
// this process may not write, or that has no write permission for anyone (as
// a read-only file on Windows, also for root), is left as it is: false.
bool UpdateFileContent(const std::string& path,
                       const std::function<std::string(std::string_view current)>& update);

} // namespace tala::os
