#include "tests/windows/driver/Driver.h"

#include "os/windows/UniqueHandle.h"
#include "tests/windows/driver/ScreenIcon.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <thread>

namespace tala::test {
namespace {

using Clock = std::chrono::steady_clock;

// How often the program's windows are looked at: well below the 0.2 s a
// dialog needs to appear, so none is missed and no time is wasted.
constexpr DWORD kPollMilliseconds = 20;

// A window of a program that hangs must not hang the driver.
constexpr UINT kMessageMilliseconds = 2000;

// A dialog's icon control may be visible before it is painted; a busy
// machine may take a while to paint it.
constexpr auto kIconPaintTime = std::chrono::milliseconds(5000);

// The system's class name of dialog boxes, message boxes included.
constexpr wchar_t kDialogClass[] = L"#32770";

std::wstring ClassNameOf(HWND window)
{
    wchar_t name[256] = {};
    const int length = ::GetClassNameW(window, name, 256);
    return std::wstring(name, static_cast<std::size_t>(std::max(length, 0)));
}

struct DialogSearch {
    DWORD processId = 0;
    std::vector<HWND> dialogs;
};

BOOL CALLBACK CollectDialogs(HWND window, LPARAM state)
{
    auto& search = *reinterpret_cast<DialogSearch*>(state);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && ClassNameOf(window) == kDialogClass) {
        search.dialogs.push_back(window);
    }
    return TRUE;
}

std::vector<HWND> DialogsOf(DWORD processId)
{
    DialogSearch search{processId, {}};
    ::EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&search));
    return search.dialogs;
}

// The window's own text, asked of the window itself (a control of another
// process answers WM_GETTEXT, not the cached title).
std::wstring WindowText(HWND window)
{
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                               kMessageMilliseconds, &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(),
                               reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                               kMessageMilliseconds, &copied)) {
        return {};
    }
    text.resize(std::min<std::size_t>(copied, length));
    return text;
}

DialogIcon WaitForIcon(HWND iconControl)
{
    const auto giveUp = Clock::now() + kIconPaintTime;
    DialogIcon icon = IconShownBy(iconControl);
    while (icon == DialogIcon::Other && Clock::now() < giveUp && ::IsWindow(iconControl)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMilliseconds));
        icon = IconShownBy(iconControl);
    }
    return icon;
}

Dialog ReadDialog(HWND window, int sequence)
{
    Dialog dialog;
    dialog.sequence = sequence;
    dialog.caption = WindowText(window);
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child)) continue;
        dialog.controls.push_back({::GetDlgCtrlID(child), ClassNameOf(child), WindowText(child)});
        if (dialog.icon == DialogIcon::None && IsIconControl(child))
            dialog.icon = WaitForIcon(child);
    }
    return dialog;
}

void Click(HWND dialog, int buttonId)
{
    // Posted, not sent: the button may open a modal window of its own, and a
    // sent message would wait for that window to close.
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(buttonId), BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, buttonId)));
}

// Watches the running program's dialogs until it ends or its time is up.
class Watch {
public:
    Watch(HANDLE process, DWORD processId, const DialogAnswer& answer, Outcome& outcome)
        : process_(process), processId_(processId), answer_(answer), outcome_(outcome)
    {
    }

    void Run(Clock::time_point deadline)
    {
        while (::WaitForSingleObject(process_, kPollMilliseconds) == WAIT_TIMEOUT) {
            LookAtDialogs();
            if (Clock::now() >= deadline) {
                EndAtTimeOut();
                return;
            }
        }
    }

private:
    void LookAtDialogs()
    {
        // A closed dialog's handle may come back for a new window.
        std::erase_if(seen_, [](HWND window) { return !::IsWindow(window); });
        for (HWND window : DialogsOf(processId_)) {
            if (!::IsWindowVisible(window)) continue; // its texts may not be set yet
            if (std::find(seen_.begin(), seen_.end(), window) != seen_.end()) continue;
            seen_.push_back(window);
            Dialog dialog = ReadDialog(window, static_cast<int>(outcome_.dialogs.size()) + 1);
            if (answer_) dialog.clickedButton = answer_(dialog);
            if (dialog.clickedButton) Click(window, *dialog.clickedButton);
            outcome_.dialogs.push_back(std::move(dialog));
        }
    }

