// INI files as the platform reads and writes them: section and key names
// match without regard to case, a value is the text after the first "=" with
// blanks trimmed, and one pair of enclosing quotes is stripped.
#pragma once

#include <string>
#include <vector>

namespace tala::os {

// The whole value, however long; empty when the file, section or key is missing.
std::u16string ReadIniString(const std::u16string& path, const std::u16string& section,
                             const std::u16string& key);

// Section names in file order; empty names are left out.
std::vector<std::u16string> ReadIniSectionNames(const std::u16string& path);

// Creates the file, section and key as needed; only the key's line changes.
// False, with the file left as it was, when it cannot be read or written.
bool WriteIniString(const std::u16string& path, const std::u16string& section,
                    const std::u16string& key, const std::u16string& value);

} // namespace tala::os
