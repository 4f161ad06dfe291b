#include "os/Clock.h"

#include <windows.h>

namespace tala::os {

std::uint64_t MonotonicMilliseconds() { return ::GetTickCount64(); }

} // namespace tala::os
