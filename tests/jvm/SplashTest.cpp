// The runtime's own splash on Linux: Debian's OpenJDK 17 and its
// libsplashscreen.so, on an X display of the test's own. The picture must
// appear centred on that display while the application runs and the
// application must see it through java.awt.SplashScreen; switched off, or
// without a display, the launch goes on without one.
#include "os/Utf8.h"
#include "tests/jvm/AppFolder.h"
#include "tests/jvm/PngPicture.h"
#include "tests/jvm/Probe.h"
#include "tests/jvm/VirtualDisplay.h"

#include <gtest/gtest.h>

namespace tala::test {
namespace {

using namespace std::chrono_literals;

// A one-pixel frame around four quarters of their own colours, as 0xRRGGBB;
// the runtime centres it on the 1024 x 768 display.
constexpr int kWidth = 400, kHeight = 300, kLeft = 312, kTop = 234;
constexpr std::uint32_t kFrame = 0x123456, kTopLeft = 0xE01020, kTopRight = 0x10C030, kBottomLeft = 0x2030D0,
                        kBottomRight = 0xF0E040;

std::uint32_t PictureColour(int x, int y)
{
    if (x == 0 || y == 0 || x == kWidth - 1 || y == kHeight - 1) return kFrame;
    if (y < kHeight / 2) return x < kWidth / 2 ? kTopLeft : kTopRight;
    return x < kWidth / 2 ? kBottomLeft : kBottomRight;
}

// An application folder whose settings prefer the runtime's splash for the picture.
void PreferNativeSplash(const AppFolder& app)
{
    WritePng(app.Path() / "splash.png", kWidth, kHeight, PictureColour);
    // A relative picture path is read from the current folder, the app's here.
    app.WriteSettings(ProbeSettings("probe.Splash", "",
                                    "[Display]\nSplash Screen=splash.png\nPreffer Native Splash Screen=Yes"));
}

// Empty when the screen shows the picture in its place; otherwise what differs.
// Points: the frame's corners, each quarter, and just outside the frame. The
// picture's centre is left alone: it lies at the screen's centre, where Xvfb
// draws its pointer into the screen file.
std::string PictureMismatch(const Screenshot& screen)
{
    std::string mismatch;
    const std::pair<int, int> inside[] = {{0, 0}, {kWidth - 1, 0}, {0, kHeight - 1}, {kWidth - 1, kHeight - 1},
                                          {kWidth / 4, kHeight / 4}, {3 * kWidth / 4, kHeight / 4},
                                          {kWidth / 4, 3 * kHeight / 4}, {3 * kWidth / 4, 3 * kHeight / 4}};
    for (const auto& [x, y] : inside) {
        if (screen.Pixel(kLeft + x, kTop + y) != PictureColour(x, y)) {
            mismatch += " (" + std::to_string(x) + "," + std::to_string(y) + ") differs;";
        }
    }
    for (const auto& [x, y] : {std::pair{-1, -1}, std::pair{kWidth, kHeight}}) {
        if (screen.Pixel(kLeft + x, kTop + y) == kFrame) mismatch += " the frame reaches outside;";
    }
    return mismatch;
}

TEST(NativeSplashOnLinux, AppearsCentredAndTheApplicationSeesIt)
{
    const VirtualDisplay display;
    ASSERT_TRUE(display.Ready()) << display.Problem();
    const ScopedEnvironmentVariable variable(u"DISPLAY", os::FromUtf8(display.Name()));
    AppFolder app;
    PreferNativeSplash(app);

    // The application runs until the test has looked.
    const auto run = app.Start({"--wait-for=looked"});
    std::string mismatch;
    const bool shown = WaitUntil([&] { return (mismatch = PictureMismatch(display.Screen())).empty(); }, 30s);
    WriteBytes(app.Path() / "looked", "");
    const RunResult result = run->Finish(60s);
    EXPECT_TRUE(shown) << "the display does not show the picture:" << mismatch;
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(Line(result.output, "splash"), "shown 312 234 400 300") << result.errors;
    EXPECT_TRUE(WaitUntil([&] { return display.Screen().Pixel(kLeft + 1, kTop + 1) != kTopLeft; }, 10s))
        << "the picture stayed after the launcher ended";
}

TEST(NativeSplashOnLinux, SwitchedOffOrWithoutADisplayTheLaunchGoesOnWithout)
{
    const VirtualDisplay display;
    ASSERT_TRUE(display.Ready()) << display.Problem();
    struct Case {
        const char* rule;
        std::optional<std::u16string> display;
        std::vector<std::string> arguments;
        std::string seen; // by the application
    };
    const Case cases[] = {
        {"-nosplash switches it off", os::FromUtf8(display.Name()), {"-nosplash"}, "none"},
        {"without a display nothing shows", std::nullopt, {}, "headless"},
    };
    AppFolder app;
    PreferNativeSplash(app);
    for (const Case& c : cases) {
        const ScopedEnvironmentVariable variable(u"DISPLAY", c.display);
        const RunResult result = app.Run(c.arguments);
        EXPECT_EQ(result.exitCode, 0) << c.rule << ": " << result.errors;
        EXPECT_EQ(Line(result.output, "splash"), c.seen) << c.rule << ": " << result.errors;
    }
}

} // namespace
} // namespace tala::test
