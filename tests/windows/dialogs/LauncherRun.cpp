#include "tests/windows/dialogs/LauncherRun.h"

#include <commctrl.h>
#include <shlobj.h>

#include <thread>
#include <vector>

namespace tala::test {
namespace {

// Well below the 0.2 s a dialog takes to appear.
constexpr auto kPoll = 20ms;

// A window of a program that hangs must not hang the test.
constexpr UINT kMessageMilliseconds = 5000;

std::wstring ClassNameOf(HWND window)
{
    wchar_t name[256] = {};
    const int length = ::GetClassNameW(window, name, 256);
    return std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

struct DialogSearch {
    DWORD processId;
    std::wstring_view caption;
    HWND owner;
    HWND found = nullptr;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM state)
{
    auto& search = *reinterpret_cast<DialogSearch*>(state);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId != search.processId || !::IsWindowVisible(window)) return TRUE;
    if (ClassNameOf(window) != L"#32770" || TextOf(window) != search.caption) return TRUE;
    if (search.owner != nullptr && ::GetWindow(window, GW_OWNER) != search.owner) return TRUE;
    search.found = window;
    return FALSE;
}

} // namespace

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto giveUp = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= giveUp) return false;
        std::this_thread::sleep_for(kPoll);
    }
}

LauncherRun::LauncherRun(const std::wstring& commandLine, const std::filesystem::path& workingFolder)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    // CreateProcessW may write into the command line it is given.
    std::wstring line = commandLine;
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workingFolder.c_str(), &startup, &started)) {
        startError_ = ::GetLastError();
        return;
    }
    process_.reset(started.hProcess);
    const os::UniqueHandle thread(started.hThread);
    processId_ = started.dwProcessId;
}

LauncherRun::~LauncherRun()
{
    if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_.get(), 124);
        ::WaitForSingleObject(process_.get(), kMessageMilliseconds);
    }
}

HWND LauncherRun::WaitForDialog(std::wstring_view caption, std::chrono::milliseconds timeout, HWND owner) const
{
    if (!process_) return nullptr;
    DialogSearch search{processId_, caption, owner};
    WaitUntil(
        [&] {
            ::EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr || ::WaitForSingleObject(process_.get(), 0) != WAIT_TIMEOUT;
        },
        timeout);
    return search.found;
}

std::optional<std::uint32_t> LauncherRun::WaitForExit(std::chrono::milliseconds timeout) const
{
    if (!process_) return std::nullopt;
    if (::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process_.get(), &exitCode);
    return exitCode;
}

RemoteMemory::RemoteMemory(HANDLE process, std::size_t size)
    : process_(process),
      address_(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
{
}

RemoteMemory::~RemoteMemory()
{
    if (address_ != nullptr) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}

bool RemoteMemory::Write(std::size_t offset, const void* data, std::size_t size) const
{
    SIZE_T written = 0;
    return address_ != nullptr &&
           ::WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &written) &&
           written == size;
}

bool RemoteMemory::Read(std::size_t offset, void* data, std::size_t size) const
{
    SIZE_T read = 0;
    return address_ != nullptr &&
           ::ReadProcessMemory(process_, static_cast<const char*>(address_) + offset, data, size, &read) &&
           read == size;
}

std::wstring TextOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageMilliseconds,
                               &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                               SMTO_ABORTIFHUNG, kMessageMilliseconds, &copied)) {
        return {};
    }
    text.resize(copied < length ? copied : length);
    return text;
}

std::wstring ControlText(HWND dialog, int id)
{
    const HWND control = ::GetDlgItem(dialog, id);
    return control == nullptr ? L"<no control " + std::to_wstring(id) + L">" : TextOf(control);
}

