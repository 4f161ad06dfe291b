// The splash rules that need no screen: the command-line switch, where the
// runtime's splash library lies, where a window is centred, and the choice and
// driving of the runtime's library, here through stand-in libraries laid out
// like a runtime (lib/server/libjvm.so, lib/libsplashscreen.so).
#include "launcher/Launcher.h"
#include "os/SplashWindow.h"
#include "os/Utf8.h"
#include "splash/Splash.h"
#include "tests/shared/TestFiles.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace tala {
namespace {

namespace fs = std::filesystem;
using test::WriteBytes;

TEST(SplashSwitch, OnlyTheExactWholeWordsSuppressTheSplash)
{
    const std::pair<StringList, bool> cases[] = {
        {{}, true},
        {{u"-nosplash"}, false},
        {{u"/nosplash"}, false},
        {{u"open", u"/nosplash", u"x"}, false},
        {{u"-NoSplash"}, true},
        {{u"/NOSPLASH"}, true},
        {{u"--nosplash"}, true},
        {{u"-nosplash "}, true},
        {{u"nosplash"}, true},
        {{u"-nosplash=1"}, true},
    };
    for (const auto& [arguments, wanted] : cases) {
        EXPECT_EQ(SplashWanted(arguments), wanted) << testing::PrintToString(arguments);
    }
}

TEST(NativeSplashLibraryPath, IsTheVmLibraryPathLessTwoComponentsAndTheLibraryName)
{
    constexpr auto kWindows = os::PathStyle::Windows;
    constexpr auto kPosix = os::PathStyle::Posix;
    const std::tuple<std::u16string, os::PathStyle, std::u16string> cases[] = {
        {u"C:\\Program Files\\jre\\bin\\server\\jvm.dll", kWindows, u"C:\\Program Files\\jre\\bin\\splashscreen.dll"},
        {u"\\\\server\\share\\jre\\bin\\client\\jvm.dll", kWindows, u"\\\\server\\share\\jre\\bin\\splashscreen.dll"},
        // Forward slashes do not cut on Windows, but one at the end is kept as the separator.
        {u"C:\\jre/bin/\\server\\jvm.dll", kWindows, u"C:\\jre/bin/splashscreen.dll"},
        {u"C:\\jvm.dll", kWindows, u"C:\\splashscreen.dll"},
        {u"", kWindows, u""},
        {u"/usr/lib/jvm/jdk/lib/server/libjvm.so", kPosix, u"/usr/lib/jvm/jdk/lib/libsplashscreen.so"},
        {u"/opt/jre/lib/amd64/server/libjvm.so", kPosix, u"/opt/jre/lib/amd64/libsplashscreen.so"},
        {u"/lib/server/libjvm.so", kPosix, u"/lib/libsplashscreen.so"},
        {u"", kPosix, u""},
    };
    for (const auto& [vmLibrary, style, splashLibrary] : cases) {
        EXPECT_EQ(NativeSplashLibraryPath(vmLibrary, style), splashLibrary) << os::ToUtf8(vmLibrary);
    }
}

TEST(SplashWindowCentre, HalvesTruncateTowardZero)
{
    EXPECT_EQ(os::CentredOrigin(1920, 1080, 400, 300), (os::ScreenPoint{760, 390}));
    EXPECT_EQ(os::CentredOrigin(1024, 768, 401, 301), (os::ScreenPoint{311, 233}));
    EXPECT_EQ(os::CentredOrigin(1920, 1080, 2001, 1201), (os::ScreenPoint{-40, -60})); // larger than the screen
}

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
    test::TempFolder folder_;
};

TEST(NativeSplash, DrivesTheRuntimeLibraryOnlyWhenPreferredPresentAndComplete)
{
    struct Case {
        const char* rule;
        std::string display;       // the lines of the "Display" section
        const char* splashLibrary; // the stand-in put in lib/, or none
        bool loadableVm;
        std::string started;       // the record after StartSplash
        bool closeKept;
    };
    // The picture's name is handed over as the platform's narrow text: UTF-8 here.
    const std::string image = "images/spl\xC3\xA4sh.png";
    const std::string shown = "init (fake libjvm.so);load " + image + ";names " + image + " [];";
    const std::string preferred = "Splash Screen=" + image + "\nPreffer Native Splash Screen=Yes";
    const Case cases[] = {
        {"preferred", preferred, TALA_FAKE_SPLASH_LIBRARY, true, shown, true},
        {"preferred in lower case", "Splash Screen=" + image + "\nPreffer Native Splash Screen=yes",
         TALA_FAKE_SPLASH_LIBRARY, true, shown, true},
        {"not preferred", "Splash Screen=" + image + "\nPreffer Native Splash Screen=No", TALA_FAKE_SPLASH_LIBRARY,
         true, "not loaded", false},
        {"preference missing", "Splash Screen=" + image, TALA_FAKE_SPLASH_LIBRARY, true, "not loaded", false},
        {"no image", "Splash Screen=\nPreffer Native Splash Screen=Yes", TALA_FAKE_SPLASH_LIBRARY, true, "not loaded",
         false},
        {"no library", preferred, nullptr, true, "not loaded", false},
        {"library without SplashInit", preferred, TALA_FAKE_SPLASH_LIBRARY_WITHOUT_INIT, true, "", true},
        {"VM library that does not load", preferred, TALA_FAKE_SPLASH_LIBRARY, false, "not loaded", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        const FakeRuntime runtime(c.splashLibrary, c.loadableVm);
        WriteBytes(runtime.Folder() / "shop.ini", "[Display]\n" + c.display + "\n");
        Launcher launcher;
        launcher.vmLibraryPath = runtime.VmLibrary().u16string();

        EXPECT_TRUE(StartSplashFrom(launcher, (runtime.Folder() / "shop.ini").u16string()));
        EXPECT_EQ(runtime.SplashRecord(), c.started);
        EXPECT_EQ(launcher.splashClose != nullptr, c.closeKept);
        // No own window without one to show: POSIX has none.
        EXPECT_EQ(launcher.splashScreenWindow, nullptr);
        EXPECT_EQ(launcher.splashWindow.load(), nullptr);

        // Closing twice, or with nothing to close, does nothing more.
        CallSplashClose(launcher);
        CallSplashClose(launcher);
        CloseSplashWindow(launcher);
        const std::string closed = c.closeKept ? "close (fake libjvm.so);" : "";
        EXPECT_EQ(runtime.SplashRecord(), c.started == "not loaded" ? c.started : c.started + closed);
        EXPECT_EQ(launcher.splashClose, nullptr);
    }
}

} // namespace
} // namespace tala
