// The runtime's own splash on Linux: Debian's OpenJDK 17 and its
// libsplashscreen.so, on an X display of the test's own. The picture must
// appear centred on that display while the application runs, the
// application must see it through java.awt.SplashScreen, and without a
// display, or without the preference, the launch goes on without one: Linux
// has no splash window of the launcher's own.
#include "tests/jvm/AppFolder.h"
#include "tests/jvm/PngPicture.h"
#include "tests/jvm/VirtualDisplay.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <future>
#include <optional>
#include <sstream>
#include <thread>

namespace tala::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const fs::path kJdk = "/usr/lib/jvm/java-17-openjdk-amd64";

// A one-pixel frame and four quarters, as 0xRRGGBB.
constexpr std::uint32_t kFrame = 0x123456;
constexpr std::uint32_t kTopLeft = 0xE01020;
constexpr std::uint32_t kTopRight = 0x10C030;
constexpr std::uint32_t kBottomLeft = 0x2030D0;
constexpr std::uint32_t kBottomRight = 0xF0E040;

std::uint32_t PictureColour(int x, int y, int width, int height)
{
    if (x == 0 || y == 0 || x == width - 1 || y == height - 1) return kFrame;
    const bool left = x < width / 2;
    if (y < height / 2) return left ? kTopLeft : kTopRight;
    return left ? kBottomLeft : kBottomRight;
}

std::string Settings(const std::string& display)
{
    return "[Java Runtime Environment]\nJRE Path=" + kJdk.string() + "\nMain Class=probe.Splash\n"
           "[Class Path]\nClass Path=" TALA_PROBE_CLASSES "\n[Display]\n" + display + "\n";
}

// The value of a "name=value" line of the output.
std::string Line(const std::string& output, const std::string& name)
{
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(name + "=", 0) == 0) return line.substr(name.size() + 1);
    }
    return "<missing " + name + ">";
}

// DISPLAY as a test wants it, put back afterwards.
class DisplayVariable {
public:
    explicit DisplayVariable(const std::optional<std::string>& value)
    {
        if (const char* old = std::getenv("DISPLAY")) previous_ = old;
        if (value) {
            ::setenv("DISPLAY", value->c_str(), 1);
        } else {
            ::unsetenv("DISPLAY");
        }
    }
    ~DisplayVariable()
    {
        if (previous_) {
            ::setenv("DISPLAY", previous_->c_str(), 1);
        } else {
            ::unsetenv("DISPLAY");
        }
    }
    DisplayVariable(const DisplayVariable&) = delete;
    DisplayVariable& operator=(const DisplayVariable&) = delete;

private:
    std::optional<std::string> previous_;
};

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto giveUp = Clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (Clock::now() >= giveUp) return false;
        std::this_thread::sleep_for(20ms);
    }
}

// Empty when the display shows the picture with its corner at origin;
// otherwise what differs. Points: the frame's corners, the quarters at the
// frame, on both sides of where they meet at the frame, and at their middles,
// and just outside the frame. The picture's centre is left alone: it lies at
// the screen's centre, where Xvfb draws its pointer into the screen file.
std::string PictureMismatch(const VirtualDisplay& display, int originX, int originY, int width, int height)
{
    std::ostringstream out;
    const std::pair<int, int> inside[] = {
        {0, 0}, {width - 1, 0}, {0, height - 1}, {width - 1, height - 1}, {1, 1}, {width - 2, 1},
        {1, height - 2}, {width - 2, height - 2}, {width / 2 - 1, 1}, {width / 2, 1}, {1, height / 2 - 1},
        {1, height / 2}, {width / 4, height / 4}, {3 * width / 4, 3 * height / 4}};
    for (const auto& [x, y] : inside) {
        const auto seen = display.Pixel(originX + x, originY + y);
        if (seen != PictureColour(x, y, width, height)) {
            out << " (" << originX + x << "," << originY + y << ") is " << std::hex << seen.value_or(0xFFFFFFFF)
                << std::dec << ";";
        }
    }
    const std::pair<int, int> outside[] = {{-1, -1}, {width, height}, {-1, height / 2}, {width, height / 2}};
    for (const auto& [x, y] : outside) {
        if (display.Pixel(originX + x, originY + y) == kFrame) {
            out << " (" << originX + x << "," << originY + y << ") outside shows the frame;";
        }
    }
    return out.str();
}

// The application runs until the test has looked: it waits for a file.
class LookingRun {
public:
    LookingRun(const AppFolder& app, std::vector<std::string> arguments) : release_(app.Path() / "release")
    {
        arguments.insert(arguments.begin(), "--wait-for=" + release_.string());
        result_ = std::async(std::launch::async, [&app, arguments] { return app.Run(arguments, 60s); });
    }
    ~LookingRun() { Release(); }
    LookingRun(const LookingRun&) = delete;
    LookingRun& operator=(const LookingRun&) = delete;

