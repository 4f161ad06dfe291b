// The splash window of the Windows OS layer made in this test process: where
// it goes for images the screen cannot hold or the system cannot read, and
// that it never paints its background over the image.
#include "os/SplashWindow.h"
#include "tests/windows/splash/SplashHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <type_traits>

namespace tala::test::splash {
namespace {

using namespace std::chrono_literals;

struct PlaceCase {
    std::string name;
    int width;  // 0: no readable image
    int height;
    RECT expected; // on the 1024 x 768 screen
};

void PrintTo(const PlaceCase& tested, std::ostream* out) { *out << tested.name; }

class SplashWindowPlace : public testing::TestWithParam<PlaceCase> {};

TEST_P(SplashWindowPlace, IsCentredOnThePrimaryDisplayAtTheImageSize)
{
    const PlaceCase& tested = GetParam();
    ASSERT_EQ(::GetSystemMetrics(SM_CXSCREEN), 1024);
    ASSERT_EQ(::GetSystemMetrics(SM_CYSCREEN), 768);
    const TempFolder folder;
    const std::filesystem::path image = folder.Path() / "splash.bmp";
    if (tested.width > 0) WritePicture(image, tested.width, tested.height);

    os::SplashScreenWindow splash;
    const auto window = static_cast<HWND>(splash.Create(image.u16string(), false));
    ASSERT_NE(window, nullptr);
    RECT rectangle{};
    ::GetWindowRect(window, &rectangle);
    EXPECT_EQ(rectangle.left, tested.expected.left);
    EXPECT_EQ(rectangle.top, tested.expected.top);
    EXPECT_EQ(rectangle.right, tested.expected.right);
    EXPECT_EQ(rectangle.bottom, tested.expected.bottom);
    splash.Destroy();
}

INSTANTIATE_TEST_SUITE_P(Images, SplashWindowPlace,
                         testing::Values(PlaceCase{"unreadable", 0, 0, {512, 384, 512, 384}},
                                         PlaceCase{"odd size", 401, 301, {311, 233, 712, 534}},
                                         PlaceCase{"larger than the screen", 1100, 800, {-38, -16, 1062, 784}}),
                         [](const testing::TestParamInfo<PlaceCase>& tested) {
                             std::string name = tested.param.name;
                             for (char& c : name) {
                                 if (c == ' ') c = '_';
                             }
                             return name;
                         });

TEST(SplashWindow, LargerThanTheScreenIsShownUnscaled)
{
    const TempFolder folder;
    const std::filesystem::path image = folder.Path() / "splash.bmp";
    WritePicture(image, 1100, 800);
    os::SplashScreenWindow splash;
    ASSERT_NE(splash.Create(image.u16string(), false), nullptr);
    splash.Show();
    // The screen's corners show the image's pixels 38 and 16 in from its own.
    const auto shows = [](const ScreenShot& shot, int x, int y) {
        return shot.At(x, y) == PictureColour(x + 38, y + 16, 1100, 800);
    };
    EXPECT_TRUE(WaitUntil(
        [&] {
            const ScreenShot shot = ScreenShot::Take();
            return shows(shot, 0, 0) && shows(shot, 1023, 0) && shows(shot, 0, 767) && shows(shot, 1023, 767) &&
                   shows(shot, 511, 383) && shows(shot, 512, 384);
        },
        10s));
    splash.Destroy();
    PumpMessages();
}

struct MemoryDcDeleter {
    void operator()(HDC dc) const { ::DeleteDC(dc); }
};
struct BitmapDeleter {
    void operator()(HBITMAP bitmap) const { ::DeleteObject(bitmap); }
};

TEST(SplashWindow, ErasingTheBackgroundDrawsNothing)
{
    const TempFolder folder;
    const std::filesystem::path image = folder.Path() / "splash.bmp";
    WritePicture(image, 40, 30);
    os::SplashScreenWindow splash;
    const auto window = static_cast<HWND>(splash.Create(image.u16string(), false));
    ASSERT_NE(window, nullptr);

    // A canvas of a colour no brush of the window has.
    const std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter> dc(::CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 40;
    info.bmiHeader.biHeight = -30;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter> canvas(
        ::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(dc && canvas);
    const HGDIOBJ previous = ::SelectObject(dc.get(), canvas.get());
    auto* pixels = static_cast<std::uint32_t*>(bits);
    std::fill(pixels, pixels + 40 * 30, 0x00ABCDEFu);

    EXPECT_EQ(::SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0), 1);
    ::GdiFlush();
    EXPECT_EQ(std::count(pixels, pixels + 40 * 30, 0x00ABCDEFu), 40 * 30);
    ::SelectObject(dc.get(), previous);
    splash.Destroy();
}

} // namespace
} // namespace tala::test::splash
