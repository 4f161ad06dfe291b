#include "os/SplashWindow.h"

#include "os/Library.h"
#include "os/windows/GdiObjects.h"
#include "os/windows/SystemLibrary.h"
#include "os/windows/Wide.h"

#include <windows.h>

#include <gdiplus.h>

#include <memory>
#include <type_traits>

namespace tala::os {
namespace {

namespace gdiplus = Gdiplus::DllExports;

constexpr wchar_t kClassName[] = L"SplashScreenWindow";
// CS_DBLCLKS | CS_SAVEBITS | CS_DROPSHADOW; the shadow goes when none is wanted.
constexpr UINT kClassStyle = CS_DBLCLKS | CS_SAVEBITS | CS_DROPSHADOW;

// --- GDI+ --------------------------------------------------------------------

// The flat functions of GDI+ the splash window draws with.
struct GdiPlusFunctions {
    decltype(&gdiplus::GdipCreateBitmapFromFile) createBitmapFromFile = nullptr;
    decltype(&gdiplus::GdipGetImageWidth) getImageWidth = nullptr;
    decltype(&gdiplus::GdipGetImageHeight) getImageHeight = nullptr;
    decltype(&gdiplus::GdipDisposeImage) disposeImage = nullptr;
    decltype(&gdiplus::GdipCreateFromHDC) createFromHdc = nullptr;
    decltype(&gdiplus::GdipDeleteGraphics) deleteGraphics = nullptr;
    decltype(&gdiplus::GdipSetInterpolationMode) setInterpolationMode = nullptr;
    decltype(&gdiplus::GdipCreateImageAttributes) createImageAttributes = nullptr;
    decltype(&gdiplus::GdipDisposeImageAttributes) disposeImageAttributes = nullptr;
    decltype(&gdiplus::GdipSetImageAttributesWrapMode) setImageAttributesWrapMode = nullptr;
    decltype(&gdiplus::GdipDrawImageRectRectI) drawImageRectRectI = nullptr;
};

// GDI+ belongs to the whole process: one start gives one token, and the
// library must stay started while any thread of the process draws with it.
// So the platform forces this piece of state with process lifetime: loaded
// from the system folder and started when the first splash window needs it
// (on the one splash thread: local statics are not locked), shut down when
// the process exits.
class GdiPlusLibrary {
public:
    GdiPlusLibrary() : module_(LoadSystemLibrary(L"gdiplus.dll"))
    {
        SymbolLookup symbols(module_.get());
        decltype(&Gdiplus::GdiplusStartup) startup = nullptr;
        symbols.Find(startup, "GdiplusStartup");
        symbols.Find(shutdown_, "GdiplusShutdown");
        GdiPlusFunctions& f = functions_;
        symbols.Find(f.createBitmapFromFile, "GdipCreateBitmapFromFile");
        symbols.Find(f.getImageWidth, "GdipGetImageWidth");
        symbols.Find(f.getImageHeight, "GdipGetImageHeight");
        symbols.Find(f.disposeImage, "GdipDisposeImage");
        symbols.Find(f.createFromHdc, "GdipCreateFromHDC");
        symbols.Find(f.deleteGraphics, "GdipDeleteGraphics");
        symbols.Find(f.setInterpolationMode, "GdipSetInterpolationMode");
        symbols.Find(f.createImageAttributes, "GdipCreateImageAttributes");
        symbols.Find(f.disposeImageAttributes, "GdipDisposeImageAttributes");
        symbols.Find(f.setImageAttributesWrapMode, "GdipSetImageAttributesWrapMode");
        symbols.Find(f.drawImageRectRectI, "GdipDrawImageRectRectI");
        if (symbols.Missing() != nullptr) return;
        // Version 1, no debug callback, background thread and external codecs
        // not suppressed.
        const Gdiplus::GdiplusStartupInput input;
        started_ = startup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiPlusLibrary()
    {
        if (started_) shutdown_(token_);
    }
    GdiPlusLibrary(const GdiPlusLibrary&) = delete;
    GdiPlusLibrary& operator=(const GdiPlusLibrary&) = delete;

    // Nothing when GDI+ could not be loaded, lacks a function or did not start.
    const GdiPlusFunctions* Functions() const { return started_ ? &functions_ : nullptr; }

private:
    UniqueModule module_;
    GdiPlusFunctions functions_;
    decltype(&Gdiplus::GdiplusShutdown) shutdown_ = nullptr;
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

// Started by the splash image the splash thread makes first, and shut down
// as the process ends.
const GdiPlusFunctions* GdiPlus()
{
    static const GdiPlusLibrary library;
    return library.Functions();
}

// Each object goes back to GDI+, which is started as long as one exists.
struct ImageDisposer {
    void operator()(Gdiplus::GpBitmap* image) const { GdiPlus()->disposeImage(image); }
};
using UniqueImage = std::unique_ptr<Gdiplus::GpBitmap, ImageDisposer>;

struct GraphicsDeleter {
    void operator()(Gdiplus::GpGraphics* graphics) const { GdiPlus()->deleteGraphics(graphics); }
};
using UniqueGraphics = std::unique_ptr<Gdiplus::GpGraphics, GraphicsDeleter>;

struct ImageAttributesDisposer {
    void operator()(Gdiplus::GpImageAttributes* attributes) const
    {
        GdiPlus()->disposeImageAttributes(attributes);
    }
};
using UniqueImageAttributes = std::unique_ptr<Gdiplus::GpImageAttributes, ImageAttributesDisposer>;

// The image while the window is made: decoded from the file, measured, and
// rendered once into a GDI bitmap, then released. Failures are not told: an
// image that cannot be read (or GDI+ that cannot be had) measures 0 x 0 and
// renders nothing.
class SplashImage {
public:
    explicit SplashImage(const std::u16string& path) : gdi_(GdiPlus())
    {
        if (gdi_ == nullptr) return;
        Gdiplus::GpBitmap* image = nullptr;
        gdi_->createBitmapFromFile(Wide(path), &image);
        image_.reset(image);
    }

    // 0 for an image that could not be read.
    int Width() const
    {
        UINT width = 0;
        if (image_) gdi_->getImageWidth(image_.get(), &width);
        return static_cast<int>(width);
    }

    int Height() const
    {
        UINT height = 0;
        if (image_) gdi_->getImageHeight(image_.get(), &height);
        return static_cast<int>(height);
    }

    // A bitmap compatible with the screen holding the whole image at its
    // natural size.
    UniqueBitmap Render(int width, int height) const
    {
        const ScreenDc screen(::GetDC(nullptr));
        UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
        const MemoryDc memory(::CreateCompatibleDC(screen.get()));
        if (!bitmap || !memory || !image_) return bitmap;
        const SelectionScope selected(memory.get(), bitmap.get());

        Gdiplus::GpGraphics* graphics = nullptr;
        gdi_->createFromHdc(memory.get(), &graphics);
        const UniqueGraphics drawing(graphics);
        if (!drawing) return bitmap;
        gdi_->setInterpolationMode(drawing.get(), Gdiplus::InterpolationModeHighQualityBicubic);

        Gdiplus::GpImageAttributes* attributes = nullptr;
        gdi_->createImageAttributes(&attributes);
        const UniqueImageAttributes drawingAttributes(attributes);
        // Opaque black around the image, no clamping, no colour key.
        gdi_->setImageAttributesWrapMode(attributes, Gdiplus::WrapModeTileFlipXY, 0xFF000000, FALSE);

        gdi_->drawImageRectRectI(drawing.get(), image_.get(), 0, 0, width, height, 0, 0, width, height,
                                 Gdiplus::UnitPixel, attributes, nullptr, nullptr);
        return bitmap;
    }

private:
    const GdiPlusFunctions* gdi_; // none when GDI+ cannot be had
    UniqueImage image_;           // none when the file could not be read
};

// --- the window --------------------------------------------------------------

// The bitmap a window paints from rides in its user data: set right after
// the window is made, before it is shown and can be asked to paint.
HBITMAP BitmapOf(HWND window)
{
    return reinterpret_cast<HBITMAP>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

void PaintFromBitmap(HWND window)
{
    const PaintScope paint(window);
    const MemoryDc memory(::CreateCompatibleDC(paint.Dc()));
    const HBITMAP bitmap = BitmapOf(window);
    BITMAP size{};
    if (!memory || bitmap == nullptr || ::GetObjectW(bitmap, sizeof size, &size) == 0) return;
    const SelectionScope selected(memory.get(), bitmap);
    ::BitBlt(paint.Dc(), 0, 0, size.bmWidth, size.bmHeight, memory.get(), 0, 0, SRCCOPY);
}

LRESULT CALLBACK SplashWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_PAINT:
        PaintFromBitmap(window);
        return 0;
    case WM_ERASEBKGND:
        // The image covers the whole window: the background brush would only flicker.
        return 1;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

ATOM RegisterClassWithStyle(UINT style)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = SplashWindowProcedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = kClassName;
    return ::RegisterClassExW(&windowClass);
}

// The class belongs to the process, not to a window: it is registered on
// first use (by the one splash thread; local statics are not locked) and
// stays registered until the process ends. A system that refuses the
// drop-shadow style gets the class without it.
bool RegisterSplashClassOnce(bool shadow)
{
    static const bool registered = [shadow] {
        if (!shadow) return RegisterClassWithStyle(kClassStyle & ~static_cast<UINT>(CS_DROPSHADOW)) != 0;
        return RegisterClassWithStyle(kClassStyle) != 0 ||
               RegisterClassWithStyle(kClassStyle & ~static_cast<UINT>(CS_DROPSHADOW)) != 0;
    }();
    return registered;
}

} // namespace

bool HasOwnSplashWindow() { return true; }

struct SplashScreenWindow::Parts {
    UniqueBitmap bitmap;
    HWND window = nullptr;
};

SplashScreenWindow::SplashScreenWindow() : parts_(std::make_unique<Parts>()) {}

SplashScreenWindow::~SplashScreenWindow() = default;

WindowHandle SplashScreenWindow::Create(const std::u16string& imagePath, bool shadow)
{
    if (!RegisterSplashClassOnce(shadow)) return nullptr;
    {
        // The decoded image is released as soon as it has been rendered.
        const SplashImage image(imagePath);
        const int width = image.Width();
        const int height = image.Height();
        parts_->bitmap = image.Render(width, height);
        // The primary display's whole area: the taskbar does not move the image.
        const ScreenPoint origin =
            CentredOrigin(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), width, height);
        parts_->window = ::CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, nullptr, WS_POPUP, origin.x,
                                           origin.y, width, height, nullptr, nullptr,
                                           ::GetModuleHandleW(nullptr), nullptr);
    }
    if (parts_->window != nullptr) {
        ::SetWindowLongPtrW(parts_->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(parts_->bitmap.get()));
    }
    return parts_->window;
}

void SplashScreenWindow::Show()
{
    if (parts_->window == nullptr) return;
    ::ShowWindow(parts_->window, SW_SHOWNORMAL);
    ::UpdateWindow(parts_->window);
}

void SplashScreenWindow::Destroy()
{
    if (parts_->window == nullptr) return;
    ::DestroyWindow(parts_->window);
    parts_->window = nullptr;
}

void RunThreadMessageLoop()
{
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

} // namespace tala::os