    void Release() const
    {
        if (!fs::exists(release_)) WriteBytes(release_, "");
    }
    RunResult Result()
    {
        Release();
        return result_.get();
    }

private:
    fs::path release_;
    std::future<RunResult> result_;
};

struct ShownCase {
    int width;
    int height;
    int x; // centred on the 1024 x 768 display
    int y;
};

void PrintTo(const ShownCase& tested, std::ostream* out) { *out << tested.width << "x" << tested.height; }

class NativeSplashOnLinux : public testing::TestWithParam<ShownCase> {};

TEST_P(NativeSplashOnLinux, AppearsCentredAndTheApplicationSeesIt)
{
    const ShownCase& tested = GetParam();
    const VirtualDisplay display;
    ASSERT_TRUE(display.Ready()) << display.Problem();
    ASSERT_EQ(display.Width(), 1024);
    ASSERT_EQ(display.Height(), 768);
    const DisplayVariable variable(display.Name());
    AppFolder app;
    WritePng(app.Path() / "splash.png", tested.width, tested.height,
             [&](int x, int y) { return PictureColour(x, y, tested.width, tested.height); });
    // A relative image path is read from the current folder, the app's here.
    app.WriteSettings(Settings("Splash Screen=splash.png\nPreffer Native Splash Screen=Yes"));

    LookingRun run(app, {});
    std::string mismatch;
    const bool shown = WaitUntil(
        [&] { return (mismatch = PictureMismatch(display, tested.x, tested.y, tested.width, tested.height)).empty(); },
        30s);
    const RunResult result = run.Result();
    EXPECT_TRUE(shown) << "the display does not show the picture:" << mismatch;
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(Line(result.output, "splash"), "shown " + std::to_string(tested.x) + " " + std::to_string(tested.y) +
                                                 " " + std::to_string(tested.width) + " " +
                                                 std::to_string(tested.height))
        << result.errors;
    EXPECT_TRUE(WaitUntil([&] { return display.Pixel(tested.x + 1, tested.y + 1) != kTopLeft; }, 10s))
        << "the picture stayed after the launcher ended";
}

INSTANTIATE_TEST_SUITE_P(Sizes, NativeSplashOnLinux,
                         testing::Values(ShownCase{400, 300, 312, 234}, ShownCase{401, 301, 311, 233}),
                         [](const testing::TestParamInfo<ShownCase>& tested) {
                             return std::to_string(tested.param.width) + "x" + std::to_string(tested.param.height);
                         });

struct AbsentCase {
    std::string name;
    std::string display;
    std::vector<std::string> arguments;
};

void PrintTo(const AbsentCase& tested, std::ostream* out) { *out << tested.name; }

class NoSplashOnLinux : public testing::TestWithParam<AbsentCase> {};

// Linux has no window of the launcher's own to fall back on.
TEST_P(NoSplashOnLinux, ShowsNothingAndTheApplicationSeesNone)
{
    const AbsentCase& tested = GetParam();
    const VirtualDisplay display;
    ASSERT_TRUE(display.Ready()) << display.Problem();
    const DisplayVariable variable(display.Name());
    AppFolder app;
    WritePng(app.Path() / "splash.png", 400, 300, [](int x, int y) { return PictureColour(x, y, 400, 300); });
    app.WriteSettings(Settings(tested.display));

    LookingRun run(app, tested.arguments);
    // Long enough for the probe to have asked, and for a splash to have shown.
    bool appeared = false;
    WaitUntil([&] { return (appeared = display.Pixel(312, 234) == kFrame); }, 2s);
    const RunResult result = run.Result();
    EXPECT_FALSE(appeared);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(Line(result.output, "splash"), "none") << result.errors;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, NoSplashOnLinux,
    testing::Values(AbsentCase{"not_preferred", "Splash Screen=splash.png\nPreffer Native Splash Screen=No", {}},
                    AbsentCase{"preference_missing", "Splash Screen=splash.png", {}},
                    AbsentCase{"switched_off", "Splash Screen=splash.png\nPreffer Native Splash Screen=Yes",
                               {"-nosplash"}},
                    AbsentCase{"no_image", "Splash Screen=\nPreffer Native Splash Screen=Yes", {}}),
    [](const testing::TestParamInfo<AbsentCase>& tested) { return tested.param.name; });

TEST(NativeSplashOnLinux, WithoutADisplayTheLaunchGoesOn)
{
    const DisplayVariable variable(std::nullopt);
    AppFolder app;
    WritePng(app.Path() / "splash.png", 40, 30, [](int x, int y) { return PictureColour(x, y, 40, 30); });
    app.WriteSettings(Settings("Splash Screen=splash.png\nPreffer Native Splash Screen=Yes"));
    const RunResult result = app.Run({}, 60s);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(Line(result.output, "splash"), "headless") << result.output << result.errors;
}

} // namespace
} // namespace tala::test
