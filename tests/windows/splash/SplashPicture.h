// The splash image the tests show, written as a BMP file and judged on the screen.
#pragma once

#include "tests/windows/Screen.h"

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace tala::test {

// A one-pixel frame and four quarters: neither shifted, mirrored nor scaled.
inline constexpr std::uint32_t kFrame = 0x123456;
inline constexpr std::uint32_t kTopLeft = 0xE01020;
inline constexpr std::uint32_t kTopRight = 0x10C030;
inline constexpr std::uint32_t kBottomLeft = 0x2030D0;
inline constexpr std::uint32_t kBottomRight = 0xF0E040;

std::uint32_t SplashColour(int x, int y, int width, int height);

void WritePicture(const std::filesystem::path& path, int width, int height);

// Empty when the screen shows the image at this origin with no frame colour
// next to it; otherwise the first pixel that differs.
std::string PictureMismatch(const Picture& screen, POINT origin, int width, int height);

} // namespace tala::test