    void EndAtTimeOut()
    {
        ::TerminateProcess(process_, kTimedOutExitCode);
        ::WaitForSingleObject(process_, kMessageMilliseconds);
        outcome_.timedOut = true;
    }

    HANDLE process_;
    DWORD processId_;
    const DialogAnswer& answer_;
    Outcome& outcome_;
    std::vector<HWND> seen_;
};

std::string Utf8(const std::wstring& text)
{
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(std::max(size, 0)), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

// Text as UTF-8 in double quotes, with the characters that would break a
// one-line record written as escapes.
std::string Quoted(const std::wstring& text)
{
    std::string quoted = "\"";
    for (const char c : Utf8(text)) {
        switch (c) {
        case '"': quoted += "\\\""; break;
        case '\\': quoted += "\\\\"; break;
        case '\n': quoted += "\\n"; break;
        case '\r': quoted += "\\r"; break;
        case '\t': quoted += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
                quoted += escape;
            } else {
                quoted += c;
            }
        }
    }
    return quoted + "\"";
}

} // namespace

const char* DialogIconName(DialogIcon icon)
{
    switch (icon) {
    case DialogIcon::None: return "none";
    case DialogIcon::Error: return "error";
    case DialogIcon::Warning: return "warning";
    case DialogIcon::Information: return "information";
    case DialogIcon::Question: return "question";
    case DialogIcon::Other: return "other";
    }
    return "other";
}

std::ostream& operator<<(std::ostream& out, DialogIcon icon)
{
    return out << DialogIconName(icon);
}

const DialogControl* Dialog::Control(int id) const
{
    const auto found =
        std::find_if(controls.begin(), controls.end(),
                     [id](const DialogControl& control) { return control.id == id; });
    return found == controls.end() ? nullptr : &*found;
}

Outcome RunTarget(const Target& target, const DialogAnswer& answer)
{
    Outcome outcome;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    // CreateProcessW may write into the command line it is given.
    std::wstring commandLine = target.commandLine;
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          target.workingFolder.empty() ? nullptr : target.workingFolder.c_str(),
                          &startup, &started)) {
        outcome.startError = ::GetLastError();
        return outcome;
    }
    const os::UniqueHandle process(started.hProcess);
    const os::UniqueHandle thread(started.hThread);
    outcome.started = true;

    Watch(process.get(), started.dwProcessId, answer, outcome).Run(Clock::now() + target.timeout);

    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.get(), &exitCode);
    outcome.exitCode = exitCode;
    return outcome;
}

DialogAnswer ClickOnEvery(int buttonId)
{
    return [buttonId](const Dialog&) { return std::optional<int>(buttonId); };
}

std::vector<std::string> FormatRecords(const Outcome& outcome)
{
    std::vector<std::string> records;
    if (!outcome.started) {
        records.push_back("failed " + std::to_string(outcome.startError));
        return records;
    }
    for (const Dialog& dialog : outcome.dialogs) {
        const std::string sequence = std::to_string(dialog.sequence);
        records.push_back("dialog " + sequence + " " + DialogIconName(dialog.icon) + " " +
                          Quoted(dialog.caption));
        for (const DialogControl& control : dialog.controls) {
            records.push_back("control " + sequence + " " + std::to_string(control.id) + " " +
                              Utf8(control.className) + " " + Quoted(control.text));
        }
        if (dialog.clickedButton) {
            records.push_back("click " + sequence + " " + std::to_string(*dialog.clickedButton));
        }
    }
    if (outcome.timedOut) records.push_back("timeout");
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(outcome.exitCode));
    records.push_back("exit " + std::to_string(outcome.exitCode) + " " + hex);
    return records;
}

} // namespace tala::test
