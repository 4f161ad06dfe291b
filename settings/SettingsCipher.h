// The form in which an executable carries its settings text: enciphered with
// a key made from the product's "Upgrade Code", behind a small header with a
// check, so a wrong or missing code reads as no text at all. This keeps the
// settings from casual reading and editing; it is not secrecy (the key stands
// in the settings file beside the executable).
#pragma once

#include <string>
#include <string_view>

namespace tala {

// The carried bytes for a settings text and a code.
std::string EncipherSettings(std::u16string_view text, std::u16string_view upgradeCode);

// The text, or false when the bytes are not carried settings or the code is
// not the one they were enciphered with.
bool DecipherSettings(std::string_view carried, std::u16string_view upgradeCode, std::u16string& text);

} // namespace tala
