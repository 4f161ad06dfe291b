#include "tests/windows/driver/ScreenIcon.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <type_traits>
#include <vector>

namespace tala::test {
namespace {

// A device context of the whole screen, released to it.
struct ScreenDcReleaser {
    void operator()(HDC dc) const { ::ReleaseDC(nullptr, dc); }
};
using ScreenDc = std::unique_ptr<std::remove_pointer_t<HDC>, ScreenDcReleaser>;

struct MemoryDcDeleter {
    void operator()(HDC dc) const { ::DeleteDC(dc); }
};
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

struct BitmapDeleter {
    void operator()(HBITMAP bitmap) const { ::DeleteObject(bitmap); }
};
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter>;

struct BrushDeleter {
    void operator()(HBRUSH brush) const { ::DeleteObject(brush); }
};
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, BrushDeleter>;

// A 32-bit top-down bitmap selected into its own memory DC, so its pixels
// can be read directly after drawing.
class Canvas {
public:
    Canvas(int width, int height)
        : width_(width), height_(height), dc_(::CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<const std::uint32_t*>(bits);
        if (dc_ && bitmap_) previous_ = ::SelectObject(dc_.get(), bitmap_.get());
    }
    ~Canvas()
    {
        if (previous_ != nullptr) ::SelectObject(dc_.get(), previous_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool Ready() const { return previous_ != nullptr && bits_ != nullptr; }
    HDC Dc() const { return dc_.get(); }

    void Fill(COLORREF colour)
    {
        const UniqueBrush brush(::CreateSolidBrush(colour));
        const RECT all{0, 0, width_, height_};
        ::FillRect(dc_.get(), &all, brush.get());
    }

    // The colour of every pixel, without the unused fourth byte.
    std::vector<std::uint32_t> Pixels() const
    {
        ::GdiFlush();
        const std::size_t count =
            static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
        std::vector<std::uint32_t> pixels(bits_, bits_ + count);
        for (std::uint32_t& pixel : pixels) pixel &= 0x00FFFFFFu;
        return pixels;
    }

private:
    int width_;
    int height_;
    MemoryDc dc_;
    UniqueBitmap bitmap_;
    const std::uint32_t* bits_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

constexpr std::array<DialogIcon, 4> kSystemIcons{DialogIcon::Error, DialogIcon::Warning,
                                                 DialogIcon::Information, DialogIcon::Question};

LPCWSTR ResourceOf(DialogIcon icon)
{
    switch (icon) {
    case DialogIcon::Error: return IDI_ERROR;
    case DialogIcon::Warning: return IDI_WARNING;
    case DialogIcon::Information: return IDI_INFORMATION;
    case DialogIcon::Question: return IDI_QUESTION;
    case DialogIcon::None:
    case DialogIcon::Other: break;
    }
    return nullptr;
}

// The icon as this process draws it at the given size, once over black and
// once over white: where both agree the icon is opaque and its colour does
// not depend on the control's background.
struct Reference {
    std::vector<std::uint32_t> overBlack;
    std::vector<std::uint32_t> overWhite;
};

bool DrawReference(DialogIcon systemIcon, int width, int height, Reference& reference)
{
    // A shared system icon: owned by the system, never destroyed by its user.
    const HICON icon = ::LoadIconW(nullptr, ResourceOf(systemIcon));
    if (icon == nullptr) return false;
    Canvas canvas(width, height);
    if (!canvas.Ready()) return false;
    canvas.Fill(RGB(0, 0, 0));
    ::DrawIconEx(canvas.Dc(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    reference.overBlack = canvas.Pixels();
    canvas.Fill(RGB(255, 255, 255));
    ::DrawIconEx(canvas.Dc(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    reference.overWhite = canvas.Pixels();
    return true;
}

bool CloseColours(std::uint32_t a, std::uint32_t b)
{
    // Both sides are drawn by the same code on the same display; the slack
    // only absorbs rounding in a different colour depth.
    constexpr int kSlack = 8;
    for (int shift = 0; shift < 24; shift += 8) {
        const int left = static_cast<int>((a >> shift) & 0xFFu);
        const int right = static_cast<int>((b >> shift) & 0xFFu);
        if (std::abs(left - right) > kSlack) return false;
    }
    return true;
}

// True when the screen shows this icon: nearly every opaque pixel matches,
// and the icon has enough opaque pixels for that to mean something.
bool Shows(const std::vector<std::uint32_t>& screen, const Reference& reference)
{
    std::size_t opaque = 0;
    std::size_t matching = 0;
    for (std::size_t i = 0; i < screen.size(); ++i) {
        if (reference.overBlack[i] != reference.overWhite[i]) continue;
        ++opaque;
        if (CloseColours(screen[i], reference.overBlack[i])) ++matching;
    }
    return opaque * 8 >= screen.size() && matching * 100 >= opaque * 98;
}

} // namespace

bool IsIconControl(HWND control)
{
    wchar_t className[16] = {};
    if (::GetClassNameW(control, className, 16) == 0) return false;
    if (::CompareStringOrdinal(className, -1, L"Static", -1, TRUE) != CSTR_EQUAL) return false;
    const auto style = static_cast<DWORD>(::GetWindowLongW(control, GWL_STYLE));
    return (style & SS_TYPEMASK) == SS_ICON;
}

DialogIcon IconShownBy(HWND iconControl)
{
    // Whether the control holds an icon at all, its handle tells even from
    // here; which icon, only its pixels do.
    DWORD_PTR icon = 0;
    if (!::SendMessageTimeoutW(iconControl, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon)) {
        return DialogIcon::Other;
    }
    if (icon == 0) return DialogIcon::None;

    RECT client{};
    if (!::GetClientRect(iconControl, &client)) return DialogIcon::Other;
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return DialogIcon::Other;
    POINT origin{0, 0};
    if (!::ClientToScreen(iconControl, &origin)) return DialogIcon::Other;

    Canvas shot(width, height);
    const ScreenDc screen(::GetDC(nullptr));
    if (!shot.Ready() || !screen) return DialogIcon::Other;
    if (!::BitBlt(shot.Dc(), 0, 0, width, height, screen.get(), origin.x, origin.y, SRCCOPY)) {
        return DialogIcon::Other;
    }
    const std::vector<std::uint32_t> pixels = shot.Pixels();

    for (const DialogIcon candidate : kSystemIcons) {
        Reference reference;
        if (DrawReference(candidate, width, height, reference) && Shows(pixels, reference)) {
            return candidate;
        }
    }
    return DialogIcon::Other;
}

} // namespace tala::test
