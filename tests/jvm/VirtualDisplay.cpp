#include "tests/jvm/VirtualDisplay.h"

namespace tala::test {

Screenshot::Screenshot(const std::string& dump)
{
    // An XWD dump: a header of big-endian 32-bit fields (these are their
    // indexes), the window name and the colour map, then the pixels.
    enum Field : std::size_t { kHeaderSize = 0, kFormat = 2, kWidth = 4, kHeight = 5, kByteOrder = 7,
                               kBitsPerPixel = 11, kBytesPerLine = 12, kRed = 14, kGreen = 15, kBlue = 16,
                               kColours = 19, kFields = 25 };
    const auto field = [&dump](Field index) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(dump[4 * index + i]);
        return value;
    };
    // Z pixmap, 32 bits a pixel, least significant byte first, 0xRRGGBB.
    if (dump.size() < 4 * kFields || field(kFormat) != 2 || field(kBitsPerPixel) != 32 || field(kByteOrder) != 0 ||
        field(kRed) != 0xFF0000 || field(kGreen) != 0x00FF00 || field(kBlue) != 0x0000FF) {
        return;
    }
    const std::size_t pixelsAt = field(kHeaderSize) + 12 * std::size_t{field(kColours)};
    bytesPerLine_ = field(kBytesPerLine);
    if (dump.size() < pixelsAt + bytesPerLine_ * field(kHeight)) return;
    pixels_ = dump.substr(pixelsAt);
    width_ = static_cast<int>(field(kWidth));
    height_ = static_cast<int>(field(kHeight));
}

std::optional<std::uint32_t> Screenshot::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return std::nullopt;
    const std::size_t at = static_cast<std::size_t>(y) * bytesPerLine_ + 4 * static_cast<std::size_t>(x);
    const auto byte = [&](std::size_t i) { return std::uint32_t{static_cast<unsigned char>(pixels_[at + i])}; };
    return (byte(2) << 16) | (byte(1) << 8) | byte(0);
}

// Xvfb writes its display number to the descriptor of -displayfd once it is ready.
VirtualDisplay::VirtualDisplay(std::chrono::seconds timeout)
    : server_({"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-fbdir", folder_.Path().string(),
               "-nolisten", "tcp"},
              folder_.Path())
{
    std::string number;
    if (server_.Pid() <= 0) {
        problem_ = "Xvfb could not be started";
    } else if (!WaitUntil([&] { return !(number = server_.Output()).empty() && number.back() == '\n'; }, timeout)) {
        problem_ = "Xvfb did not say which display it took";
    } else if (Screen().Width() == 0) {
        problem_ = "the screen file of Xvfb cannot be read";
    } else {
        number.pop_back();
        name_ = ":" + number;
    }
}

} // namespace tala::test
