// The full path of the running executable.
#pragma once

#include <string>

namespace tala::os {

// False when the system cannot tell (LastErrorCode says why).
bool GetModulePath(std::u16string& path);

} // namespace tala::os
