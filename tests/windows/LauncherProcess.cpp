#include "tests/windows/LauncherProcess.h"

#include "os/Utf8.h"
#include "tests/windows/ForeignWindows.h"
#include "tests/windows/Screen.h"
#include "tests/windows/WaitUntil.h"

#include <algorithm>

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
    WaitUntil([&] {
        for (HWND window : TopLevelWindows(processId_, L"#32770")) {
            if (::IsWindowVisible(window) && (caption.empty() || TextOf(window) == caption) &&
                (owner == nullptr || ::GetWindow(window, GW_OWNER) == owner)) {
                found = window;
            }
        }
        return found != nullptr || !process_ || ::WaitForSingleObject(process_.get(), 0) != WAIT_TIMEOUT;
    }, timeout);
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

namespace {

Dialog ReadDialog(HWND window)
{
    Dialog dialog;
    dialog.caption = TextOf(window);
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child)) continue;
        dialog.controls.push_back({::GetDlgCtrlID(child), ClassNameOf(child), TextOf(child)});
        // An icon control may show before it is painted.
        if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && ClassNameOf(child) == L"Static") {
            dialog.errorIcon = dialog.errorIcon || WaitUntil([child] { return ShowsErrorIcon(child); }, 5s);
        }
    }
    return dialog;
}

} // namespace

Outcome RunTarget(const Target& target, const DialogAnswer& answer)
{
    Outcome outcome;
    const LauncherProcess process(target.commandLine, target.workingFolder);
    outcome.startError = process.StartError();
    outcome.started = process.Handle() != nullptr;
    const DWORD processId = outcome.started ? ::GetProcessId(process.Handle()) : 0;
    const auto giveUp = std::chrono::steady_clock::now() + target.timeout;
    std::vector<HWND> seen;
    while (outcome.started && ::WaitForSingleObject(process.Handle(), 20) == WAIT_TIMEOUT) {
        if (std::chrono::steady_clock::now() >= giveUp) {
            ::TerminateProcess(process.Handle(), 124);
            ::WaitForSingleObject(process.Handle(), 5000);
            outcome.timedOut = true;
            break;
        }
        // A closed dialog's handle may come back for a new window.
        std::erase_if(seen, [](HWND window) { return !::IsWindow(window); });
        for (HWND window : TopLevelWindows(processId, L"#32770")) {
            if (!::IsWindowVisible(window) || std::find(seen.begin(), seen.end(), window) != seen.end()) continue;
            seen.push_back(window);
            Dialog dialog = ReadDialog(window);
            if (const std::optional<int> button = answer(dialog)) PostClick(window, *button);
            outcome.dialogs.push_back(std::move(dialog));
        }
    }
    outcome.exitCode = process.WaitForExit(0ms).value_or(0);
    return outcome;
}

std::string Describe(const Outcome& outcome)
{
    const auto utf8 = [](const std::wstring& text) { return os::ToUtf8(std::u16string(text.begin(), text.end())); };
    std::string text = outcome.started ? "" : "\n  not started: error " + std::to_string(outcome.startError);
    for (const Dialog& dialog : outcome.dialogs) {
        text += "\n  dialog \"" + utf8(dialog.caption) + (dialog.errorIcon ? "\" with the error icon" : "\"");
        for (const DialogControl& control : dialog.controls) {
            text += "\n    " + std::to_string(control.id) + " " + utf8(control.className) + " \"" +
                    utf8(control.text) + "\"";
        }
    }
    return text + (outcome.timedOut ? "\n  timed out" : "") + "\n  exit " + std::to_string(outcome.exitCode);
}

} // namespace tala::test
