// What one run of tala-pack is asked to do, as its command line says it.
#pragma once

#include "pack/VersionResource.h"

#include <optional>
#include <string>
#include <vector>

namespace tala::pack {

struct PackRequest {
    std::u16string launcher;
    std::u16string output;
    std::optional<std::u16string> settings;    // a settings file to carry
    std::optional<std::u16string> upgradeCode; // instead of the settings file's own
    std::optional<std::u16string> icon;
    VersionStrings versionStrings;
    std::optional<std::u16string> executionLevel;
    std::optional<std::u16string> jar;
};

// False with a message when the words are no valid command line; `help`
// when they ask for the usage text.
bool ParsePackArguments(const std::vector<std::u16string>& words, PackRequest& request, bool& help,
                        std::u16string& error);

// The usage text, line by line.
std::u16string PackUsage();

} // namespace tala::pack
