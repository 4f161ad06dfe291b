// Runs a Windows program the way a user meets it and watches what it shows:
// every top-level dialog of the program (message boxes included) is read once
// it is visible -- caption, the text of each visible control by id, and which
// system icon it shows -- and may be answered by clicking one of its buttons.
// The program is killed when it outlives its time-out.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tala::test {

// The system icons a dialog can show, told apart by their pixels on screen.
enum class DialogIcon { None, Error, Warning, Information, Question, Other };

const char* DialogIconName(DialogIcon icon);
std::ostream& operator<<(std::ostream& out, DialogIcon icon);

struct DialogControl {
    int id = 0; // as the dialog knows it: a message box's text is 0xFFFF
    std::wstring className;
    std::wstring text;
};

struct Dialog {
    int sequence = 0; // 1 for the first dialog the program showed
    std::wstring caption;
    DialogIcon icon = DialogIcon::None;
    std::vector<DialogControl> controls; // the visible ones, in window order
    std::optional<int> clickedButton;    // the button the driver clicked on it

    // The control with this id, or none.
    const DialogControl* Control(int id) const;
};

// What to do with a dialog once it has been read: the id of a button to
// click, or nothing to leave it open.
using DialogAnswer = std::function<std::optional<int>(const Dialog&)>;

struct Target {
    std::wstring commandLine;   // the whole line, the program's path first
    std::wstring workingFolder; // empty: the driver's own
    std::chrono::milliseconds timeout{20000};
};

// A target still running at its time-out is ended with this exit code, the
// one coreutils' timeout reports for the same event.
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

// A dialog answer that clicks the same button on every dialog.
DialogAnswer ClickOnEvery(int buttonId);

// The outcome as the driver's text records, one per line (see DriverMain.cpp).
std::vector<std::string> FormatRecords(const Outcome& outcome);

} // namespace tala::test
