#include "splash/Splash.h"

#include "launcher/Launcher.h"
#include "launcher/Trace.h"
#include "os/Files.h"
#include "os/PathText.h"
#include "os/SplashLibrary.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsPaths.h"
#include "splash/SplashWindow.h"
#include "vm/RuntimePaths.h"
#include "vm/VmOptions.h"

#include <algorithm>
#include <utility>

namespace tala {
namespace {

// The splash library's C interface, as the runtime's own launcher calls it.
using SplashInitFunction = void (*)();
using SplashLoadFileFunction = int (*)(const char* fileName);
using SplashSetFileJarNameFunction = void (*)(const char* fileName, const char* jarName);
using SplashCloseFunction = void (*)();

void StartSplashWindow(Launcher& launcher, const std::u16string& image, bool shadow)
{
    if (!os::HasOwnSplashWindow()) {
        trace::Note("splash", "none: no runtime splash library used, and no window of its own here");
        return;
    }
    trace::Note("splash", u"own window shows", image);
    // Without a thread there is no splash; nothing is reported.
    launcher.splashScreenWindow = OwnSplashWindow::Start(image, shadow, launcher.splashWindow);
}

} // namespace

bool SplashWanted(const StringList& programArguments)
{
    const auto given = [&programArguments](std::u16string_view word) {
        return std::find(programArguments.begin(), programArguments.end(), word) !=
               programArguments.end();
    };
    const bool wanted = !given(u"-nosplash") && !given(u"/nosplash");
    if (!wanted) trace::Note("splash", "none: -nosplash given");
    return wanted;
}

bool StartSplash(Launcher& launcher)
{
    std::u16string settingsPath;
    if (!GetSettingsFilePath(settingsPath, launcher.splashWindow)) return false;
    return StartSplashFrom(launcher, settingsPath);
}

bool StartSplashFrom(Launcher& launcher, const std::u16string& settingsPath)
{
    // The file alone: these keys are not taken from embedded settings.
    SettingsFile file(settingsPath);
    const std::u16string image = file.Get(keys::kDisplay, keys::kSplashScreen);
    const std::u16string shadow = file.Get(keys::kDisplay, keys::kSplashScreenShadow);
    const std::u16string preferNative = file.Get(keys::kDisplay, keys::kPrefferNativeSplashScreen);
    if (image.empty()) {
        trace::Note("splash", "none configured");
        return true;
    }

    const std::u16string nativeLibrary = FindNativeSplashLibrary(launcher.vmLibraryPath);
    if (IsCaseless(preferNative, u"Yes") && !nativeLibrary.empty() &&
        ShowNativeSplash(launcher, nativeLibrary, image)) {
        trace::Note("splash", u"the runtime's library", nativeLibrary, u"shows", image);
        return true;
    }
    // Not preferred, not there, or it did not start: the window does not
    // wait to appear before the launch goes on.
    StartSplashWindow(launcher, image, IsExactly(shadow, u"true"));
    return true;
}

std::u16string NativeSplashLibraryPath(std::u16string_view vmLibraryPath, os::PathStyle style)
{
    std::u16string path = StripPathComponents(vmLibraryPath, 2, style);
    if (path.empty()) return path;
    // A folder ending in either separator, as Windows also takes "/", keeps it.
    const bool endsWithSeparator =
        os::EndsWithSeparator(path, os::PathStyle::Windows) || os::EndsWithSeparator(path, os::PathStyle::Posix);
    if (!endsWithSeparator) path += os::PathSeparator(style);
    path += style == os::PathStyle::Windows ? u"splashscreen.dll" : u"libsplashscreen.so";
    return path;
}

std::u16string FindNativeSplashLibrary(const std::u16string& vmLibraryPath)
{
    std::u16string path = NativeSplashLibraryPath(vmLibraryPath);
    if (path.empty() || !os::PathExists(path)) return {};
    return path;
}

bool ShowNativeSplash(Launcher& launcher, const std::u16string& libraryPath,
                      const std::u16string& splashScreen)
{
    // Never unloaded: the runtime's AWT takes the splash over from here.
    const os::LibraryHandle library = os::LoadSplashLibrary(libraryPath, launcher.vmLibraryPath);
    if (library == nullptr) return false;
    // The close function is kept even when the others are missing.
    os::SymbolLookup(library).Find(launcher.splashClose, "SplashClose");
    os::SymbolLookup symbols(library);
    SplashInitFunction init = nullptr;
    SplashLoadFileFunction loadFile = nullptr;
    SplashSetFileJarNameFunction setFileJarName = nullptr;
    symbols.Find(init, "SplashInit");
    symbols.Find(loadFile, "SplashLoadFile");
    symbols.Find(setFileJarName, "SplashSetFileJarName");
    if (symbols.Missing() != nullptr) {
        trace::Note("splash", u"the runtime's library", libraryPath, "has no", symbols.Missing());
        return false;
    }

    const std::string fileName = ToAnsi(splashScreen);
    init();
    loadFile(fileName.c_str());
    setFileJarName(fileName.c_str(), "");
    return true;
}

void CallSplashClose(Launcher& launcher)
{
    const SplashCloseFunction close = std::exchange(launcher.splashClose, nullptr);
    if (close != nullptr) close();
}

void CloseSplashWindow(Launcher& launcher)
{
    if (!launcher.splashScreenWindow) return;
    launcher.splashScreenWindow.reset();
    launcher.splashWindow = nullptr;
}

} // namespace tala
