// The runtime's own splash on Linux: Debian's OpenJDK 17 and its
// libsplashscreen.so, on an X display of the test's own. The application
// must see the picture through java.awt.SplashScreen, centred on the
// 1024 x 768 display; switched off, or without a display, the launch goes on
// without one.
#include "os/Utf8.h"
#include "tests/jvm/AppFolder.h"
#include "tests/jvm/Probe.h"

#include <gtest/gtest.h>

namespace tala::test {
namespace {

TEST(NativeSplashOnLinux, TheApplicationSeesItCentredUnlessSwitchedOffOrWithoutADisplay)
{
    // Xvfb writes the display's number to the descriptor of -displayfd once it is ready.
    const TempFolder screen;
    Program xvfb({"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, screen.Path());
    std::string number;
    ASSERT_TRUE(WaitUntil([&] { return !(number = xvfb.Output()).empty() && number.back() == '\n'; },
                          std::chrono::seconds(20)))
        << "Xvfb did not say which display it took";
    number.pop_back();
    const std::u16string display = u":" + os::FromUtf8(number);
    struct Case {
        const char* rule;
        std::optional<std::u16string> display;
        std::vector<std::string> arguments;
        std::string seen; // by the application
    };
    const Case cases[] = {
        {"the picture is shown", display, {}, "shown 312 234 400 300"},
        {"-nosplash switches it off", display, {"-nosplash"}, "none"},
        {"without a display nothing shows", std::nullopt, {}, "headless"},
    };
    AppFolder app;
    std::filesystem::copy_file(TALA_SPLASH_PICTURE, app.Path() / "splash.png");
    // A relative picture path is read from the current folder, the app's here.
    app.WriteSettings(ProbeSettings("probe.Splash", "",
                                    "[Display]\nSplash Screen=splash.png\nPreffer Native Splash Screen=Yes"));
    for (const Case& c : cases) {
        const ScopedEnvironmentVariable variable(u"DISPLAY", c.display);
        const RunResult result = app.Run(c.arguments);
        EXPECT_EQ(result.exitCode, 0) << c.rule << ": " << result.errors;
        EXPECT_EQ(Line(result.output, "splash"), c.seen) << c.rule << ": " << result.errors;
    }
    xvfb.Kill(SIGTERM);
}

} // namespace
} // namespace tala::test
