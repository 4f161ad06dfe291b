// Starting another program in this process's place.
#pragma once

#include <cstdint>
#include <string>

namespace tala::os {

// Starts the program with this process's own command line (its first word
// still names this launcher), this environment and this working folder.
// With wait, returns the program's exit code once it has ended; otherwise 0
// at once. A program that cannot be started gives 0.
std::int32_t StartWithOwnCommandLine(const std::u16string& program, bool wait);

} // namespace tala::os
