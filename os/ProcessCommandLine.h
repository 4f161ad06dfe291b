// The command line the process was started with, in the form the platform
// keeps it: Windows keeps one text that the launcher splits by its own rules;
// POSIX keeps the words the system already split.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tala::os {

struct ProcessCommandLine {
    std::optional<std::u16string> text; // the whole line, where there is one
    std::vector<std::u16string> words;  // the split words, where there is no line
};

ProcessCommandLine GetProcessCommandLine();

} // namespace tala::os
