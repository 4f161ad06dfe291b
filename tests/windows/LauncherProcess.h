// A program a test starts and meets as a user does; every wait has an end, a program left running is ended.
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
    std::uint32_t StartError() const { return startError_; } // 0 once it runs

    // Its top-level window of this class, shown or not.
    HWND Window(std::wstring_view className) const;
    // A visible dialog of this caption (any when empty), of that owner if given.
    HWND WaitForDialog(std::wstring_view caption = {}, std::chrono::milliseconds timeout = 15s,
                       HWND owner = nullptr) const;

    // All 32 bits; none while it still runs.
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
};

// The button to click on a dialog once it has been read; none leaves it open.
using DialogAnswer = std::function<std::optional<int>(const Dialog&)>;

struct Target {
    std::wstring commandLine;   // the whole line, the program's path first
    std::wstring workingFolder; // empty: the test's own
    std::chrono::milliseconds timeout{20000};
};

struct Outcome {
    bool started = false;
    std::uint32_t startError = 0;
    bool timedOut = false;      // then ended with 124
    std::uint32_t exitCode = 0; // all 32 bits: -1 is 0xFFFFFFFF
    std::vector<Dialog> dialogs;
};
inline constexpr std::uint32_t kExitMinusOne = 0xFFFFFFFF;

// Runs the program to its end (or its time-out), reading and answering each dialog.
Outcome RunTarget(const Target& target, const DialogAnswer& answer);

// What the run showed, for failure messages.
std::string Describe(const Outcome& outcome);

} // namespace tala::test
