// The splash screen of tala.exe under Wine, as a user meets it: Shop.exe with
// a "Display" section in Shop.ini, its runtime's VM library holding the Java
// thread before main until the test has looked at the screen (hold-jvm.dll,
// which then hands over to the stand-in VM library). What the screen shows is
// judged by its pixels; the launcher's windows and message boxes by what
// another process sees of them; the runtime's splash library by a stand-in
// that records its calls.
//
// The test is given the launcher to copy: --launcher=PATH.
#include "tests/shared/CaseName.h"
#include "tests/windows/splash/SplashHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

namespace tala::test::splash {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kSplashClass[] = L"SplashScreenWindow";
constexpr DWORD kFailed = 0xFFFFFFFF; // -1

// Every wait has an end: a start takes well under a second, a screen a few
// frames to catch up.
constexpr auto kArrival = 15s;
constexpr auto kWindowTime = 10s;
constexpr auto kEnd = 15s;
// How long a window that should not come is given to come anyway: several
// times what the splash window takes to appear after the hold is reached.
constexpr auto kGraceForAbsence = 1500ms;

// The Xvfb screen of the Wine session.
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

// Cases print as their names in failure messages.
template <typename Case>
    requires requires(const Case& tested) { tested.name; }
void PrintTo(const Case& tested, std::ostream* out)
{
    *out << tested.name;
}

std::string Seen(const SplashShop& shop)
{
    std::string seen = "\nstand-in VM record:\n" + shop.VmRecord().Text() + "splash library record:";
    for (const std::string& line : shop.SplashRecord()) seen += "\n  " + line;
    return seen;
}

// main ran and the launcher ended by itself with the exit code.
void ExpectMainRanAndEnded(Launch& launch, const SplashShop& shop, DWORD exitCode)
{
    const std::optional<DWORD> ended = launch.Wait(kEnd);
    ASSERT_TRUE(ended.has_value()) << "the launcher did not end" << Seen(shop);
    EXPECT_EQ(*ended, exitCode) << Seen(shop);
    const StandInRecord record = shop.VmRecord();
    EXPECT_TRUE(record.Arguments().has_value()) << "main was not called" << Seen(shop);
    EXPECT_EQ(record.Complaints(), std::vector<std::string>{}) << Seen(shop);
}

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

// --- the image on the screen ------------------------------------------------

struct ImageCase {
    std::string name;
    int width;
    int height;
    POINT origin; // centred on the 1024 x 768 screen, halves truncated
    std::u16string shadowText;
    bool shadow;
};

class SplashImageOnScreen : public testing::TestWithParam<ImageCase> {};

TEST_P(SplashImageOnScreen, ShowsTheImageCentredAsATopLevelToolWindowUntilTheLauncherEnds)
{
    const ImageCase& tested = GetParam();
    ASSERT_EQ(::GetSystemMetrics(SM_CXSCREEN), kScreenWidth);
    ASSERT_EQ(::GetSystemMetrics(SM_CYSCREEN), kScreenHeight);
    const SplashShop shop;
    WritePicture(shop.Folder() / "splash.bmp", tested.width, tested.height);
    shop.Write(u"Splash Screen=splash.bmp\r\nSplash Screen Shadow=" + tested.shadowText);
    const Hold hold;
    Launch launch(shop, L"");
    ASSERT_TRUE(launch.Started());
    ASSERT_TRUE(hold.WaitHeld(kArrival)) << Seen(shop);

    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (window = WindowOf(launch.ProcessId(), kSplashClass)) != nullptr &&
                                       ::IsWindowVisible(window); },
                          kWindowTime))
        << "no visible splash window";
    RECT rectangle{};
    ::GetWindowRect(window, &rectangle);
    EXPECT_EQ(rectangle.left, tested.origin.x);
    EXPECT_EQ(rectangle.top, tested.origin.y);
    EXPECT_EQ(rectangle.right - rectangle.left, tested.width);
    EXPECT_EQ(rectangle.bottom - rectangle.top, tested.height);
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE)) & ~static_cast<DWORD>(WS_EX_NOACTIVATE),
              static_cast<DWORD>(WS_EX_TOOLWINDOW));
    const auto style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_CHILD),
              static_cast<DWORD>(WS_POPUP));
    EXPECT_EQ(::GetClassLongPtrW(window, GCL_STYLE),
              static_cast<ULONG_PTR>(tested.shadow ? 0x20808 : 0x00808));
    EXPECT_EQ(::GetWindowTextLengthW(window), 0);
    EXPECT_EQ(::GetWindow(window, GW_OWNER), nullptr);

    std::string mismatch;
    const bool shown = WaitUntil(
        [&] { return (mismatch = PictureMismatch(ScreenShot::Take(), tested.origin, tested.width, tested.height)).empty(); },
        kWindowTime);
    EXPECT_TRUE(shown) << "the screen does not show the image:" << mismatch;

    // Covered and uncovered again: the image comes back.
    const POINT centre{tested.origin.x + tested.width / 2, tested.origin.y + tested.height / 2};
    {
        const CoveringWindow cover({centre.x - 50, centre.y - 50, centre.x + 50, centre.y + 50});
        EXPECT_TRUE(WaitUntil([&] { return ScreenShot::Take().At(centre.x, centre.y) == kCover; }, kWindowTime))
            << "the cover did not show";
    }
    EXPECT_TRUE(WaitUntil(
        [&] { return (mismatch = PictureMismatch(ScreenShot::Take(), tested.origin, tested.width, tested.height)).empty(); },
        kWindowTime))
        << "the image did not come back after it was covered:" << mismatch;

    hold.Release();
    ExpectMainRanAndEnded(launch, shop, 0);
    EXPECT_EQ(WindowsOfClass(kSplashClass), std::vector<HWND>{});
    EXPECT_TRUE(WaitUntil([&] { return ScreenShot::Take().At(centre.x, centre.y) != kBottomRight; }, kWindowTime))
        << "the image stayed on the screen";
}

