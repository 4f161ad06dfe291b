// This process's argv exactly as the system passed it, read from
// /proc/self/cmdline (each word ended by a NUL), so the entry point need not
// hand argv around.
#pragma once

#include <string>
#include <vector>

namespace tala::os {

// The words as bytes, untouched; none when they cannot be read.
std::vector<std::string> OwnArguments();

} // namespace tala::os
