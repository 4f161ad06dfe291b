// Pictures for the splash tests as PNG files, the format the runtime's
// splash library reads: 8-bit RGB, the image data in stored (uncompressed)
// deflate blocks, so every pixel is exactly the colour it was given.
#pragma once

#include "tests/shared/TestFiles.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>

namespace tala::test {

// colour(x, y) gives 0xRRGGBB.
inline void WritePng(const std::filesystem::path& path, int width, int height,
                     const std::function<std::uint32_t(int x, int y)>& colour)
{
    const auto putBigEndian = [](std::string& out, std::uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
    };
    const auto putChunk = [&putBigEndian](std::string& out, const char* type, const std::string& data) {
        static const std::array<std::uint32_t, 256> crcTable = [] {
            std::array<std::uint32_t, 256> entries{};
            for (std::uint32_t n = 0; n < 256; ++n) {
                std::uint32_t c = n;
                for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
                entries[n] = c;
            }
            return entries;
        }();
        const std::string typed = type + data;
        std::uint32_t crc = 0xFFFFFFFFu;
        for (const char byte : typed) crc = crcTable[(crc ^ static_cast<unsigned char>(byte)) & 0xFF] ^ (crc >> 8);
        putBigEndian(out, static_cast<std::uint32_t>(data.size()));
        out += typed;
        putBigEndian(out, crc ^ 0xFFFFFFFFu);
    };

    std::string raw; // each row: no filter, then its pixels
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        for (int x = 0; x < width; ++x) {
            const std::uint32_t rgb = colour(x, y);
            raw += {static_cast<char>(rgb >> 16), static_cast<char>(rgb >> 8), static_cast<char>(rgb)};
        }
    }
    std::string deflated = "\x78\x01";
    for (std::size_t at = 0; at < raw.size(); at += 65535) {
        const std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
        deflated += static_cast<char>(at + length == raw.size() ? 1 : 0); // the last block?
        for (const std::size_t half : {length, ~length}) { // little-endian, then its complement
            deflated += {static_cast<char>(half & 0xFF), static_cast<char>((half >> 8) & 0xFF)};
        }
        deflated.append(raw, at, length);
    }
    std::uint32_t a = 1, b = 0; // Adler-32
    for (const char byte : raw) {
        a = (a + static_cast<unsigned char>(byte)) % 65521;
        b = (b + a) % 65521;
    }
    putBigEndian(deflated, (b << 16) | a);

    std::string header;
    putBigEndian(header, static_cast<std::uint32_t>(width));
    putBigEndian(header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filter, no interlace
    std::string file = "\x89PNG\r\n\x1A\n";
    putChunk(file, "IHDR", header);
    putChunk(file, "IDAT", deflated);
    putChunk(file, "IEND", "");
    WriteBytes(path, file);
}

} // namespace tala::test
