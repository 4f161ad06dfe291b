#include "os/LastError.h"

#include <cerrno>

namespace tala::os {

std::int32_t LastErrorCode() { return errno; }

} // namespace tala::os
