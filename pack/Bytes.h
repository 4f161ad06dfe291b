// Little-endian numbers in byte strings, as the PE, ICO and zip formats
// store them. Readers check ranges first (Fits); the accessors trust them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tala::pack {

inline bool Fits(std::string_view bytes, std::uint64_t at, std::uint64_t size)
{
    return at <= bytes.size() && size <= bytes.size() - at;
}

inline std::uint32_t ReadLittleEndian(std::string_view bytes, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

inline std::uint16_t Read16(std::string_view bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(ReadLittleEndian(bytes, at, 2));
}

inline std::uint32_t Read32(std::string_view bytes, std::size_t at) { return ReadLittleEndian(bytes, at, 4); }

inline void Write16(std::string& bytes, std::size_t at, std::uint16_t value)
{
    bytes[at] = static_cast<char>(value & 0xFFu);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

inline void Write32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFFu);
}

inline void Append16(std::string& bytes, std::uint16_t value)
{
    bytes += static_cast<char>(value & 0xFFu);
    bytes += static_cast<char>(value >> 8);
}

inline void Append32(std::string& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFFu);
}

inline void AppendUtf16(std::string& bytes, std::u16string_view text)
{
    for (const char16_t unit : text) Append16(bytes, unit);
}

// Zero bytes up to the next multiple of alignment.
inline void PadTo(std::string& bytes, std::size_t alignment)
{
    bytes.append((alignment - bytes.size() % alignment) % alignment, '\0');
}

inline std::uint32_t AlignUp(std::uint32_t value, std::uint32_t alignment)
{
    return (value + alignment - 1) / alignment * alignment;
}

} // namespace tala::pack
