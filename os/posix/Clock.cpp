#include "os/Clock.h"

#include <ctime>

namespace tala::os {

std::uint64_t MonotonicMilliseconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}

} // namespace tala::os
