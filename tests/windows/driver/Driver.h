// Runs a Windows program the way a user meets it: every dialog it shows
// (message boxes included) is read once it is visible -- caption, the text
// of each visible control, whether it shows the error icon -- and may be
// answered with a click on one of its buttons. A program that outlives its
// time-out is ended.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tala::test {

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
