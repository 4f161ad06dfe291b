// The splash screen of tala.exe under Wine, as a user meets it: Shop.exe with
// a "Display" section in Shop.ini, its runtime's VM library holding the Java
// thread before main until the test has looked. What the screen shows is
// judged by its pixels; the launcher's windows and message boxes by what
// another process sees of them; the runtime's splash library by a stand-in
// that records its calls. And the OS layer's splash window made in this
// process, for what the screen cannot show.
#include "os/SplashWindow.h"
#include "tests/shared/CaseName.h"
#include "tests/windows/ForeignWindows.h"
#include "tests/windows/LauncherProcess.h"
#include "tests/windows/ProgramsBeside.h"
#include "tests/windows/WaitUntil.h"
#include "tests/windows/splash/SplashPicture.h"
#include "tests/windows/splash/SplashShop.h"

#include <gtest/gtest.h>

#include <ostream>
#include <tuple>

namespace tala::test {
namespace {

constexpr wchar_t kSplashClass[] = L"SplashScreenWindow";
constexpr std::uint32_t kFailed = 0xFFFFFFFF; // -1
// A start takes well under a second, a screen a few frames to catch up.
constexpr auto kArrival = 15s;
constexpr auto kWindowTime = 10s;
// How long a window that should not come is given to come anyway: several
// times what the splash window takes to appear after the hold is reached.
constexpr auto kGraceForAbsence = 1500ms;

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
void ExpectMainRanAndEnded(const LauncherProcess& launch, const SplashShop& shop, std::uint32_t exitCode)
{
    EXPECT_EQ(launch.WaitForExit(), exitCode) << Seen(shop);
    const StandInRecord record = shop.VmRecord();
    EXPECT_TRUE(record.Arguments().has_value()) << "main was not called" << Seen(shop);
    EXPECT_EQ(record.Complaints(), std::vector<std::string>{}) << Seen(shop);
}

// A splash window the user can see: shown, and with an image in it.
bool ShowsSplashWindow(const LauncherProcess& launch)
{
    const HWND window = launch.Window(kSplashClass);
    RECT frame{};
    return window != nullptr && ::IsWindowVisible(window) && ::GetWindowRect(window, &frame) &&
           !::IsRectEmpty(&frame);
}

std::u16string U16(const std::wstring& text)
{
    return std::u16string(text.begin(), text.end());
}

// Wine takes its own copy of a system library over one in the application's
// folder. Windows takes the folder's, and so does Wine for a program whose
// Wine settings say so: here Shop.exe, for one library, while this lives.
class ApplicationFolderFirst {
public:
    explicit ApplicationFolderFirst(const wchar_t* library) : library_(library)
    {
        constexpr wchar_t kNativeFirst[] = L"native,builtin";
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kOverrides, library_, REG_SZ, kNativeFirst, sizeof kNativeFirst);
    }
    ~ApplicationFolderFirst() { ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kOverrides, library_); }
    ApplicationFolderFirst(const ApplicationFolderFirst&) = delete;
    ApplicationFolderFirst& operator=(const ApplicationFolderFirst&) = delete;

private:
    static constexpr wchar_t kOverrides[] = L"Software\\Wine\\AppDefaults\\Shop.exe\\DllOverrides";
    const wchar_t* library_;
};

// --- the image on the screen ------------------------------------------------

struct ImageCase {
    std::string name;
    int width;
    int height;
    POINT origin; // centred on the 1024 x 768 screen, halves truncated toward zero
    std::u16string shadowSetting;
    bool shadow;
};

class SplashImage : public testing::TestWithParam<ImageCase> {};

