#include "tests/windows/dialogs/Screen.h"

#include "tests/windows/dialogs/LauncherRun.h"

#include <gdiplus.h>

#include <memory>
#include <thread>
#include <type_traits>

namespace tala::test {
namespace {

// Window rectangles and screen pixels in the same units on a screen of more
// than 96 DPI too, where Wine would scale rectangles for a program that is
// not DPI-aware (the launcher is).
[[maybe_unused]] const bool kDpiAware = ::SetProcessDPIAware() != FALSE;

struct ScreenDcReleaser {
    void operator()(HDC dc) const { ::ReleaseDC(nullptr, dc); }
};
struct DcDeleter {
    void operator()(HDC dc) const { ::DeleteDC(dc); }
};
struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};

// GDI+ for the length of one use.
class GdiPlus {
public:
    GdiPlus()
    {
        const Gdiplus::GdiplusStartupInput input;
        ready_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiPlus()
    {
        if (ready_) Gdiplus::GdiplusShutdown(token_);
    }
    GdiPlus(const GdiPlus&) = delete;
    GdiPlus& operator=(const GdiPlus&) = delete;
    bool Ready() const { return ready_; }

private:
    ULONG_PTR token_ = 0;
    bool ready_ = false;
};

struct GdiPlusImageDeleter {
    void operator()(Gdiplus::GpBitmap* bitmap) const { Gdiplus::DllExports::GdipDisposeImage(bitmap); }
};

// The PNG encoder GDI+ has built in.
constexpr CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

} // namespace

std::size_t Picture::Count(COLORREF colour) const
{
    const std::uint32_t wanted = (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
                                 (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
    std::size_t count = 0;
    for (const std::uint32_t pixel : pixels) count += pixel == wanted ? 1 : 0;
    return count;
}

Picture CaptureScreen(const RECT& area)
{
    Picture picture;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return picture;
    const std::unique_ptr<std::remove_pointer_t<HDC>, ScreenDcReleaser> screen(::GetDC(nullptr));
    const std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter> memory(::CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter> bitmap(
        ::CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!screen || !memory || !bitmap || bits == nullptr) return picture;
    const HGDIOBJ previous = ::SelectObject(memory.get(), bitmap.get());
    const bool copied = ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY);
    ::GdiFlush();
    ::SelectObject(memory.get(), previous);
    if (!copied) return picture;
    const auto* first = static_cast<const std::uint32_t*>(bits);
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(first, first + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::uint32_t& pixel : picture.pixels) pixel &= 0x00FFFFFFu;
    return picture;
}

Picture CaptureSettledWindow(HWND window, std::chrono::milliseconds timeout)
{
    Picture last;
    WaitUntil(
        [&] {
            RECT frame{};
            ::GetWindowRect(window, &frame);
            Picture now = CaptureScreen(frame);
            const bool settled = !now.Empty() && now.width == last.width && now.height == last.height &&
                                 now.pixels == last.pixels;
            last = std::move(now);
            if (!settled) std::this_thread::sleep_for(100ms);
            return settled;
        },
        timeout);
    return last;
}

bool SavePng(const Picture& picture, const std::filesystem::path& file)
{
    if (picture.Empty()) return false;
    const GdiPlus gdiPlus;
    if (!gdiPlus.Ready()) return false;
    Gdiplus::GpBitmap* created = nullptr;
    // GDI+ reads the pixels in place; the picture outlives the bitmap.
    auto* scan = const_cast<BYTE*>(reinterpret_cast<const BYTE*>(picture.pixels.data()));
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(picture.width, picture.height, picture.width * 4,
                                                       PixelFormat32bppRGB, scan, &created) != Gdiplus::Ok) {
        return false;
    }
    const std::unique_ptr<Gdiplus::GpBitmap, GdiPlusImageDeleter> bitmap(created);
    return Gdiplus::DllExports::GdipSaveImageToFile(bitmap.get(), file.c_str(), &kPngEncoder, nullptr) ==
           Gdiplus::Ok;
}

} // namespace tala::test
