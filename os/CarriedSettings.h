// The enciphered settings a packed executable carries: on Windows an RCDATA
// resource of its own image, elsewhere a part of its own file that the
// trailer at the file's end points to.
#pragma once

#include <string>

namespace tala::os {

// The resource's name on Windows (upper case: resource names are looked up so).
inline constexpr char16_t kCarriedSettingsName[] = u"TALA_SETTINGS";

// Empty when the executable carries none or they cannot be read.
std::string ReadCarriedSettings();

} // namespace tala::os
