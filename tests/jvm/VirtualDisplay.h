// An X display of its own for a test: Xvfb on a free display number, its
// screen kept in a file (-fbdir) that this side reads pixels from while
// programs draw on it, and ended when the object goes.
#pragma once

#include "tests/shared/TestFiles.h"

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tala::test {

class VirtualDisplay {
public:
    // A 1024 x 768 screen, 24 bits deep; waits up to the time-out for it.
    explicit VirtualDisplay(std::chrono::seconds timeout = std::chrono::seconds(20));
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool Ready() const { return !name_.empty(); }
    // ":N", for DISPLAY.
    const std::string& Name() const { return name_; }
    // Why it is not ready.
    const std::string& Problem() const { return problem_; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    // The pixel as 0xRRGGBB, as the screen shows it now; none outside it.
    std::optional<std::uint32_t> Pixel(int x, int y) const;

private:
    bool ReadLayout();

    TempFolder folder_;
    pid_t server_ = -1;
    std::string name_;
    std::string problem_;
    int screen_ = -1; // the screen file, open for reading
    int width_ = 0;
    int height_ = 0;
    std::uint64_t pixelsAt_ = 0;
    std::uint64_t bytesPerLine_ = 0;
};

} // namespace tala::test
