// A program started in the background, its output and errors to files (or a terminal) so it never
// blocks on a full pipe and its children cannot hold a run open; killed if it runs when it goes.
#pragma once

#include "tests/shared/TestFiles.h"

#include <sys/types.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tala::test {

// exitCode: the exit status, or 128 + the signal that ended it; output and errors: its two streams.
struct RunResult { int exitCode = -1; bool timedOut = false; std::string output, errors; };

class Program {
public:
    // argv[0] is found on PATH unless it holds a "/". With a terminal (a pseudo-terminal's path)
    // it runs in a session of its own, standard error on the terminal too unless asked otherwise.
    Program(const std::vector<std::string>& argv, const std::filesystem::path& workingFolder,
            const std::string& terminal = "", bool errorsOnTerminal = true);
    ~Program() { Kill(); }

    pid_t Pid() const { return pid_; }
    // The exit status once it has ended; nothing while it still runs at the time-out.
    std::optional<int> Wait(std::chrono::milliseconds timeout);
    // Sends the signal unless it has ended, then waits; SIGKILL if it still runs.
    void Kill(int signal = SIGKILL);
    std::string Output() const { return ReadBytes(streams_.Path() / "out"); }
    std::string Errors() const { return ReadBytes(streams_.Path() / "err"); }
    // Waits for its end, killing it at the time-out, and collects what it wrote.
    RunResult Finish(std::chrono::milliseconds timeout);

private:
    TempFolder streams_;
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

} // namespace tala::test
