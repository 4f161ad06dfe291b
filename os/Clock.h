// Time as the launcher measures spans: milliseconds on a clock that only
// goes forward, unmoved by changes of the wall-clock time.
#pragma once

#include <cstdint>

namespace tala::os {

// Since an arbitrary moment before this process started.
std::uint64_t MonotonicMilliseconds();

} // namespace tala::os
