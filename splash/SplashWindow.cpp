#include "splash/SplashWindow.h"

#include "launcher/Launcher.h"

namespace tala {

std::uint32_t SplashThread(void* argument)
{
    Launcher& launcher = *static_cast<Launcher*>(argument);
    os::SplashScreenWindow& window = *launcher.splashScreenWindow;
    const bool shadow = IsExactly(launcher.settings.splashScreenShadow, u"true");
    launcher.splashWindow = window.Create(launcher.settings.splashScreen, shadow);
    window.Show();
    // Until CloseSplashWindow posts the quit message.
    os::RunThreadMessageLoop();
    window.Destroy();
    return 0;
}

} // namespace tala
