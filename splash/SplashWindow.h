// The launcher's own splash window at work: the thread that makes the window
// from the settings, shows it and runs its message loop until it is told to
// quit.
#pragma once

#include <cstdint>

namespace tala {

// The splash thread's body, given the Launcher. The window handle goes to the
// Launcher at once, so message boxes shown from then on are owned by it.
// Returns 0 once the window has been destroyed.
std::uint32_t SplashThread(void* launcher);

} // namespace tala