INSTANTIATE_TEST_SUITE_P(Sizes, SplashImageOnScreen,
                         testing::Values(ImageCase{"400x300 with the shadow", 400, 300, {312, 234}, u"true", true},
                                         ImageCase{"401x301 shadow True is no shadow", 401, 301, {311, 233},
                                                   u"True", false},
                                         ImageCase{"400x300 without shadow", 400, 300, {312, 234}, u"", false}),
                         CaseName<ImageCase>);

// --- an image that cannot be read -------------------------------------------

struct UnreadableCase {
    std::string name;
    std::string content; // empty: no file at all
};

class UnreadableSplashImage : public testing::TestWithParam<UnreadableCase> {};

TEST_P(UnreadableSplashImage, GivesNoVisibleWindowAndTheLaunchGoesOn)
{
    const UnreadableCase& tested = GetParam();
    const SplashShop shop;
    if (!tested.content.empty()) WriteBytes(shop.Folder() / "splash.png", tested.content);
    shop.Write(u"Splash Screen=splash.png");
    const ScreenShot before = ScreenShot::Take();
    const Hold hold;
    Launch launch(shop, L"");
    ASSERT_TRUE(hold.WaitHeld(kArrival)) << Seen(shop);

    // The window is made all the same, with nothing to show: 0 x 0.
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (window = WindowOf(launch.ProcessId(), kSplashClass)) != nullptr; },
                          kWindowTime));
    RECT rectangle{};
    ::GetWindowRect(window, &rectangle);
    EXPECT_EQ(rectangle.right - rectangle.left, 0);
    EXPECT_EQ(rectangle.bottom - rectangle.top, 0);
    EXPECT_EQ(ScreenShot::Take().At(kScreenWidth / 2, kScreenHeight / 2), before.At(kScreenWidth / 2, kScreenHeight / 2));

    hold.Release();
    ExpectMainRanAndEnded(launch, shop, 0);
}

INSTANTIATE_TEST_SUITE_P(Files, UnreadableSplashImage,
                         testing::Values(UnreadableCase{"not an image", "this is not a picture\r\n"},
                                         UnreadableCase{"missing", ""}),
                         CaseName<UnreadableCase>);

// --- the switch on the command line -----------------------------------------

struct SwitchCase {
    std::string name;
    std::wstring arguments;
    bool window;
};

class SplashSwitch : public testing::TestWithParam<SwitchCase> {};

TEST_P(SplashSwitch, OnlyTheExactWordsSuppressTheSplashAndMainStillGetsThem)
{
    const SwitchCase& tested = GetParam();
    const SplashShop shop;
    WritePicture(shop.Folder() / "splash.bmp", 40, 30);
    shop.Write(u"Splash Screen=splash.bmp");
    const Hold hold;
    Launch launch(shop, tested.arguments);
    ASSERT_TRUE(hold.WaitHeld(kArrival)) << Seen(shop);

    const auto hasWindow = [&] { return WindowOf(launch.ProcessId(), kSplashClass) != nullptr; };
    if (tested.window) {
        EXPECT_TRUE(WaitUntil(hasWindow, kWindowTime)) << "no splash window";
    } else {
        EXPECT_FALSE(WaitUntil(hasWindow, kGraceForAbsence)) << "a splash window despite the switch";
    }
    hold.Release();
    ExpectMainRanAndEnded(launch, shop, 0);
    const auto arguments = shop.VmRecord().Arguments();
    ASSERT_TRUE(arguments.has_value());
    std::u16string joined;
    for (const std::u16string& argument : *arguments) joined += (joined.empty() ? u"" : u" ") + argument;
    EXPECT_EQ(joined, U16(tested.arguments));
}

