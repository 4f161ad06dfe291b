// A settings file made into the text an executable carries: read by the
// settings file's own rules (names in any case, blanks around names and
// values, one pair of quotes around a value, comment lines), written in the
// exact form the carried text is read in, so it means what the file meant.
#pragma once

#include <string>
#include <string_view>

namespace tala::pack {

struct SettingsToCarry {
    std::u16string text;        // sections and "key=value" lines ending in "\r\n"
    std::u16string upgradeCode; // the file's "Upgrade Code", empty when it has none
};

// The file's bytes: UTF-8 (with or without a byte-order mark) or UTF-16
// with one. The "Product Information" section is left out: the launcher
// reads it from the settings file beside it only.
SettingsToCarry MakeSettingsToCarry(std::string_view fileBytes);

} // namespace tala::pack
