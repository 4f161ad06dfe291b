// The splash image shown while the VM starts: the runtime's own splash
// library or the launcher's window. The settings of the "Display" section
// choose which, and the run phase decides when each one closes.
#pragma once

#include "os/PathStyle.h"
#include "settings/StringRules.h"

#include <string>
#include <string_view>

namespace tala {

class Launcher;

// False only for the exact words "-nosplash" or "/nosplash" among the
// command-line arguments.
bool SplashWanted(const StringList& programArguments);

// Reads the "Display" settings from the settings file itself and starts the
// splash they ask for: the runtime's library when it is preferred, present
// and starts, otherwise the launcher's own window. False only when the
// settings file cannot be located.
bool StartSplash(Launcher& launcher);

// The same with the settings file at settingsPath.
bool StartSplashFrom(Launcher& launcher, const std::u16string& settingsPath);

// The runtime's splash library beside its bin (Windows) or lib (POSIX)
// folder: the VM library path less two components, then "splashscreen.dll"
// or "libsplashscreen.so". Empty when vmLibraryPath is.
std::u16string NativeSplashLibraryPath(std::u16string_view vmLibraryPath,
                                       os::PathStyle style = os::kHostPathStyle);

// The same when the library is there; empty otherwise.
std::u16string FindNativeSplashLibrary(const std::u16string& vmLibraryPath);

// Loads the runtime's splash library and shows the image through it; its
// close function is kept even when the others are missing. False when the
// library cannot be loaded or lacks a function.
bool ShowNativeSplash(Launcher& launcher, const std::u16string& libraryPath,
                      const std::u16string& splashScreen);

// Closes the runtime's splash, once.
void CallSplashClose(Launcher& launcher);

// Closes the launcher's own splash window, when one is shown, and forgets
// it, so later message boxes have no owner.
void CloseSplashWindow(Launcher& launcher);

} // namespace tala
