// What the splash tests under Wine are made of: a picture with known pixel
// colours, a look at the whole screen, tala.exe as Shop.exe in an
// application folder whose VM library holds the Java thread until the test
// has looked, and the launcher's windows as another process sees them.
#pragma once

#include "tests/shared/TestFiles.h"
#include "tests/windows/StandInRecord.h"

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tala::test::splash {

// --- the picture ------------------------------------------------------------

// Colours as 0xRRGGBB. A one-pixel frame shows where the image ends; the four
// quarters show it is neither shifted, mirrored nor scaled.
inline constexpr std::uint32_t kFrame = 0x123456;
inline constexpr std::uint32_t kTopLeft = 0xE01020;
inline constexpr std::uint32_t kTopRight = 0x10C030;
inline constexpr std::uint32_t kBottomLeft = 0x2030D0;
inline constexpr std::uint32_t kBottomRight = 0xF0E040;

// The colour of the picture's pixel at (x, y).
std::uint32_t PictureColour(int x, int y, int width, int height);

// The picture as a 24-bit BMP file.
void WritePicture(const std::filesystem::path& path, int width, int height);

// --- the screen -------------------------------------------------------------

class ScreenShot {
public:
    // The whole primary display as it is now.
    static ScreenShot Take();

    int Width() const { return width_; }
    int Height() const { return height_; }
    // 0xRRGGBB; none outside the screen.
    std::optional<std::uint32_t> At(int x, int y) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

// The points that tell a picture of this size at this origin on the screen:
// the frame's corners, each quarter next to the frame and next to the centre,
// with their colours; and the points just outside the frame.
struct PicturePoint {
    int x = 0;
    int y = 0;
    std::uint32_t colour = 0;
};
std::vector<PicturePoint> PicturePoints(POINT origin, int width, int height);
std::vector<POINT> PointsAround(POINT origin, int width, int height);

// Empty when the shot shows the picture there; otherwise what differs.
std::string PictureMismatch(const ScreenShot& shot, POINT origin, int width, int height);

// --- waiting ----------------------------------------------------------------

// Asks until the answer is yes or the time is up; the last answer.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// --- the launcher's windows, seen from outside ------------------------------

// A visible or hidden top-level window of the process with that class; none
// when there is none.
HWND WindowOf(DWORD processId, const wchar_t* className);

// Every top-level window of that class on the desktop, of any process.
std::vector<HWND> WindowsOfClass(const wchar_t* className);

// A window of this process over part of the screen, filled with kCover, for
// as long as the object lives; waiting for the screen pumps its messages.
inline constexpr std::uint32_t kCover = 0x808000;
class CoveringWindow {
public:
    explicit CoveringWindow(RECT area);
    ~CoveringWindow();
    CoveringWindow(const CoveringWindow&) = delete;
    CoveringWindow& operator=(const CoveringWindow&) = delete;

private:
    HWND window_ = nullptr;
};

// Dispatches what has come for this thread's windows.
void PumpMessages();

// --- the Java thread held before main ---------------------------------------

// Where the hold VM library (hold-jvm.dll) holds the Java thread: before the
// VM is created (the splash has started, main has not run), or before it
// detaches (main has returned, an uncaught exception has been dealt with).
enum class HoldPoint { Create, Detach };

// The two events the hold VM library meets the test with at one point, named
// to it through an environment variable, which launchers started meanwhile
// inherit.
class Hold {
public:
    explicit Hold(HoldPoint point = HoldPoint::Create);
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

    // True once the Java thread has arrived in JNI_CreateJavaVM.
    bool WaitHeld(std::chrono::milliseconds timeout) const;
    void Release() const;

private:
    HANDLE held_ = nullptr;
    HANDLE release_ = nullptr;
    std::optional<ScopedEnvironmentVariable> name_;
};

// --- the application folder -------------------------------------------------

// Shop.exe (the launcher under test), Shop.ini, lib\app.jar, the runtime
// folder jre with jre\bin\server\jvm.dll = hold-jvm.dll and the stand-in VM
// library beside it, optionally jre\bin\splashscreen.dll, and a per-user
// settings root of its own.
class SplashShop {
public:
    SplashShop();

    std::filesystem::path Folder() const { return folder_.Path(); }
    std::filesystem::path Exe() const { return Folder() / "Shop.exe"; }
    std::filesystem::path Home() const { return Folder() / "jre"; }
    std::filesystem::path VmLibrary() const { return Home() / "bin" / "server" / "jvm.dll"; }
    std::filesystem::path SplashLibrary() const { return Home() / "bin" / "splashscreen.dll"; }

    // Shop.ini with main class shop.App, this runtime, and the "Display"
    // section as given (its lines without the header).
    void Write(const std::u16string& displayLines) const;
    // The stand-in VM library's scenario; main returns by default.
    void Play(const std::string& scenario) const;
    // A built stand-in splash library put in the runtime's bin folder.
    void InstallSplashLibrary(const wchar_t* variant) const;

    StandInRecord VmRecord() const { return StandInRecord::Beside(StandInPath()); }
    // The splash library's record lines; empty when it wrote none.
    std::vector<std::string> SplashRecord() const;
    // The times at which launchers reached JNI_CreateJavaVM, in counter ticks.
    std::vector<std::int64_t> VmArrivals() const;

private:
    std::filesystem::path StandInPath() const { return VmLibrary().parent_path() / "standin-jvm.dll"; }

    TempFolder folder_;
    ScopedEnvironmentVariable userSettings_;
};

// A launcher process started with a command line, ended at the latest when
// its time is up.
class Launch {
public:
    Launch(const SplashShop& shop, const std::wstring& arguments);
    ~Launch();
    Launch(const Launch&) = delete;
    Launch& operator=(const Launch&) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD ProcessId() const { return processId_; }
    // The counter value taken right before the process was created.
    std::int64_t StartTicks() const { return startTicks_; }

    // The exit code; none when the process was still running at the time-out
    // (it is then ended).
    std::optional<DWORD> Wait(std::chrono::milliseconds timeout);

    // The launcher's visible message box or dialog (a "#32770" window), once
    // one shows.
    HWND WaitForMessageBox(std::chrono::milliseconds timeout) const;

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    std::int64_t startTicks_ = 0;
};

// Clicks OK on a message box of another process.
void ClickOk(HWND box);

// The bytes of a text in this process's ANSI code page, as the splash
// library's record writes them.
std::string AnsiHex(const std::wstring& text);

} // namespace tala::test::splash
