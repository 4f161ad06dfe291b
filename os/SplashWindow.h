// The launcher's own splash window: a borderless tool window the size of the
// image, centred on the primary display, painted from a bitmap the image was
// rendered into once, on a thread of its own that runs the window's message
// loop. Only Windows has one; elsewhere the runtime's splash library is the
// only splash (it draws and animates its window on a thread of its own).
#pragma once

#include "os/Thread.h"
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

// The thread a splash window runs on: started with the system's default stack
// size, and ended only by posting it quit messages.
class SplashThread {
public:
    SplashThread() = default;
    // Closes the handle of a thread still held; it does not stop the thread.
    ~SplashThread();
    SplashThread(const SplashThread&) = delete;
    SplashThread& operator=(const SplashThread&) = delete;

    // False when no thread can be created.
    bool Start(ThreadBody body, void* argument);

    // Posts a quit message and reads the thread's exit code, again and again
    // without a pause, until the thread has ended; then closes its handle.
    // Nothing when no thread is held.
    void Stop();

    // What the new thread runs; it reads it from this object, which stays put
    // while the thread runs.
    struct Body {
        ThreadBody body = nullptr;
        void* argument = nullptr;
    };

private:
    Body start_;
    void* handle_ = nullptr;
    std::uint32_t id_ = 0;
};

} // namespace tala::os