INSTANTIATE_TEST_SUITE_P(Arguments, SplashSwitch,
                         testing::Values(SwitchCase{"dash nosplash", L"-nosplash", false},
                                         SwitchCase{"slash nosplash", L"/nosplash", false},
                                         SwitchCase{"slash nosplash after another word", L"open /nosplash", false},
                                         SwitchCase{"other letter case", L"-NoSplash", true},
                                         SwitchCase{"longer word", L"-nosplashes", true},
                                         SwitchCase{"no arguments", L"", true}),
                         CaseName<SwitchCase>);

// --- message boxes while the splash shows -----------------------------------

struct OwnerCase {
    std::string name;
    std::wstring arguments;
    bool ownedBySplash;
};

class MessageBoxOwner : public testing::TestWithParam<OwnerCase> {};

TEST_P(MessageBoxOwner, IsTheSplashWindowWhileItExists)
{
    const OwnerCase& tested = GetParam();
    const SplashShop shop;
    WritePicture(shop.Folder() / "splash.bmp", 200, 100);
    shop.Write(u"Splash Screen=splash.bmp");
    shop.Play("create-result=-1\n"); // message 203 from the Java thread
    const Hold hold;
    Launch launch(shop, tested.arguments);
    ASSERT_TRUE(hold.WaitHeld(kArrival)) << Seen(shop);
    HWND splash = nullptr;
    if (tested.ownedBySplash) {
        ASSERT_TRUE(WaitUntil([&] { return (splash = WindowOf(launch.ProcessId(), kSplashClass)) != nullptr; },
                              kWindowTime));
    }
    hold.Release();

    const HWND box = launch.WaitForMessageBox(kWindowTime);
    ASSERT_NE(box, nullptr) << "no message box" << Seen(shop);
    EXPECT_EQ(::GetWindow(box, GW_OWNER), splash);
    ClickOk(box);
    const std::optional<DWORD> ended = launch.Wait(kEnd);
    ASSERT_TRUE(ended.has_value()) << "the launcher did not end";
    EXPECT_EQ(*ended, kFailed);
}

INSTANTIATE_TEST_SUITE_P(Splash, MessageBoxOwner,
                         testing::Values(OwnerCase{"splash shown", L"", true},
                                         OwnerCase{"no splash", L"-nosplash", false}),
                         CaseName<OwnerCase>);

// --- when the window closes -------------------------------------------------

struct ClosingCase {
    std::string name;
    std::string main; // what main does
    bool openAfterMain;
};

class SplashWindowClosing : public testing::TestWithParam<ClosingCase> {};

// Held again before the Java thread detaches: main is over and an uncaught
// exception has been dealt with.
TEST_P(SplashWindowClosing, OnlyAnUncaughtExceptionClosesItBeforeTheLauncherEnds)
{
    const ClosingCase& tested = GetParam();
    const SplashShop shop;
    WritePicture(shop.Folder() / "splash.bmp", 200, 100);
    shop.Write(u"Splash Screen=splash.bmp");
    shop.Play("main=" + tested.main + "\n");
    const Hold beforeVm;
    const Hold afterMain(HoldPoint::Detach);
    Launch launch(shop, L"");
    ASSERT_TRUE(beforeVm.WaitHeld(kArrival)) << Seen(shop);
    ASSERT_TRUE(WaitUntil([&] { return WindowOf(launch.ProcessId(), kSplashClass) != nullptr; }, kWindowTime));
    beforeVm.Release();

    ASSERT_TRUE(afterMain.WaitHeld(kArrival)) << Seen(shop);
    EXPECT_EQ(WindowOf(launch.ProcessId(), kSplashClass) != nullptr, tested.openAfterMain);
    afterMain.Release();
    ExpectMainRanAndEnded(launch, shop, 0);
}

INSTANTIATE_TEST_SUITE_P(Main, SplashWindowClosing,
                         testing::Values(ClosingCase{"main returns", "return", true},
                                         ClosingCase{"main throws", "throw", false}),
                         CaseName<ClosingCase>);

// --- the runtime's splash library -------------------------------------------

