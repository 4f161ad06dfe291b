// The splash rules that need no screen: the command-line switch, where the
// runtime's splash library lies, where a window is centred, and the choice and
// driving of the runtime's library, here through stand-in libraries laid out
// like a runtime (lib/server/libjvm.so, lib/libsplashscreen.so).
#include "launcher/Launcher.h"
#include "os/SplashWindow.h"
#include "splash/Splash.h"
#include "tests/shared/TestFiles.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <ostream>
#include <string>

namespace tala {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;
using test::WriteBytes;

// --- the switch -------------------------------------------------------------

struct SwitchCase {
    std::string name;
    StringList arguments;
    bool wanted;
};

void PrintTo(const SwitchCase& tested, std::ostream* out) { *out << tested.name; }

// Test names from the cases' own names.
template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& tested)
{
    std::string name;
    for (const char c : tested.param.name) name += c == ' ' ? '_' : c;
    return name;
}

class SplashSwitchRule : public testing::TestWithParam<SwitchCase> {};

TEST_P(SplashSwitchRule, OnlyTheExactWholeWordsSuppressTheSplash)
{
    EXPECT_EQ(SplashWanted(GetParam().arguments), GetParam().wanted);
}

INSTANTIATE_TEST_SUITE_P(Words, SplashSwitchRule,
                         testing::Values(SwitchCase{"none", {}, true},
                                         SwitchCase{"dash", {u"-nosplash"}, false},
                                         SwitchCase{"slash", {u"/nosplash"}, false},
                                         SwitchCase{"slash among others", {u"open", u"/nosplash", u"x"}, false},
                                         SwitchCase{"mixed case", {u"-NoSplash"}, true},
                                         SwitchCase{"upper case", {u"/NOSPLASH"}, true},
                                         SwitchCase{"two dashes", {u"--nosplash"}, true},
                                         SwitchCase{"trailing blank", {u"-nosplash "}, true},
                                         SwitchCase{"bare word", {u"nosplash"}, true},
                                         SwitchCase{"longer word", {u"-nosplash=1"}, true}),
                         CaseName<SwitchCase>);

// --- where the runtime's splash library lies --------------------------------

struct LibraryPathCase {
    std::string name;
    std::u16string vmLibrary;
    os::PathStyle style;
    std::u16string splashLibrary;
};

void PrintTo(const LibraryPathCase& tested, std::ostream* out) { *out << tested.name; }

class NativeSplashLibraryPlace : public testing::TestWithParam<LibraryPathCase> {};

TEST_P(NativeSplashLibraryPlace, IsTheVmLibraryPathLessTwoComponentsAndTheLibraryName)
{
    EXPECT_EQ(NativeSplashLibraryPath(GetParam().vmLibrary, GetParam().style), GetParam().splashLibrary);
}

constexpr auto kWindows = os::PathStyle::Windows;
constexpr auto kPosix = os::PathStyle::Posix;

INSTANTIATE_TEST_SUITE_P(
    Paths, NativeSplashLibraryPlace,
    testing::Values(
        LibraryPathCase{"windows server", u"C:\\Program Files\\jre\\bin\\server\\jvm.dll", kWindows,
                        u"C:\\Program Files\\jre\\bin\\splashscreen.dll"},
        LibraryPathCase{"windows client", u"C:\\jre\\bin\\client\\jvm.dll", kWindows, u"C:\\jre\\bin\\splashscreen.dll"},
        LibraryPathCase{"windows network", u"\\\\server\\share\\jre\\bin\\server\\jvm.dll", kWindows,
                        u"\\\\server\\share\\jre\\bin\\splashscreen.dll"},
        // Forward slashes do not cut on Windows, but one at the end is kept as the separator.
        LibraryPathCase{"windows forward slashes", u"C:\\jre/bin/\\server\\jvm.dll", kWindows, u"C:\\jre/bin/splashscreen.dll"},
        LibraryPathCase{"windows drive root", u"C:\\jvm.dll", kWindows, u"C:\\splashscreen.dll"},
        LibraryPathCase{"windows empty", u"", kWindows, u""},
        LibraryPathCase{"posix", u"/usr/lib/jvm/jdk/lib/server/libjvm.so", kPosix,
                        u"/usr/lib/jvm/jdk/lib/libsplashscreen.so"},
        LibraryPathCase{"posix old layout", u"/opt/jre/lib/amd64/server/libjvm.so", kPosix, u"/opt/jre/lib/amd64/libsplashscreen.so"},
        LibraryPathCase{"posix root", u"/lib/server/libjvm.so", kPosix, u"/lib/libsplashscreen.so"},
        LibraryPathCase{"posix empty", u"", kPosix, u""}),
    CaseName<LibraryPathCase>);

// --- where a window is centred ----------------------------------------------

struct CentreCase {
    int screenWidth, screenHeight, width, height;
    os::ScreenPoint origin;
};

void PrintTo(const CentreCase& tested, std::ostream* out)
{
    *out << tested.width << "x" << tested.height << " on " << tested.screenWidth << "x" << tested.screenHeight;
}

class SplashWindowCentre : public testing::TestWithParam<CentreCase> {};

TEST_P(SplashWindowCentre, HalvesTruncateTowardZero)
{
    const CentreCase& tested = GetParam();
    EXPECT_EQ(os::CentredOrigin(tested.screenWidth, tested.screenHeight, tested.width, tested.height),
              tested.origin);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SplashWindowCentre,
                         testing::Values(CentreCase{1920, 1080, 400, 300, {760, 390}},
                                         CentreCase{1920, 1080, 401, 301, {759, 389}},
                                         CentreCase{1024, 768, 401, 301, {311, 233}},
                                         CentreCase{1920, 1080, 0, 0, {960, 540}},
                                         CentreCase{1920, 1080, 2001, 1201, {-40, -60}},
                                         CentreCase{1024, 768, 1100, 800, {-38, -16}}));

