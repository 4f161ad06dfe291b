// The launcher's own splash window at work: a thread of its own makes the
// window, shows it and runs its message loop until it is told to quit.
#pragma once

#include "os/SplashWindow.h"
#include "os/Thread.h"
#include "os/WindowHandle.h"

#include <atomic>
#include <memory>
#include <string>

namespace tala {

class OwnSplashWindow {
public:
    // Starts the thread that shows the image. The window's handle goes to
    // shownIn as soon as the window exists, so message boxes shown from then
    // on are owned by it. Nothing when no thread can be started.
    static std::unique_ptr<OwnSplashWindow> Start(std::u16string image, bool shadow,
                                                  std::atomic<os::WindowHandle>& shownIn);

    // Ends the thread, which destroys the window on its way out.
    ~OwnSplashWindow();
    OwnSplashWindow(const OwnSplashWindow&) = delete;
    OwnSplashWindow& operator=(const OwnSplashWindow&) = delete;

private:
    OwnSplashWindow(std::u16string image, bool shadow, std::atomic<os::WindowHandle>& shownIn);

    // The thread's body; the object stays put while the thread runs.
    static std::uint32_t Run(void* splash);

    const std::u16string image_;
    const bool shadow_;
    std::atomic<os::WindowHandle>& shownIn_;
    os::SplashScreenWindow window_;
    os::Thread thread_;
};

} // namespace tala
