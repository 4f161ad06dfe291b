// The calling thread's last system error code, as shown in "errno = %d".
#pragma once

#include <cstdint>

namespace tala::os {

std::int32_t LastErrorCode();

} // namespace tala::os
