#include "splash/SplashWindow.h"

#include "os/ThreadMessages.h"

#include <utility>

namespace tala {

OwnSplashWindow::OwnSplashWindow(std::u16string image, bool shadow, std::atomic<os::WindowHandle>& shownIn)
    : image_(std::move(image)), shadow_(shadow), shownIn_(shownIn)
{
}

std::unique_ptr<OwnSplashWindow> OwnSplashWindow::Start(std::u16string image, bool shadow,
                                                        std::atomic<os::WindowHandle>& shownIn)
{
    std::unique_ptr<OwnSplashWindow> splash(new OwnSplashWindow(std::move(image), shadow, shownIn));
    if (!splash->thread_.Start(Run, splash.get())) return nullptr;
    return splash;
}

OwnSplashWindow::~OwnSplashWindow() { os::QuitThread(thread_); }

std::uint32_t OwnSplashWindow::Run(void* argument)
{
    OwnSplashWindow& splash = *static_cast<OwnSplashWindow*>(argument);
    splash.shownIn_ = splash.window_.Create(splash.image_, splash.shadow_);
    splash.window_.Show();
    // Until the owner lets go of the object.
    os::RunThreadMessageLoop();
    splash.window_.Destroy();
    return 0;
}

} // namespace tala
