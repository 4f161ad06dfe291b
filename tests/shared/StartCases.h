// Starts both builds must end alike (exit code, message: a box on Windows, standard error on
// Linux, and main's arguments). Each tier supplies the application, probe.Args on a real JVM or
// the stand-in VM library under Wine: both record their arguments, obey "exit N" and "throw".
#pragma once

#include "launcher/MessageFormat.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tala::test {

struct StartCase {
    std::string name = {};
    // With an application, these lines follow the tier's "[Class Path]" and "[Java Runtime
    // Environment]" (with "JRE Path" and "Main Class"). Without, they are the whole file (none: no
    // file) and no runtime is found: Windows asks (answered with Cancel), Linux cannot.
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

std::vector<std::u16string> MainArgumentsFor(const StartCase& start, const std::u16string& home);

} // namespace tala::test
