// A launcher started without waiting for it, for tests in which several
// launchers run at once: its output goes to files in its working folder, and
// a launcher the test leaves running is killed when the object goes.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tala::test {

class BackgroundLauncher {
public:
    // Standard output and error go to <name>.out and <name>.err in the
    // working folder.
    BackgroundLauncher(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                       const std::filesystem::path& workingFolder, const std::string& name);
    ~BackgroundLauncher();
    BackgroundLauncher(const BackgroundLauncher&) = delete;
    BackgroundLauncher& operator=(const BackgroundLauncher&) = delete;

    pid_t Pid() const { return pid_; }

    // The exit status (128 + signal when a signal ended it) once it has
    // ended; nothing while it still runs at the time-out.
    std::optional<int> Wait(std::chrono::milliseconds timeout);
    bool Running() { return !Wait(std::chrono::milliseconds(0)); }

    void Kill();
    std::string Errors() const;

private:
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
    std::filesystem::path errors_;
};

// Waits until the file exists; false at the time-out.
bool WaitForFile(const std::filesystem::path& path, std::chrono::milliseconds timeout);

} // namespace tala::test
