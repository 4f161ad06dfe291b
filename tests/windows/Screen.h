// Pixels of the screen (Xvfb's, under Wine) or of a canvas of the test's own.
#pragma once

#include "os/windows/GdiObjects.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace tala::test {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0xRRGGBB, rows top to bottom

    std::optional<std::uint32_t> At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height) return std::nullopt;
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
    std::size_t Count(std::uint32_t colour) const
    {
        return static_cast<std::size_t>(std::ranges::count(pixels, colour));
    }
};

// A 32-bit bitmap in a memory device context, to read back what GDI draws.
class Canvas {
public:
    Canvas(int width, int height);

    bool Ready() const { return bits_ != nullptr; }
    HDC Dc() const { return dc_.get(); }
    void Fill(std::uint32_t colour);
    Picture Read() const;

private:
    std::uint32_t* End() const { return bits_ + static_cast<std::ptrdiff_t>(width_) * height_; }

    int width_;
    int height_;
    std::uint32_t* bits_ = nullptr;
    os::MemoryDc dc_;
    os::UniqueBitmap bitmap_;
    std::optional<os::SelectionScope> selection_;
};

// The whole primary display when no area is given.
Picture CaptureScreen(const std::optional<RECT>& area = std::nullopt);
// The window with its frame, once two looks a moment apart agree or the time is up.
Picture CaptureSettledWindow(HWND window, std::chrono::milliseconds timeout);
// Compared by pixels: the icon handle of another process's control is that process's.
bool ShowsErrorIcon(HWND control);
bool SavePng(const Picture& picture, const std::filesystem::path& file);

} // namespace tala::test
