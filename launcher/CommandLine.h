// The launcher's command line: every word after the program's own path
// becomes an argument of the Java application's main method. The launcher
// consumes no argument.
#pragma once

#include "os/ProcessCommandLine.h"
#include "settings/StringRules.h"

#include <string_view>

namespace tala {

// Splits like the launcher always has: only spaces separate words; a double
// quote is special only as the first character of a word, and a word opened
// by one runs to the next double quote (or the end of the text); backslashes
// are ordinary. Appends the words to list.
void SplitCommandLine(std::u16string_view text, StringList& list);

// The program arguments of a process command line: the trimmed line split
// into words (or the system's words), less the program's own path.
StringList ProgramArgumentsFrom(const os::ProcessCommandLine& commandLine);

void ReadCommandLine(StringList& programArguments);

} // namespace tala
