#include "os/Memory.h"

#include <windows.h>

namespace tala::os {

MemoryStatus ReadMemoryStatus()
{
    // In a 64-bit process the SIZE_T fields hold the whole amounts.
    MEMORYSTATUS status{};
    status.dwLength = sizeof(status);
    ::GlobalMemoryStatus(&status);
    MemoryStatus memory;
    memory.totalPhysical = status.dwTotalPhys;
    memory.availableVirtual = status.dwAvailVirtual;
    return memory;
}

} // namespace tala::os
