// The splash screen of tala.exe under Wine, judged by the screen's pixels and the windows another process sees.
#include "os/SplashWindow.h"
#include "tests/windows/ForeignWindows.h"
#include "tests/windows/ShopFolder.h"
#include "tests/windows/WaitUntil.h"
#include "tests/windows/splash/SplashPicture.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kSplashClass[] = L"SplashScreenWindow";
constexpr wchar_t kLibrary[] = L"standin-splashscreen.dll"; // to put in jre\bin as splashscreen.dll
// Several times what the splash window takes to appear once the hold is reached.
constexpr auto kGraceForAbsence = 1500ms;

// Shop.exe held at "create" (the splash has started, main has not run) or
// "detach" (main is over, an uncaught exception dealt with) until let go.
class SplashStart {
public:
    SplashStart(const ShopFolder& shop, const std::u16string& display, const std::string& holds = "create",
                const std::wstring& arguments = L"", const std::string& scenario = "")
        : shop_(shop)
    {
        shop.Write(u"[Display]\r\n" + display);
        shop.Play("hold=" + holds + "\n" + scenario);
        launch.emplace(shop.CommandLine(arguments), shop.Folder());
    }
    ~SplashStart() { shop_.Release("create"), shop_.Release("detach"); }

    bool ShowsWindow() const
    {
        const HWND window = launch->Window(kSplashClass);
        RECT frame{};
        return window != nullptr && ::IsWindowVisible(window) && ::GetWindowRect(window, &frame) &&
               !::IsRectEmpty(&frame);
    }
    void ExpectMainRanAndEnded() const
    {
        EXPECT_EQ(launch->WaitForExit(), 0u) << shop_.Record().Text();
        EXPECT_TRUE(shop_.Record().Arguments()) << "main was not called\n" << shop_.Record().Text();
        EXPECT_EQ(shop_.Record().Complaints(), std::vector<std::string>{}) << shop_.Record().Text();
    }

    std::optional<LauncherProcess> launch;

private:
    const ShopFolder& shop_;
};

std::vector<std::string> SplashRecord(const ShopFolder& shop)
{
    std::vector<std::string> lines;
    std::istringstream text(ReadBytes(shop.Home() / "bin" / "splash-record.txt"));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}


TEST(SplashImage, ShowsCentredWithoutTaskbarButtonAndRepaintsUntilTheLauncherEnds)
{
    ASSERT_EQ(std::tuple(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)), std::tuple(1024, 768));
    struct Case {
        int width;
        int height;
        POINT origin; // centred on the screen, halves truncated toward zero
        std::u16string shadowSetting;
        bool shadow;
    };
    const Case cases[] = {{400, 300, {312, 234}, u"true", true},
                          {401, 301, {311, 233}, u"True", false},
                          {1100, 800, {-38, -16}, u"", false}}; // larger than the screen, unscaled
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        const ShopFolder shop;
        // Drawn with the system's GDI+: a gdiplus.dll planted beside the launcher is never loaded.
        fs::copy_file(BesideThisProgram(L"planted\\gdiplus.dll"), shop.Folder() / "gdiplus.dll");
        // Wine takes its own copy of a system library over one in the application's
        // folder; Windows takes the folder's, and so does Wine for Shop.exe told so.
        const ScopedUserValue folderFirst(L"Software\\Wine\\AppDefaults\\Shop.exe\\DllOverrides", L"gdiplus",
                                          L"native,builtin");
        WritePicture(shop.Folder() / "splash.bmp", c.width, c.height);
        const SplashStart start(shop, u"Splash Screen=splash.bmp\r\nSplash Screen Shadow=" + c.shadowSetting);
        ASSERT_TRUE(shop.WaitHeld("create")) << shop.Record().Text();
        const bool shown = WaitUntil([&] { return start.ShowsWindow(); }, 10s);
        EXPECT_FALSE(fs::exists(shop.Folder() / "planted-library-loaded.txt"))
            << "the gdiplus.dll beside the launcher was loaded";
        ASSERT_TRUE(shown) << "no visible splash window";

        const HWND window = start.launch->Window(kSplashClass);
        RECT frame{};
        ::GetWindowRect(window, &frame);
        const POINT& at = c.origin;
        EXPECT_EQ(std::tuple(frame.left, frame.top, frame.right, frame.bottom),
                  std::tuple(at.x, at.y, at.x + c.width, at.y + c.height));
        const auto style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
        const auto extendedStyle = static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE));
        EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_THICKFRAME), static_cast<DWORD>(WS_POPUP)) << "a border";
        EXPECT_NE(extendedStyle & WS_EX_TOOLWINDOW, 0u) << "a taskbar button";
        EXPECT_EQ(extendedStyle & WS_EX_TOPMOST, 0u) << "above the application's windows";
        EXPECT_EQ(::GetWindow(window, GW_OWNER), nullptr);
        EXPECT_EQ((::GetClassLongPtrW(window, GCL_STYLE) & CS_DROPSHADOW) != 0, c.shadow);

        std::string mismatch;
        const auto showsImage = [&] {
            return (mismatch = PictureMismatch(CaptureScreen(), at, c.width, c.height)).empty();
        };
        EXPECT_TRUE(WaitUntil(showsImage, 10s)) << "the screen does not show the image: " << mismatch;
        // Covered by another window and uncovered again: the image comes back.
        const POINT centre{at.x + c.width / 2, at.y + c.height / 2};
        {
            const os::UniqueWindow cover(::CreateWindowExW(
                WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Static", nullptr, WS_POPUP | WS_VISIBLE | SS_BLACKRECT,
                centre.x - 50, centre.y - 50, 100, 100, nullptr, nullptr, nullptr, nullptr));
            EXPECT_TRUE(WaitUntil([&] { return CaptureScreen().At(centre.x, centre.y) != kBottomRight; }, 10s));
        }
        EXPECT_TRUE(WaitUntil(showsImage, 10s)) << "the image did not come back: " << mismatch;

        shop.Release("create");
        start.ExpectMainRanAndEnded();
        EXPECT_EQ(TopLevelWindows(0, kSplashClass), std::vector<HWND>{}) << "a splash window outlived the launcher";
    }
}