// Drawn with the system's GDI+: a gdiplus.dll beside the launcher, where
// anyone who can write to its folder could have put one, is never loaded.
TEST_P(SplashImage, ShowsCentredWithoutTaskbarButtonAndRepaintsUntilTheLauncherEnds)
{
    const ImageCase& tested = GetParam();
    ASSERT_EQ(std::tuple(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)), std::tuple(1024, 768));
    const SplashShop shop;
    std::filesystem::copy_file(BesideThisProgram(L"planted\\gdiplus.dll"), shop.Folder() / "gdiplus.dll");
    const ApplicationFolderFirst gdiplusFromTheFolder(L"gdiplus");
    WritePicture(shop.Folder() / "splash.bmp", tested.width, tested.height);
    shop.WriteDisplay(u"Splash Screen=splash.bmp\r\nSplash Screen Shadow=" + tested.shadowSetting);
    const Hold hold;
    const LauncherProcess launch(shop.CommandLine(), shop.Folder());
    ASSERT_TRUE(hold.WaitHeld(kArrival)) << Seen(shop);
    const bool shown = WaitUntil([&] { return ShowsSplashWindow(launch); }, kWindowTime);
    EXPECT_FALSE(std::filesystem::exists(shop.Folder() / "planted-library-loaded.txt"))
        << "the gdiplus.dll beside the launcher was loaded";
    ASSERT_TRUE(shown) << "no visible splash window";

    const HWND window = launch.Window(kSplashClass);
    RECT frame{};
    ::GetWindowRect(window, &frame);
    const POINT& at = tested.origin;
    EXPECT_EQ(std::tuple(frame.left, frame.top, frame.right, frame.bottom),
              std::tuple(at.x, at.y, at.x + tested.width, at.y + tested.height));
    const auto style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
    const auto extendedStyle = static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE));
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_THICKFRAME), static_cast<DWORD>(WS_POPUP)) << "a border";
    EXPECT_NE(extendedStyle & WS_EX_TOOLWINDOW, 0u) << "a taskbar button";
    EXPECT_EQ(extendedStyle & WS_EX_TOPMOST, 0u) << "above the application's windows";
    EXPECT_EQ(::GetWindow(window, GW_OWNER), nullptr);
    EXPECT_EQ((::GetClassLongPtrW(window, GCL_STYLE) & CS_DROPSHADOW) != 0, tested.shadow);

    std::string mismatch;
    const auto showsImage = [&] {
        mismatch = PictureMismatch(CaptureScreen(), at, tested.width, tested.height);
        return mismatch.empty();
    };
    EXPECT_TRUE(WaitUntil(showsImage, kWindowTime)) << "the screen does not show the image: " << mismatch;
    // Covered by another window and uncovered again: the image comes back.
    const POINT centre{at.x + tested.width / 2, at.y + tested.height / 2};
    {
        const os::UniqueWindow cover(::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Static", nullptr,
                                                       WS_POPUP | WS_VISIBLE | SS_BLACKRECT, centre.x - 50,
                                                       centre.y - 50, 100, 100, nullptr, nullptr, nullptr, nullptr));
        EXPECT_TRUE(WaitUntil([&] { return CaptureScreen().At(centre.x, centre.y) != kBottomRight; }, kWindowTime))
            << "the cover did not show";
    }
    EXPECT_TRUE(WaitUntil(showsImage, kWindowTime)) << "the image did not come back: " << mismatch;

    hold.Release();
    ExpectMainRanAndEnded(launch, shop, 0);
    EXPECT_EQ(TopLevelWindows(0, kSplashClass), std::vector<HWND>{}) << "a splash window outlived the launcher";
    EXPECT_TRUE(WaitUntil([&] { return CaptureScreen().At(centre.x, centre.y) != kBottomRight; }, kWindowTime))
        << "the image stayed on the screen";
}

INSTANTIATE_TEST_SUITE_P(Sizes, SplashImage,
                         testing::Values(ImageCase{"400x300 with the shadow", 400, 300, {312, 234}, u"true", true},
                                         ImageCase{"401x301 shadow True is none", 401, 301, {311, 233}, u"True",
                                                   false},
                                         ImageCase{"larger than the screen, unscaled", 1100, 800, {-38, -16}, u"",
                                                   false}),
                         CaseName<ImageCase>);

// --- when there is no window ------------------------------------------------

struct WindowCase {
    std::string name;
    std::string image; // the file's bytes; "picture" for a readable image, empty for none
    std::wstring arguments;
    bool window;
};

class SplashWindowShown : public testing::TestWithParam<WindowCase> {};

