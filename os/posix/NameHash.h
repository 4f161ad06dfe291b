// A 64-bit FNV-1a hash of a name, for system names that must be short or
// numeric and still differ wherever the names differ (letter case included).
#pragma once

#include <cstdint>
#include <string_view>

namespace tala::os {

inline std::uint64_t HashName(std::string_view bytes)
{
    std::uint64_t hash = 0xCBF29CE484222325u;
    for (const char byte : bytes) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 0x100000001B3u;
    }
    return hash;
}

} // namespace tala::os