// --- the runtime's splash library -------------------------------------------

// A runtime folder whose VM library and splash library are the stand-ins
// built beside the tests; each case gets fresh copies, so each one's record
// starts empty.
class FakeRuntime {
public:
    FakeRuntime(const char* splashLibrary, bool loadableVm)
    {
        fs::create_directories(VmLibrary().parent_path());
        if (loadableVm) {
            fs::copy_file(TALA_FAKE_VM_LIBRARY, VmLibrary());
        } else {
            WriteBytes(VmLibrary(), "not a library\n");
        }
        if (splashLibrary != nullptr) fs::copy_file(splashLibrary, SplashLibrary());
    }

    fs::path Folder() const { return folder_.Path(); }
    fs::path VmLibrary() const { return folder_.Path() / "jre" / "lib" / "server" / "libjvm.so"; }
    fs::path SplashLibrary() const { return folder_.Path() / "jre" / "lib" / "libsplashscreen.so"; }

    // What the splash library recorded; "not loaded" when no one loaded it.
    std::string SplashRecord() const
    {
        void* library = ::dlopen(SplashLibrary().c_str(), RTLD_NOW | RTLD_NOLOAD);
        if (library == nullptr) return "not loaded";
        const auto record = reinterpret_cast<const char* (*)()>(::dlsym(library, "FakeSplashRecord"));
        std::string text = record != nullptr ? record() : "no record";
        ::dlclose(library); // the launcher's own reference keeps it loaded
        return text;
    }

private:
    TempFolder folder_;
};

struct NativeCase {
    std::string name;
    std::string display;       // the lines of the "Display" section
    const char* splashLibrary; // the stand-in put in lib/, or none
    bool loadableVm;
    std::string started;       // the record after StartSplash
    bool closeKept;
};

void PrintTo(const NativeCase& tested, std::ostream* out) { *out << tested.name; }

class NativeSplashStart : public testing::TestWithParam<NativeCase> {};

// The picture's name is handed over as the platform's narrow text: UTF-8 here.
constexpr char kImage[] = "images/spl\xC3\xA4sh.png";
const std::string kShown = std::string("init (fake libjvm.so);load ") + kImage + ";names " + kImage + " [];";

TEST_P(NativeSplashStart, DrivesTheRuntimeLibraryOnlyWhenPreferredPresentAndComplete)
{
    const NativeCase& tested = GetParam();
    const FakeRuntime runtime(tested.splashLibrary, tested.loadableVm);
    WriteBytes(runtime.Folder() / "shop.ini", "[Display]\n" + tested.display + "\n");
    Launcher launcher;
    launcher.vmLibraryPath = runtime.VmLibrary().u16string();

    EXPECT_TRUE(StartSplashFrom(launcher, (runtime.Folder() / "shop.ini").u16string()));
    EXPECT_EQ(runtime.SplashRecord(), tested.started);
    EXPECT_EQ(launcher.splashClose != nullptr, tested.closeKept);
    // No own window without one to show: POSIX has none.
    EXPECT_EQ(launcher.splashScreenWindow, nullptr);
    EXPECT_EQ(launcher.splashWindow.load(), nullptr);

    CallSplashClose(launcher);
    CallSplashClose(launcher);
    const std::string closed = tested.closeKept ? "close (fake libjvm.so);" : "";
    EXPECT_EQ(runtime.SplashRecord(), tested.started == "not loaded" ? tested.started : tested.started + closed);
    EXPECT_EQ(launcher.splashClose, nullptr);
}

const std::string kPreferred = std::string("Splash Screen=") + kImage + "\nPreffer Native Splash Screen=Yes";

INSTANTIATE_TEST_SUITE_P(
    Settings, NativeSplashStart,
    testing::Values(
        NativeCase{"preferred", kPreferred, TALA_FAKE_SPLASH_LIBRARY, true, kShown, true},
        NativeCase{"preferred in lower case",
                   std::string("Splash Screen=") + kImage + "\nPreffer Native Splash Screen=yes",
                   TALA_FAKE_SPLASH_LIBRARY, true, kShown, true},
        NativeCase{"not preferred", std::string("Splash Screen=") + kImage + "\nPreffer Native Splash Screen=No",
                   TALA_FAKE_SPLASH_LIBRARY, true, "not loaded", false},
        NativeCase{"preference missing", std::string("Splash Screen=") + kImage, TALA_FAKE_SPLASH_LIBRARY, true,
                   "not loaded", false},
        NativeCase{"no image", "Splash Screen=\nPreffer Native Splash Screen=Yes", TALA_FAKE_SPLASH_LIBRARY, true,
                   "not loaded", false},
        NativeCase{"no library", kPreferred, nullptr, true, "not loaded", false},
        NativeCase{"library without SplashInit", kPreferred, TALA_FAKE_SPLASH_LIBRARY_WITHOUT_INIT, true, "", true},
        NativeCase{"VM library that does not load", kPreferred, TALA_FAKE_SPLASH_LIBRARY, false, "not loaded",
                   false}),
    CaseName<NativeCase>);

TEST(SplashClose, ClosingWithoutASplashDoesNothing)
{
    Launcher launcher;
    CallSplashClose(launcher);
    CloseSplashWindow(launcher);
    EXPECT_EQ(launcher.splashClose, nullptr);
    EXPECT_EQ(launcher.splashScreenWindow, nullptr);
}

} // namespace
} // namespace tala