TEST_P(SplashWindowShown, OnlyForAReadableImageWithoutTheExactSwitchAndMainGetsTheArguments)
{
    const WindowCase& tested = GetParam();
    const SplashShop shop;
    if (tested.image == "picture") {
        WritePicture(shop.Folder() / "splash.img", 40, 30);
    } else if (!tested.image.empty()) {
        WriteBytes(shop.Folder() / "splash.img", tested.image);
    }
    shop.WriteDisplay(u"Splash Screen=splash.img");
    const Hold hold;
    const LauncherProcess launch(shop.CommandLine(tested.arguments), shop.Folder());
    ASSERT_TRUE(hold.WaitHeld(kArrival)) << Seen(shop);

    const auto shown = [&] { return ShowsSplashWindow(launch); };
    EXPECT_EQ(WaitUntil(shown, tested.window ? kWindowTime : kGraceForAbsence), tested.window);
    hold.Release();
    ExpectMainRanAndEnded(launch, shop, 0);
    std::u16string joined;
    for (const std::u16string& argument : shop.VmRecord().Arguments().value_or(std::vector<std::u16string>{})) {
        joined += (joined.empty() ? u"" : u" ") + argument;
    }
    EXPECT_EQ(joined, U16(tested.arguments)) << "the switch is still the application's";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplashWindowShown,
    testing::Values(WindowCase{"not an image", "this is not a picture\r\n", L"", false},
                    WindowCase{"missing image", "", L"", false},
                    WindowCase{"dash nosplash", "picture", L"-nosplash", false},
                    WindowCase{"slash nosplash", "picture", L"/nosplash", false},
                    WindowCase{"slash nosplash after another word", "picture", L"open /nosplash", false},
                    WindowCase{"other letter case", "picture", L"-NoSplash", true},
                    WindowCase{"longer word", "picture", L"/nosplashes", true}),
    CaseName<WindowCase>);

// --- message boxes while the splash shows -----------------------------------

TEST(SplashMessageBox, BelongsToTheSplashWindowWhileItExists)
{
    const SplashShop shop;
    WritePicture(shop.Folder() / "splash.bmp", 200, 100);
    shop.WriteDisplay(u"Splash Screen=splash.bmp");
    shop.Play("create-result=-1\n"); // message 203 from the Java thread
    const Hold hold;
    const LauncherProcess launch(shop.CommandLine(), shop.Folder());
    ASSERT_TRUE(hold.WaitHeld(kArrival)) << Seen(shop);
    ASSERT_TRUE(WaitUntil([&] { return ShowsSplashWindow(launch); }, kWindowTime));
    hold.Release();

    const HWND box = launch.WaitForDialog();
    ASSERT_NE(box, nullptr) << "no message box" << Seen(shop);
    EXPECT_EQ(::GetWindow(box, GW_OWNER), launch.Window(kSplashClass));
    PostClick(box, IDOK);
    EXPECT_EQ(launch.WaitForExit(), kFailed);
}

// --- when the window closes -------------------------------------------------

class SplashWindowClosing : public testing::TestWithParam<std::string> {};

// Held again before the Java thread detaches: main is over and an uncaught
// exception has been dealt with.
TEST_P(SplashWindowClosing, OnlyAnUncaughtExceptionClosesItBeforeTheLauncherEnds)
{
    const std::string& main = GetParam();
    const SplashShop shop;
    WritePicture(shop.Folder() / "splash.bmp", 200, 100);
    shop.WriteDisplay(u"Splash Screen=splash.bmp");
    shop.Play("main=" + main + "\n");
    const Hold beforeVm;
    const Hold afterMain(HoldPoint::Detach);
    const LauncherProcess launch(shop.CommandLine(), shop.Folder());
    ASSERT_TRUE(beforeVm.WaitHeld(kArrival)) << Seen(shop);
    ASSERT_TRUE(WaitUntil([&] { return launch.Window(kSplashClass) != nullptr; }, kWindowTime));
    beforeVm.Release();

    ASSERT_TRUE(afterMain.WaitHeld(kArrival)) << Seen(shop);
    EXPECT_EQ(launch.Window(kSplashClass) != nullptr, main == "return");
    afterMain.Release();
    ExpectMainRanAndEnded(launch, shop, 0);
}

INSTANTIATE_TEST_SUITE_P(Main, SplashWindowClosing, testing::Values("return", "throw"),
                         [](const testing::TestParamInfo<std::string>& main) { return main.param; });

// --- the runtime's splash library -------------------------------------------

