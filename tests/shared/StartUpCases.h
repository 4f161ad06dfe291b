// Settings files and how a start of either launcher build must end with them
// while no runtime can be found (the files that name a main class also ask for
// a Java version no machine has): the message shown (a box on Windows, standard
// error on Linux) and the exit code. The Windows and Linux end-to-end tests
// both run this table, so the two builds are held to the same behaviour.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tala::test {

struct StartUpCase {
    std::string name;
    std::optional<std::string> settingsFile; // bytes; none: no settings file at all
    std::optional<int> message;              // the MessageId shown, or none
    int exitCode = -1;
};

std::vector<StartUpCase> StartUpCases();

} // namespace tala::test
