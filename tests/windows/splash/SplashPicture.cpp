#include "tests/windows/splash/SplashPicture.h"

#include "tests/shared/TestFiles.h"

#include <cstdio>

namespace tala::test {

std::uint32_t SplashColour(int x, int y, int width, int height)
{
    if (x == 0 || y == 0 || x == width - 1 || y == height - 1) return kFrame;
    if (y < height / 2) return x < width / 2 ? kTopLeft : kTopRight;
    return x < width / 2 ? kBottomLeft : kBottomRight;
}

void WritePicture(const std::filesystem::path& path, int width, int height)
{
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height; // rows bottom to top
    info.biPlanes = 1;
    info.biBitCount = 24;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(rowBytes * height);
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    for (int y = height - 1; y >= 0; --y) {
        const std::size_t rowStart = bytes.size();
        for (int x = 0; x < width; ++x) {
            const std::uint32_t colour = SplashColour(x, y, width, height);
            bytes += {static_cast<char>(colour), static_cast<char>(colour >> 8), static_cast<char>(colour >> 16)};
        }
        bytes.resize(rowStart + static_cast<std::size_t>(rowBytes), '\0');
    }
    WriteBytes(path, bytes);
}

std::string PictureMismatch(const Picture& screen, POINT origin, int width, int height)
{
    for (int y = -1; y <= height; ++y) {
        for (int x = -1; x <= width; ++x) {
            const bool inside = x >= 0 && y >= 0 && x < width && y < height;
            const std::optional<std::uint32_t> seen = screen.At(origin.x + x, origin.y + y);
            if (!seen || (inside ? seen == SplashColour(x, y, width, height) : seen != kFrame)) continue;
            char text[120];
            std::snprintf(text, sizeof text, "(%d,%d) of the image shows %06X", x, y,
                          static_cast<unsigned>(seen.value_or(0xFFFFFFFF)));
            return text;
        }
    }
    return {};
}

} // namespace tala::test
