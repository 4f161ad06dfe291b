// The end of a packed executable file on systems whose executables carry no
// resources: the launcher's own file, then the enciphered settings, then the
// application's jar, then this fixed-size trailer that says where they are.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tala::os {

struct PackedTrailer {
    std::uint64_t payloadStart = 0; // where the settings begin: the launcher's own size
    std::uint64_t settingsSize = 0;
    std::uint64_t jarSize = 0;      // the jar follows the settings
};

inline constexpr std::size_t kPackedTrailerSize = 32;

std::string EncodeTrailer(const PackedTrailer& trailer);

// The trailer from the last kPackedTrailerSize bytes of a file of that size;
// none when they are no trailer or its parts do not fill the file exactly.
std::optional<PackedTrailer> DecodeTrailer(std::string_view last, std::uint64_t fileSize);

} // namespace tala::os
