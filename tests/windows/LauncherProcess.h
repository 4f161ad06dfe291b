// A launcher (or any program) a test starts and meets as a user meets it:
// its windows as they show up, then its exit code; or run to its end with
// every dialog it shows (message boxes included) read once it is visible --
// caption, the text of each visible control, whether it shows the error
// icon -- and answered with a click on one of its buttons. Every wait has an
// end; a program still running when the test is done with it is ended.
#pragma once

#include "os/windows/UniqueHandle.h"

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tala::test {

using namespace std::chrono_literals;

class LauncherProcess {
public:
    LauncherProcess(const std::wstring& commandLine, const std::filesystem::path& workingFolder);
    ~LauncherProcess();
    LauncherProcess(const LauncherProcess&) = delete;
    LauncherProcess& operator=(const LauncherProcess&) = delete;

    HANDLE Handle() const { return process_.get(); }
    // The system's error when it could not be started; 0 once it runs.
    std::uint32_t StartError() const { return startError_; }

    // Its top-level window of this class, shown or not; none when it has none.
    HWND Window(std::wstring_view className) const;

    // A visible dialog or message box of it with this caption (any when
    // empty), owned by the given window when one is given; none when none
    // showed up in time.
    HWND WaitForDialog(std::wstring_view caption = {}, std::chrono::milliseconds timeout = 15s,
                       HWND owner = nullptr) const;

    // The exit code, all 32 bits; none while it still runs.
    std::optional<std::uint32_t> WaitForExit(std::chrono::milliseconds timeout = 15s) const;

private:
    os::UniqueHandle process_;
    DWORD processId_ = 0;
    std::uint32_t startError_ = 0;
};

struct DialogControl {
    int id = 0; // as the dialog knows it: a message box's text is 0xFFFF
    std::wstring className;
    std::wstring text;
};

struct Dialog {
    std::wstring caption;
    bool errorIcon = false; // the screen shows the system's error icon in it
    std::vector<DialogControl> controls; // the visible ones, in window order
    std::optional<int> clickedButton;

    // The control with this id, or none.
    const DialogControl* Control(int id) const;
};

// The button to click on a dialog once it has been read; none leaves it open.
using DialogAnswer = std::function<std::optional<int>(const Dialog&)>;

struct Target {
    std::wstring commandLine;   // the whole line, the program's path first
    std::wstring workingFolder; // empty: the test's own
    std::chrono::milliseconds timeout{20000};
};

// The exit code of a target ended at its time-out.
inline constexpr std::uint32_t kTimedOutExitCode = 124;

struct Outcome {
    bool started = false;
    std::uint32_t startError = 0; // the system error when the program could not start
    bool timedOut = false;
    std::uint32_t exitCode = 0; // all 32 bits: -1 is 0xFFFFFFFF
    std::vector<Dialog> dialogs;
};

// Blocks until the program has ended (or was ended at its time-out).
Outcome RunTarget(const Target& target, const DialogAnswer& answer);

DialogAnswer ClickOnEvery(int buttonId);

// What the run showed, one line a dialog and control, for failure messages.
std::string Describe(const Outcome& outcome);

} // namespace tala::test
