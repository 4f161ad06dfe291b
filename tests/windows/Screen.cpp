#include "tests/windows/Screen.h"

#include "tests/windows/WaitUntil.h"

#include <gdiplus.h>

#include <algorithm>
#include <cstdlib>

namespace tala::test {
namespace {

// Window rectangles and screen pixels in the same units above 96 DPI too, as for the launcher.
[[maybe_unused]] const bool kDpiAware = ::SetProcessDPIAware() != FALSE;

constexpr CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

HBITMAP CreateTopDownBitmap(HDC dc, int width, int height, std::uint32_t*& bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // rows top to bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* created = nullptr;
    const HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &created, nullptr, 0);
    bits = bitmap == nullptr ? nullptr : static_cast<std::uint32_t*>(created);
    return bitmap;
}

struct GdiPlus {
    GdiPlus() { ready = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok; }
    ~GdiPlus()
    {
        if (ready) Gdiplus::GdiplusShutdown(token);
    }
    GdiPlus(const GdiPlus&) = delete;
    GdiPlus& operator=(const GdiPlus&) = delete;

    const Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    bool ready = false;
};

} // namespace

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      dc_(::CreateCompatibleDC(nullptr)),
      bitmap_(CreateTopDownBitmap(dc_.get(), width, height, bits_))
{
    if (dc_ && bitmap_) selection_.emplace(dc_.get(), bitmap_.get());
}

void Canvas::Fill(std::uint32_t colour)
{
    if (Ready()) std::fill(bits_, End(), colour);
}

Picture Canvas::Read() const
{
    if (!Ready()) return {};
    ::GdiFlush();
    Picture picture{width_, height_, std::vector<std::uint32_t>(bits_, End())};
    for (std::uint32_t& pixel : picture.pixels) pixel &= 0xFFFFFFu;
    return picture;
}

Picture CaptureScreen(const std::optional<RECT>& area)
{
    const RECT whole{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    const RECT& taken = area.value_or(whole);
    const int width = taken.right - taken.left;
    const int height = taken.bottom - taken.top;
    if (width <= 0 || height <= 0) return {};
    const Canvas canvas(width, height);
    const os::ScreenDc screen(::GetDC(nullptr));
    if (!canvas.Ready() || !screen ||
        !::BitBlt(canvas.Dc(), 0, 0, width, height, screen.get(), taken.left, taken.top, SRCCOPY)) {
        return {};
    }
    return canvas.Read();
}

Picture CaptureSettledWindow(HWND window, std::chrono::milliseconds timeout)
{
    Picture last;
    WaitUntil([&] {
        RECT frame{};
        ::GetWindowRect(window, &frame);
        Picture now = CaptureScreen(frame);
        const bool settled = !now.pixels.empty() && now.width == last.width && now.pixels == last.pixels;
        last = std::move(now);
        if (!settled) std::this_thread::sleep_for(100ms);
        return settled;
    }, timeout);
    return last;
}

bool ShowsErrorIcon(HWND control)
{
    RECT area{};
    ::GetClientRect(control, &area);
    ::MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&area), 2);
    const Picture shown = CaptureScreen(area);
    // Drawn over black and over white: where both agree the icon is opaque.
    const HICON icon = ::LoadIconW(nullptr, IDI_ERROR);
    Picture drawn[2];
    for (int i = 0; i < 2; ++i) {
        Canvas canvas(shown.width, shown.height);
        canvas.Fill(i == 0 ? 0x000000 : 0xFFFFFF);
        ::DrawIconEx(canvas.Dc(), 0, 0, icon, shown.width, shown.height, 0, nullptr, DI_NORMAL);
        drawn[i] = canvas.Read();
    }
    const auto close = [](std::uint32_t a, std::uint32_t b) {
        for (int shift = 0; shift < 24; shift += 8) {
            const int difference = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
            if (std::abs(difference) > 8) return false;
        }
        return true;
    };
    std::size_t opaque = 0;
    std::size_t matching = 0;
    for (std::size_t i = 0; i < shown.pixels.size() && i < drawn[1].pixels.size(); ++i) {
        if (drawn[0].pixels[i] != drawn[1].pixels[i]) continue;
        ++opaque;
        if (close(shown.pixels[i], drawn[0].pixels[i])) ++matching;
    }
    return opaque * 8 >= shown.pixels.size() && opaque > 0 && matching * 100 >= opaque * 98;
}

bool SavePng(const Picture& picture, const std::filesystem::path& file)
{
    const GdiPlus gdiPlus;
    if (picture.pixels.empty() || !gdiPlus.ready) return false;
    // GDI+ reads the pixels in place; the picture outlives the bitmap.
    auto* scan = const_cast<BYTE*>(reinterpret_cast<const BYTE*>(picture.pixels.data()));
    Gdiplus::Bitmap bitmap(picture.width, picture.height, picture.width * 4, PixelFormat32bppRGB, scan);
    return bitmap.Save(file.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
}

} // namespace tala::test
