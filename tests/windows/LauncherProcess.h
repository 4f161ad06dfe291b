// A launcher (or any program) a test starts and meets as a user meets it:
// its windows as they show up, then its exit code. Every wait has an end; a
// program still running when the test is done with it is ended.
#pragma once

#include "os/windows/UniqueHandle.h"

#include <windows.h>

#include <chrono>
#include <cstdint>
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

} // namespace tala::test
