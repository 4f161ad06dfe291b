// The terminal a launcher started from a shell talks to: its dialogs become
// prompts there. Without one (started from a desktop, a service, a test) they
// cannot be shown.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tala::os {

// Standard input and standard error are both a terminal.
bool HasTerminal();

// Writes UTF-8 text to standard error.
void WriteToTerminal(std::string_view text);

// One line from standard input, without its line end; nothing at its end.
std::optional<std::string> ReadTerminalLine();

} // namespace tala::os
