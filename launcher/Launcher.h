// The one launcher object: created by the entry point, it holds every field
// the start-up stages fill and runs the three phases in their fixed order.
#pragma once

#include "instance/InstanceState.h"
#include "os/WindowHandle.h"
#include "runtime/VersionNumber.h"
#include "settings/LauncherSettings.h"
#include "settings/StringRules.h"
#include "splash/SplashWindow.h"
#include "vm/JavaVm.h"
#include "vm/StartupCache.h"
#include "vm/VmOptionList.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace tala {

class Launcher {
public:
    // Reads the command line and the settings, settles the single-instance
    // question and chooses a Java runtime. True means Run follows.
    bool Initialize();

    // Waits for the first instance, starts the paired executable, or runs the
    // Java application; returns the exit code.
    std::int32_t Run();

    // Releases what the other phases acquired; safe after any outcome of them.
    void Finish();

    // Command line: the words for main, in order.
    StringList programArguments;

    LauncherSettings settings;

    // Runtime choice.
    std::u16string vmLibraryPath;
    VersionNumber runtimeVersion;
    bool runPairProduct = false;

    // VM options, and the Java thread's stack size in bytes (0: not given).
    VmOptionList vmOptions;
    std::uint64_t javaThreadStackSize = 0;
    // The class path in vmOptions, entries followed by the list separator.
    std::u16string classPath;
    StartupCache startupCache;

    // The VM library's entry points and the VM once created.
    JavaVm vm;

    // Single instance.
    bool singleInstanceActive = false;
    bool isFirstInstance = false;
    InstanceState instance;

    // Splash: the close function of the runtime's splash library while its
    // splash is held.
    void (*splashClose)() = nullptr;

    // The launcher's own splash window while it exists: the owner of message
    // boxes. The splash thread sets it while other threads may be reading it.
    std::atomic<os::WindowHandle> splashWindow = nullptr;
    // The launcher's own splash window at work, with its thread.
    std::unique_ptr<OwnSplashWindow> splashScreenWindow;
};

// The whole life of a launcher process; returns its exit code.
std::int32_t RunLauncher();

} // namespace tala
