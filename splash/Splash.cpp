#include "splash/Splash.h"

#include <algorithm>

namespace tala {

bool SplashWanted(const StringList& programArguments)
{
    const auto given = [&programArguments](std::u16string_view word) {
        return std::find(programArguments.begin(), programArguments.end(), word) !=
               programArguments.end();
    };
    return !given(u"-nosplash") && !given(u"/nosplash");
}

// No splash is shown yet.
bool StartSplash(Launcher&) { return true; }

void CallSplashClose(Launcher&) {}

void CloseSplashWindow(Launcher&) {}

} // namespace tala