// The runtime's library when preferred, present and complete; else the own window for a readable image
// unless the exact switch is given (which main still gets).
TEST(SplashChoice, OwnWindowOrRuntimeLibrary)
{
    const std::string name = Ansi(L"splash.img");
    const std::vector<std::string> shownAndClosed{"SplashInit", "SplashLoadFile " + name,
                                                  "SplashSetFileJarName " + name + " -", "SplashClose"};
    const std::u16string plain = u"Splash Screen=splash.img";
    const std::u16string preferred = plain + u"\r\nPreffer Native Splash Screen=Yes";
    struct Case {
        std::string image; // the file's bytes; "picture" for a readable image, empty for none
        std::u16string display;
        std::wstring arguments;
        const wchar_t* library; // the stand-in put in jre\bin, or none
        bool ownWindow;
        std::vector<std::string> record; // what the library records by the end
    };
    const Case cases[] = {
        {"this is not a picture\r\n", plain, L"", nullptr, false, {}},
        {"", plain, L"", nullptr, false, {}},
        {"picture", plain, L"-nosplash", nullptr, false, {}},
        {"picture", plain, L"/nosplash", nullptr, false, {}},
        {"picture", plain, L"open /nosplash", nullptr, false, {}},
        {"picture", plain, L"-NoSplash", nullptr, true, {}},
        {"picture", plain, L"/nosplashes", nullptr, true, {}},
        {"picture", preferred, L"", kLibrary, false, shownAndClosed},
        {"picture", plain + u"\r\nPreffer Native Splash Screen=yes", L"", kLibrary, false, shownAndClosed},
        {"picture", plain + u"\r\nPreffer Native Splash Screen=No", L"", kLibrary, true, {}},
        {"picture", plain, L"", kLibrary, true, {}},
        {"picture", preferred, L"", nullptr, true, {}},
        {"picture", preferred, L"", L"standin-splashscreen-no-init.dll", true, {"SplashClose"}},
        {"picture", u"Splash Screen=\r\nPreffer Native Splash Screen=Yes", L"", kLibrary, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.display.begin(), c.display.end())) + " " +
                     testing::PrintToString(c.arguments) + " " + c.image);
        const ShopFolder shop;
        if (c.library != nullptr) fs::copy_file(BesideThisProgram(c.library), shop.Home() / "bin" / "splashscreen.dll");
        if (c.image == "picture") WritePicture(shop.Folder() / "splash.img", 40, 30);
        if (c.image != "picture" && !c.image.empty()) WriteBytes(shop.Folder() / "splash.img", c.image);
        const SplashStart start(shop, c.display, "create", c.arguments);
        ASSERT_TRUE(shop.WaitHeld("create")) << shop.Record().Text();
        EXPECT_EQ(WaitUntil([&] { return start.ShowsWindow(); }, c.ownWindow ? 10s : kGraceForAbsence), c.ownWindow);
        shop.Release("create");
        start.ExpectMainRanAndEnded();
        EXPECT_EQ(SplashRecord(shop), c.record);
        std::wstring joined;
        for (const std::u16string& argument : shop.Record().Arguments().value_or(std::vector<std::u16string>{})) {
            joined += (joined.empty() ? L"" : L" ") + std::wstring(argument.begin(), argument.end());
        }
        EXPECT_EQ(joined, c.arguments) << "the switch is still the application's";
    }
}

