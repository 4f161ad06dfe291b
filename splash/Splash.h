// The splash image shown while the VM starts: the runtime's own splash
// library or the launcher's window.
#pragma once

#include "settings/StringRules.h"

namespace tala {

class Launcher;

// False only for the exact words "-nosplash" or "/nosplash" among the
// command-line arguments.
bool SplashWanted(const StringList& programArguments);

// False only when the settings file cannot be located.
bool StartSplash(Launcher& launcher);

// Closes the runtime's splash, once.
void CallSplashClose(Launcher& launcher);

// Closes the launcher's own splash window, when one is shown.
void CloseSplashWindow(Launcher& launcher);

} // namespace tala