TEST(NativeSplash, GetsThePathInTheAnsiCodePageAndClosesOnceWhenTheJavaThreadFails)
{
    const SplashShop shop;
    shop.InstallSplashLibrary(L"standin-splashscreen.dll");
    const std::wstring image = L"spl\u00E4sh.bmp";
    WritePicture(shop.Folder() / image, 40, 30);
    shop.WriteDisplay(u"Splash Screen=" + U16(image) + u"\r\nPreffer Native Splash Screen=yes");
    shop.Play("create-result=-1\n");
    const Hold hold;
    const LauncherProcess launch(shop.CommandLine(), shop.Folder());
    ASSERT_TRUE(hold.WaitHeld(kArrival)) << Seen(shop);

    const std::string name = Ansi(image);
    std::vector<std::string> expected{"SplashInit", "SplashLoadFile " + name, "SplashSetFileJarName " + name + " -"};
    EXPECT_EQ(shop.SplashRecord(), expected);
    EXPECT_EQ(launch.Window(kSplashClass), nullptr);
    hold.Release();

    // The Java thread has failed and waits on its message: not closed yet,
    // and the box has no splash window to belong to.
    const HWND box = launch.WaitForDialog();
    ASSERT_NE(box, nullptr) << Seen(shop);
    EXPECT_EQ(::GetWindow(box, GW_OWNER), nullptr);
    EXPECT_EQ(shop.SplashRecord(), expected);
    PostClick(box, IDOK);
    EXPECT_EQ(launch.WaitForExit(), kFailed);
    expected.push_back("SplashClose");
    EXPECT_EQ(shop.SplashRecord(), expected) << "closed once, after the Java thread failed";
}

struct NativeCase {
    std::string name;
    std::u16string display;
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
    shop.WriteDisplay(tested.display);
    const Hold hold;
    const LauncherProcess launch(shop.CommandLine(), shop.Folder());
    ASSERT_TRUE(hold.WaitHeld(kArrival)) << Seen(shop);

    const auto hasWindow = [&] { return launch.Window(kSplashClass) != nullptr; };
    EXPECT_EQ(WaitUntil(hasWindow, tested.ownWindow ? kWindowTime : kGraceForAbsence), tested.ownWindow);
    hold.Release();
    ExpectMainRanAndEnded(launch, shop, 0);
    EXPECT_EQ(shop.SplashRecord(), tested.record);
}

const std::string kName = Ansi(L"splash.bmp");
const std::vector<std::string> kShownAndClosed{"SplashInit", "SplashLoadFile " + kName,
                                               "SplashSetFileJarName " + kName + " -", "SplashClose"};
constexpr wchar_t kLibrary[] = L"standin-splashscreen.dll";
constexpr char16_t kPreferred[] = u"Splash Screen=splash.bmp\r\nPreffer Native Splash Screen=Yes";

INSTANTIATE_TEST_SUITE_P(
    Settings, NativeSplashChoice,
    testing::Values(
        NativeCase{"preferred Yes", kPreferred, kLibrary, kShownAndClosed, false},
        NativeCase{"preferred yes lower case", u"Splash Screen=splash.bmp\r\nPreffer Native Splash Screen=yes",
                   kLibrary, kShownAndClosed, false},
        NativeCase{"not preferred", u"Splash Screen=splash.bmp\r\nPreffer Native Splash Screen=No", kLibrary, {},
                   true},
        NativeCase{"preference missing", u"Splash Screen=splash.bmp", kLibrary, {}, true},
        NativeCase{"preferred but absent", kPreferred, nullptr, {}, true},
        NativeCase{"preferred but without SplashInit", kPreferred, L"standin-splashscreen-no-init.dll",
                   {"SplashClose"}, true},
        NativeCase{"no image", u"Splash Screen=\r\nPreffer Native Splash Screen=Yes", kLibrary, {}, false}),
    CaseName<NativeCase>);

// --- the window of the OS layer, in this process ---------------------------

TEST(SplashWindow, ErasingTheBackgroundDrawsNothing)
{
    const TempFolder folder;
    WritePicture(folder.Path() / "splash.bmp", 40, 30);
    os::SplashScreenWindow splash;
    const auto window = static_cast<HWND>(splash.Create((folder.Path() / "splash.bmp").u16string(), false));
    ASSERT_NE(window, nullptr);

    // A canvas of a colour no brush of the window has: a background painted
    // before the image, which would flicker, shows as any other colour.
    Canvas canvas(40, 30);
    ASSERT_TRUE(canvas.Ready());
    canvas.Fill(0xABCDEF);
    EXPECT_EQ(::SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0), 1);
    EXPECT_EQ(canvas.Read().Count(0xABCDEF), 40u * 30u);
    splash.Destroy();
}

} // namespace
} // namespace tala::test
