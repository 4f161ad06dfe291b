#include "os/SplashWindow.h"

namespace tala::os {

// No own window here: the runtime's splash library is the only splash on
// POSIX (see the README), so nothing below is ever asked to show anything.
bool HasOwnSplashWindow() { return false; }

struct SplashScreenWindow::Parts {};

SplashScreenWindow::SplashScreenWindow() : parts_(std::make_unique<Parts>()) {}
SplashScreenWindow::~SplashScreenWindow() = default;

WindowHandle SplashScreenWindow::Create(const std::u16string&, bool) { return nullptr; }
void SplashScreenWindow::Show() {}
void SplashScreenWindow::Destroy() {}

void RunThreadMessageLoop() {}

} // namespace tala::os
