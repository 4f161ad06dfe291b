#include "tests/windows/LauncherProcess.h"

#include "tests/windows/ForeignWindows.h"
#include "tests/windows/WaitUntil.h"

namespace tala::test {

LauncherProcess::LauncherProcess(const std::wstring& commandLine, const std::filesystem::path& workingFolder)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    // CreateProcessW may write into the command line it is given.
    std::wstring line = commandLine;
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &started)) {
        startError_ = ::GetLastError();
        return;
    }
    process_.reset(started.hProcess);
    const os::UniqueHandle thread(started.hThread);
    processId_ = started.dwProcessId;
}

LauncherProcess::~LauncherProcess()
{
    if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_.get(), 124);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

HWND LauncherProcess::Window(std::wstring_view className) const
{
    const std::vector<HWND> found = process_ ? TopLevelWindows(processId_, className) : std::vector<HWND>{};
    return found.empty() ? nullptr : found.front();
}

HWND LauncherProcess::WaitForDialog(std::wstring_view caption, std::chrono::milliseconds timeout, HWND owner) const
{
    HWND found = nullptr;
    const auto matches = [&](HWND window) {
        return ::IsWindowVisible(window) && (caption.empty() || TextOf(window) == caption) &&
               (owner == nullptr || ::GetWindow(window, GW_OWNER) == owner);
    };
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(processId_, L"#32770")) {
                if (matches(window)) found = window;
            }
            return found != nullptr || !process_ || ::WaitForSingleObject(process_.get(), 0) != WAIT_TIMEOUT;
        },
        timeout);
    return found;
}

std::optional<std::uint32_t> LauncherProcess::WaitForExit(std::chrono::milliseconds timeout) const
{
    DWORD exitCode = 0;
    if (!process_ || ::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process_.get(), &exitCode)) {
        return std::nullopt;
    }
    return exitCode;
}

} // namespace tala::test
