// Pictures for the splash tests as PNG files, the format the runtime's
// splash library reads: 8-bit RGB, the image data in stored (uncompressed)
// deflate blocks, so every pixel is exactly the colour it was given.
#pragma once

#include "tests/shared/TestFiles.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace tala::test {

namespace png {

inline std::uint32_t Crc(const std::string& bytes)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes) crc = table[(crc ^ static_cast<unsigned char>(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

inline std::uint32_t Adler(const std::string& bytes)
{
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const char byte : bytes) {
        a = (a + static_cast<unsigned char>(byte)) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

inline void PutBigEndian(std::string& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

inline void PutChunk(std::string& out, const char* type, const std::string& data)
{
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::string typed = type + data;
    out += typed;
    PutBigEndian(out, Crc(typed));
}

} // namespace png

// colour(x, y) gives 0xRRGGBB.
inline void WritePng(const std::filesystem::path& path, int width, int height,
                     const std::function<std::uint32_t(int x, int y)>& colour)
{
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0'; // no filter
        for (int x = 0; x < width; ++x) {
            const std::uint32_t rgb = colour(x, y);
            raw += static_cast<char>((rgb >> 16) & 0xFF);
            raw += static_cast<char>((rgb >> 8) & 0xFF);
            raw += static_cast<char>(rgb & 0xFF);
        }
    }
    std::string deflated = "\x78\x01";
    for (std::size_t at = 0; at < raw.size(); at += 65535) {
        const std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
        deflated += static_cast<char>(at + length == raw.size() ? 1 : 0); // last block?
        deflated += static_cast<char>(length & 0xFF);
        deflated += static_cast<char>(length >> 8);
        deflated += static_cast<char>(~length & 0xFF);
        deflated += static_cast<char>((~length >> 8) & 0xFF);
        deflated.append(raw, at, length);
    }
    png::PutBigEndian(deflated, png::Adler(raw));

    std::string header;
    png::PutBigEndian(header, static_cast<std::uint32_t>(width));
    png::PutBigEndian(header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filter, no interlace
    std::string file = "\x89PNG\r\n\x1A\n";
    png::PutChunk(file, "IHDR", header);
    png::PutChunk(file, "IDAT", deflated);
    png::PutChunk(file, "IEND", "");
    WriteBytes(path, file);
}

} // namespace tala::test
