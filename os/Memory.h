// The machine's memory, as the base of VM sizes given as a share of it.
#pragma once

#include <cstdint>

namespace tala::os {

struct MemoryStatus {
    std::uint64_t totalPhysical = 0;    // bytes of physical memory
    std::uint64_t availableVirtual = 0; // bytes of address space this process can still map
};

// Zero for what the system cannot tell.
MemoryStatus ReadMemoryStatus();

} // namespace tala::os
