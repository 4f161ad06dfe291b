#include "os/PackedTrailer.h"

namespace tala::os {
namespace {

// Three little-endian 64-bit sizes, then the mark.
constexpr std::string_view kMark = "TALAPAK1";

void Put(std::string& bytes, std::uint64_t value)
{
    for (int i = 0; i < 8; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFFu);
}

std::uint64_t Get(std::string_view bytes, std::size_t at)
{
    std::uint64_t value = 0;
    for (std::size_t i = 8; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

} // namespace

std::string EncodeTrailer(const PackedTrailer& trailer)
{
    std::string bytes;
    Put(bytes, trailer.payloadStart);
    Put(bytes, trailer.settingsSize);
    Put(bytes, trailer.jarSize);
    bytes += kMark;
    return bytes;
}

std::optional<PackedTrailer> DecodeTrailer(std::string_view last, std::uint64_t fileSize)
{
    if (last.size() != kPackedTrailerSize || last.substr(24) != kMark) return std::nullopt;
    const PackedTrailer trailer{Get(last, 0), Get(last, 8), Get(last, 16)};
    // Each part no larger than the file, so the sum cannot wrap.
    if (trailer.payloadStart > fileSize || trailer.settingsSize > fileSize || trailer.jarSize > fileSize ||
        trailer.payloadStart + trailer.settingsSize + trailer.jarSize + kPackedTrailerSize != fileSize) {
        return std::nullopt;
    }
    return trailer;
}

} // namespace tala::os
