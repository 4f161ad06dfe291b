#include "os/Memory.h"

#include "os/posix/FileContent.h"

#include <sys/resource.h>
#include <unistd.h>

namespace tala::os {
namespace {

// Linux gives a 64-bit x86 process 128 TiB of user address space (47 bits;
// more only to programs that ask for it with mapping hints). Other 64-bit
// ports differ, but the figure only serves as the base of a percentage, as
// the user part of the address space does on Windows.
constexpr std::uint64_t kUserAddressSpace =
    sizeof(void*) >= 8 ? std::uint64_t{1} << 47 : std::uint64_t{3} << 30;

// What the process maps now: the first field of /proc/self/statm, in pages.
// Zero where that file does not exist.
std::uint64_t MappedBytes(std::uint64_t pageSize)
{
    std::string statm;
    if (!ReadFileContent("/proc/self/statm", statm)) return 0;
    std::uint64_t pages = 0;
    for (const char c : statm) {
        if (c < '0' || c > '9') break;
        pages = pages * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return pages * pageSize;
}

// The counterpart of Windows' available virtual memory: the address-space
// limit (RLIMIT_AS, which counts every mapping) when one is set, else the
// user address space, less what the process already maps.
std::uint64_t AvailableAddressSpace(std::uint64_t pageSize)
{
    std::uint64_t limit = kUserAddressSpace;
    rlimit addressSpace{};
    if (::getrlimit(RLIMIT_AS, &addressSpace) == 0 && addressSpace.rlim_cur != RLIM_INFINITY) {
        limit = addressSpace.rlim_cur;
    }
    const std::uint64_t mapped = MappedBytes(pageSize);
    return limit > mapped ? limit - mapped : 0;
}

} // namespace

MemoryStatus ReadMemoryStatus()
{
    MemoryStatus memory;
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pageSize <= 0) return memory;
    const auto pageBytes = static_cast<std::uint64_t>(pageSize);
    if (pages > 0) memory.totalPhysical = static_cast<std::uint64_t>(pages) * pageBytes;
    memory.availableVirtual = AvailableAddressSpace(pageBytes);
    return memory;
}

} // namespace tala::os
