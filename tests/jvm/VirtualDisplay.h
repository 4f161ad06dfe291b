// An X display of its own for a test: Xvfb on a free display number, its
// screen kept in a file (-fbdir) that this side reads while programs draw on
// it, and ended when the object goes.
#pragma once

#include "tests/jvm/Program.h"

#include <cstdint>

namespace tala::test {

// What the screen showed at one moment.
class Screenshot {
public:
    // An XWD dump, as Xvfb keeps its screen; empty unless it is 32-bit TrueColor.
    explicit Screenshot(const std::string& dump);

    int Width() const { return width_; }
    // The pixel as 0xRRGGBB; none outside the screen.
    std::optional<std::uint32_t> Pixel(int x, int y) const;

private:
    std::string pixels_;
    int width_ = 0;
    int height_ = 0;
    std::size_t bytesPerLine_ = 0;
};

class VirtualDisplay {
public:
    // A 1024 x 768 screen, 24 bits deep; waits up to the time-out for it.
    explicit VirtualDisplay(std::chrono::seconds timeout = std::chrono::seconds(20));
    ~VirtualDisplay() { server_.Kill(SIGTERM); }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool Ready() const { return !name_.empty(); }
    // ":N", for DISPLAY.
    const std::string& Name() const { return name_; }
    // Why it is not ready.
    const std::string& Problem() const { return problem_; }
    Screenshot Screen() const { return Screenshot(ReadBytes(folder_.Path() / "Xvfb_screen0")); }

private:
    TempFolder folder_;
    Program server_;
    std::string name_;
    std::string problem_;
};

} // namespace tala::test
