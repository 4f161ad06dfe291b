// Starts of the launcher that both builds must end alike, each case written
// once: the settings file, the words after the program, and what is seen --
// the exit code, the message (a box on Windows, standard error on Linux) and
// the arguments main received. The jvm and windows tiers each run every
// case and supply only the application: probe.App on a real JVM, the
// stand-in VM library under Wine. Both applications record their arguments,
// call System.exit(N) when the first two are "exit" and N, and leave main
// with an exception when the first is "throw".
#pragma once

#include "launcher/MessageFormat.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tala::test {

struct StartCase {
    std::string name = {};
    // With an application, the tier's settings come first: "[Class Path]"
    // with its class path, then "[Java Runtime Environment]" with its "JRE
    // Path" and "Main Class"; these lines follow, so they go on with that
    // section. Without one, these bytes are the whole file (none: no file)
    // and no runtime can be found: Windows asks for one ("JRE Not Found",
    // answered with Cancel), Linux without a terminal cannot ask.
    bool application = false;
    std::optional<std::string> settings = std::nullopt;
    std::vector<std::string> arguments = {}; // UTF-8
    std::optional<int> exitCode = -1;   // none: the launcher stays after main
    std::optional<int> message = std::nullopt; // the MessageId shown, if any
    // main's arguments, if it runs; "{home}" stands for the runtime's folder.
    std::optional<std::vector<std::u16string>> mainArguments = std::nullopt;
};

std::vector<StartCase> StartCases();

// Failures name the case instead of dumping its bytes (10 MB for some).
inline void PrintTo(const StartCase& start, std::ostream* out)
{
    *out << start.name;
}

// A message of the launcher's string table, filled in as the user reads it.
std::u16string MessageOf(int id, std::initializer_list<MessageArgument> arguments = {});

// The case's expected arguments of main with "{home}" replaced.
std::vector<std::u16string> MainArgumentsFor(const StartCase& start, const std::u16string& home);

} // namespace tala::test
