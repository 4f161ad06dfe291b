// The launcher's own splash window: a borderless tool window the size of the
// image, centred on the primary display, painted from a bitmap the image was
// rendered into once, on a thread of its own that runs the window's message
// loop. Only Windows has one; elsewhere the runtime's splash library is the
// only splash (it draws and animates its window on a thread of its own).
#pragma once

#include "os/WindowHandle.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tala::os {

// False where the launcher shows no splash window of its own.
bool HasOwnSplashWindow();

struct ScreenPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// Where a window of the given size goes to be centred on a screen: halves
// that truncate toward zero, so a window larger than the screen gets negative
// coordinates and keeps its size.
constexpr ScreenPoint CentredOrigin(int screenWidth, int screenHeight, int width, int height)
{
    return {(screenWidth - width) / 2, (screenHeight - height) / 2};
}

// One splash window and the bitmap its image was rendered into. The window
// is made, run and destroyed on the splash thread; the object, with the
// bitmap, is destroyed by its owner once that thread has ended.
class SplashScreenWindow {
public:
    SplashScreenWindow();
    ~SplashScreenWindow();
    SplashScreenWindow(const SplashScreenWindow&) = delete;
    SplashScreenWindow& operator=(const SplashScreenWindow&) = delete;

    // Registers the window class and starts GDI+ (both once per process),
    // renders the image and creates the hidden window, centred on the primary
    // display. An image that cannot be read gives a window of 0 x 0. None when
    // no window can be made.
    WindowHandle Create(const std::u16string& imagePath, bool shadow);

    // Shows the window and paints it at once.
    void Show();

    void Destroy();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// Runs the calling thread's message loop until a quit message arrives.
void RunThreadMessageLoop();

} // namespace tala::os