TEST(SplashWindow, OnlyAnExceptionLeavingMainClosesItBeforeTheLauncherEnds)
{
    for (const std::wstring main : {L"return", L"throw"}) {
        const ShopFolder shop;
        WritePicture(shop.Folder() / "splash.bmp", 200, 100);
        const SplashStart start(shop, u"Splash Screen=splash.bmp", "create detach", main);
        ASSERT_TRUE(shop.WaitHeld("create")) << shop.Record().Text();
        ASSERT_TRUE(WaitUntil([&] { return start.launch->Window(kSplashClass) != nullptr; }, 10s));
        shop.Release("create");
        ASSERT_TRUE(shop.WaitHeld("detach")) << shop.Record().Text();
        EXPECT_EQ(start.launch->Window(kSplashClass) != nullptr, main == L"return");
        shop.Release("detach");
        start.ExpectMainRanAndEnded();
    }
}

// The VM is not made: the box belongs to the own splash window; the runtime's splash library closes after it.
TEST(SplashWindow, AMessageBoxBelongsToItAndTheRuntimesSplashClosesAfterIt)
{
    const std::wstring image = L"spl\u00E4sh.bmp";
    const std::string name = Ansi(image);
    const std::vector<std::string> shown{"SplashInit", "SplashLoadFile " + name, "SplashSetFileJarName " + name + " -"};
    for (const bool native : {false, true}) {
        SCOPED_TRACE(native);
        const ShopFolder shop;
        if (native) fs::copy_file(BesideThisProgram(kLibrary), shop.Home() / "bin" / "splashscreen.dll");
        WritePicture(shop.Folder() / image, 200, 100);
        const SplashStart start(shop, u"Splash Screen=" + std::u16string(image.begin(), image.end()) +
                                          (native ? u"\r\nPreffer Native Splash Screen=yes" : u""),
                                "create", L"", "create-result=-1\n");
        ASSERT_TRUE(shop.WaitHeld("create")) << shop.Record().Text();
        EXPECT_EQ(WaitUntil([&] { return start.ShowsWindow(); }, native ? kGraceForAbsence : 10s), !native);
        shop.Release("create");
        const HWND box = start.launch->WaitForDialog(); // message 203, from the Java thread
        ASSERT_NE(box, nullptr) << "no message box\n" << shop.Record().Text();
        EXPECT_EQ(::GetWindow(box, GW_OWNER), start.launch->Window(kSplashClass));
        EXPECT_EQ(SplashRecord(shop), native ? shown : std::vector<std::string>{});
        PostClick(box, IDOK);
        EXPECT_EQ(start.launch->WaitForExit(), kExitMinusOne);
        std::vector<std::string> closed = shown;
        closed.push_back("SplashClose");
        EXPECT_EQ(SplashRecord(shop), native ? closed : std::vector<std::string>{});
    }
}

TEST(SplashWindow, ErasingTheBackgroundDrawsNothing)
{
    const TempFolder folder;
    WritePicture(folder.Path() / "splash.bmp", 40, 30);
    os::SplashScreenWindow splash;
    const auto window = static_cast<HWND>(splash.Create((folder.Path() / "splash.bmp").u16string(), false));
    ASSERT_NE(window, nullptr);
    // A background painted before the image would flicker: any other colour shows it.
    Canvas canvas(40, 30);
    canvas.Fill(0xABCDEF);
    EXPECT_EQ(::SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0), 1);
    EXPECT_EQ(canvas.Read().Count(0xABCDEF), 40u * 30u);
    splash.Destroy();
}

} // namespace
} // namespace tala::test