TEST(NativeSplash, GetsThePathInTheAnsiCodePageAndClosesOnceWhenTheJavaThreadFails)
{
    const SplashShop shop;
    shop.InstallSplashLibrary(L"standin-splashscreen.dll");
    const std::wstring image = L"spl\u00E4sh.bmp";
    WritePicture(shop.Folder() / image, 40, 30);
    shop.Write(u"Splash Screen=" + U16(image) + u"\r\nPreffer Native Splash Screen=yes");
    shop.Play("create-result=-1\n");
    const Hold hold;
    Launch launch(shop, L"");
    ASSERT_TRUE(hold.WaitHeld(kArrival)) << Seen(shop);

    const std::string name = AnsiHex(image);
    const std::vector<std::string> started{"SplashInit", "SplashLoadFile " + name,
                                           "SplashSetFileJarName " + name + " -"};
    EXPECT_EQ(shop.SplashRecord(), started);
    EXPECT_EQ(WindowOf(launch.ProcessId(), kSplashClass), nullptr);
    hold.Release();

    // The Java thread has failed and waits on its message: not closed yet,
    // and the box has no splash window to belong to.
    const HWND box = launch.WaitForMessageBox(kWindowTime);
    ASSERT_NE(box, nullptr) << Seen(shop);
    EXPECT_EQ(::GetWindow(box, GW_OWNER), nullptr);
    EXPECT_EQ(shop.SplashRecord(), started);
    ClickOk(box);
    const std::optional<DWORD> ended = launch.Wait(kEnd);
    ASSERT_TRUE(ended.has_value());
    EXPECT_EQ(*ended, kFailed);
    std::vector<std::string> closed = started;
    closed.push_back("SplashClose");
    EXPECT_EQ(shop.SplashRecord(), closed) << "closed once, after the Java thread failed";
}

struct NativeCase {
    std::string name;
    std::u16string display;          // the "Display" lines after "Splash Screen=splash.bmp"
    const wchar_t* library;          // the stand-in put in jre\bin, or none
    std::vector<std::string> record; // what the library records by the end
    bool ownWindow;
};

class NativeSplashChoice : public testing::TestWithParam<NativeCase> {};

TEST_P(NativeSplashChoice, UsesTheRuntimeLibraryOnlyWhenPreferredPresentAndComplete)
{
    const NativeCase& tested = GetParam();
    const SplashShop shop;
    if (tested.library != nullptr) shop.InstallSplashLibrary(tested.library);
    WritePicture(shop.Folder() / "splash.bmp", 40, 30);
    shop.Write(tested.display);
    const Hold hold;
    Launch launch(shop, L"");
    ASSERT_TRUE(hold.WaitHeld(kArrival)) << Seen(shop);

    const auto hasWindow = [&] { return WindowOf(launch.ProcessId(), kSplashClass) != nullptr; };
    if (tested.ownWindow) {
        EXPECT_TRUE(WaitUntil(hasWindow, kWindowTime)) << "no own splash window";
    } else {
        EXPECT_FALSE(WaitUntil(hasWindow, kGraceForAbsence)) << "an own splash window";
    }
    hold.Release();
    ExpectMainRanAndEnded(launch, shop, 0);
    EXPECT_EQ(shop.SplashRecord(), tested.record);
}

const std::string kName = AnsiHex(L"splash.bmp");
const std::vector<std::string> kShownAndClosed{"SplashInit", "SplashLoadFile " + kName,
                                               "SplashSetFileJarName " + kName + " -", "SplashClose"};

INSTANTIATE_TEST_SUITE_P(
    Settings, NativeSplashChoice,
    testing::Values(
        NativeCase{"preferred Yes", u"Splash Screen=splash.bmp\r\nPreffer Native Splash Screen=Yes",
                   L"standin-splashscreen.dll", kShownAndClosed, false},
        NativeCase{"preferred yes lower case", u"Splash Screen=splash.bmp\r\nPreffer Native Splash Screen=yes",
                   L"standin-splashscreen.dll", kShownAndClosed, false},
        NativeCase{"not preferred", u"Splash Screen=splash.bmp\r\nPreffer Native Splash Screen=No",
                   L"standin-splashscreen.dll", {}, true},
        NativeCase{"preference missing", u"Splash Screen=splash.bmp", L"standin-splashscreen.dll", {}, true},
        NativeCase{"preferred but absent", u"Splash Screen=splash.bmp\r\nPreffer Native Splash Screen=Yes",
                   nullptr, {}, true},
        NativeCase{"preferred but without SplashInit",
                   u"Splash Screen=splash.bmp\r\nPreffer Native Splash Screen=Yes",
                   L"standin-splashscreen-no-init.dll", {"SplashClose"}, true},
        NativeCase{"no image", u"Splash Screen=\r\nPreffer Native Splash Screen=Yes", L"standin-splashscreen.dll",
                   {}, false}),
    CaseName<NativeCase>);

} // namespace
} // namespace tala::test::splash
