// Starting other programs: another in this process's place, or a helper
// that works unseen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tala::os {

// Starts the program with this process's own command line (its first word
// still names this launcher), this environment and this working folder.
// With wait, returns the program's exit code once it has ended; otherwise 0
// at once. A program that cannot be started gives 0.
std::int32_t StartWithOwnCommandLine(const std::u16string& program, bool wait);

// Runs the program with these arguments (narrow, as the VM options are) and
// this environment less the variables named in withoutVariables, without a
// window and with its standard streams on the null device, and waits for it.
// Its exit code, or -1 when it could not be started or did not end normally.
std::int32_t RunQuietly(const std::u16string& program, const std::vector<std::string>& arguments,
                        const std::vector<std::u16string>& withoutVariables);

} // namespace tala::os