RECT RectInDialog(HWND window, HWND dialog)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE FrameSize(HWND window)
{
    RECT frame{};
    ::GetWindowRect(window, &frame);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

bool ResizeWindow(HWND window, SIZE frame)
{
    // Wine 8 loses a size that a DPI-aware thread sets on another process's
    // window when the screen is not at 96 DPI; from a thread that is not
    // DPI-aware it passes the size on unchanged.
    const DPI_AWARENESS_CONTEXT previous = ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_UNAWARE);
    // Asynchronous, so a program that hangs cannot hang the test; the
    // window's thread handles the change before the message sent after it.
    const BOOL asked = ::SetWindowPos(window, nullptr, 0, 0, frame.cx, frame.cy,
                                      SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    if (previous != nullptr) ::SetThreadDpiAwarenessContext(previous);
    DWORD_PTR ignored = 0;
    return asked && ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kMessageMilliseconds, &ignored);
}

void PostClick(HWND dialog, int buttonId)
{
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(buttonId), BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, buttonId)));
}

void PostKey(HWND dialog, WPARAM key)
{
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    HWND target = dialog;
    if (::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &thread) && thread.hwndFocus != nullptr) {
        target = thread.hwndFocus;
    }
    // The dialog's message loop hands keys to the dialog manager, which
    // turns Escape into the cancel command.
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    ::PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

void PostCloseBox(HWND dialog)
{
    ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

namespace {

// The text of the folder picker's selected tree item, read through the
// picker's own memory; empty when nothing is selected.
std::wstring SelectedFolderName(HANDLE process, HWND tree)
{
    DWORD_PTR item = 0;
    if (!::SendMessageTimeoutW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, SMTO_ABORTIFHUNG, kMessageMilliseconds,
                               &item) ||
        item == 0) {
        return {};
    }
    constexpr std::size_t kRoom = MAX_PATH;
    const RemoteMemory remote(process, sizeof(TVITEMW) + kRoom * sizeof(wchar_t));
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = reinterpret_cast<HTREEITEM>(item);
    query.pszText = reinterpret_cast<LPWSTR>(static_cast<char*>(remote.Address()) + sizeof(TVITEMW));
    query.cchTextMax = static_cast<int>(kRoom);
    DWORD_PTR found = 0;
    if (!remote.Write(0, &query, sizeof query) ||
        !::SendMessageTimeoutW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.Address()),
                               SMTO_ABORTIFHUNG, kMessageMilliseconds, &found) ||
        !found) {
        return {};
    }
    std::wstring text(kRoom, L'\0');
    if (!remote.Read(sizeof(TVITEMW), text.data(), kRoom * sizeof(wchar_t))) return {};
    text.resize(text.find(L'\0'));
    return text;
}

} // namespace

bool PickFolder(HANDLE process, HWND picker, const std::wstring& folder)
{
    // The picker's tree, which shows and holds the selection.
    constexpr int kTreeId = 14145;
    const HWND tree = ::GetDlgItem(picker, kTreeId);
    if (tree == nullptr) return false;
    // The picker fills its tree and selects its first folder after it shows
    // up; a selection made before that would be overwritten.
    if (!WaitUntil([&] { return !SelectedFolderName(process, tree).empty(); }, 5s)) return false;

    const std::wstring name = std::filesystem::path(folder).filename().wstring();
    // The picker reads the path from its own memory.
    const std::size_t size = (folder.size() + 1) * sizeof(wchar_t);
    const RemoteMemory path(process, size);
    if (!path.Write(0, folder.c_str(), size)) return false;
    const bool selected = WaitUntil(
        [&] {
            DWORD_PTR ignored = 0;
            ::SendMessageTimeoutW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(path.Address()),
                                  SMTO_ABORTIFHUNG, kMessageMilliseconds, &ignored);
            return SelectedFolderName(process, tree) == name;
        },
        5s);
    if (!selected) return false;
    const HWND ok = ::GetDlgItem(picker, IDOK);
    return ok != nullptr && ::PostMessageW(ok, BM_CLICK, 0, 0);
}

} // namespace tala::test
