// The name the JDK's monitoring tools (jps, jcmd, JConsole...) show for a
// process: the "sun.java.command" property, which the JDK's own launcher sets
// to the main class and its arguments. Without it a process started through
// Tala lists as nameless.
#pragma once

#include "settings/StringRules.h"

#include <string>
#include <string_view>
#include <vector>

namespace tala {

class Launcher;

// "-Dsun.java.command=" with the main class (dotted) and the arguments, each
// after one space, as the JDK's launcher writes it.
std::u16string JavaCommandOption(std::u16string_view mainClass, const StringList& programArguments);

// True when one of the options sets the property already.
bool SetsJavaCommand(const std::vector<std::string>& options);

// Appends the option to the launcher's VM options unless they set it.
void AddJavaCommandOption(Launcher& launcher);

} // namespace tala
