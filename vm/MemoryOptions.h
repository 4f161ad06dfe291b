// VM memory sizes written as a share of the machine's memory
// (-Xmx50:256:1024P: half the physical memory, at least 256 MB, at most 1024 MB),
// and the Java thread's stack size read from -Xss.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tala {

struct MemoryBase {
    std::uint64_t totalPhysical = 0;    // bytes: the base of "P"
    std::uint64_t availableVirtual = 0; // bytes: the base of "T"
};

// The machine the launcher runs on.
MemoryBase SystemMemoryBase();

// -Xms, -Xmx or -Xss ending in P, p, T or t.
bool IsPercentMemoryOption(std::u16string_view parameter);

// The numbers of a size text: the prefix runs up to the first digit or ":";
// from there up to the last character (a suffix, never read), digits build
// numbers that ":" separates and other characters are skipped. The list is
// empty only when the text holds no digit and no ":" at all.
struct SizeList {
    std::size_t prefixLength = 0;
    std::vector<std::uint64_t> numbers;
};
SizeList ParseSizeList(std::u16string_view text);

// Rewrites a percentage-form parameter to "<name><kilobytes>K"; leaves others.
void RewriteMemoryOption(std::u16string& parameter, const MemoryBase& base);

// The stack size in bytes of the text behind "-Xss"; 0 when it cannot be read.
std::uint64_t ReadStackSize(std::u16string_view size);

} // namespace tala
