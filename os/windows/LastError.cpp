#include "os/LastError.h"

#include <windows.h>

namespace tala::os {

std::int32_t LastErrorCode() { return static_cast<std::int32_t>(::GetLastError()); }

} // namespace tala::os
