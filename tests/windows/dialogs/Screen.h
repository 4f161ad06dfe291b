// What the screen shows of a window: its pixels as the user sees them, read
// from the screen (Xvfb's, under Wine), and saved as a PNG picture.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace tala::test {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB, rows top to bottom

    bool Empty() const { return pixels.empty(); }
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    // How many pixels have exactly this colour.
    std::size_t Count(COLORREF colour) const;
};

// The screen inside a rectangle in screen coordinates.
Picture CaptureScreen(const RECT& area);

// The window with its frame, once two looks a moment apart agree (it has
// finished painting) or the time is up.
Picture CaptureSettledWindow(HWND window, std::chrono::milliseconds timeout);

// Through GDI+; false when the file could not be written.
bool SavePng(const Picture& picture, const std::filesystem::path& file);

} // namespace tala::test
