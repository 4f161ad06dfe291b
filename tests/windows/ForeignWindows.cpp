#include "tests/windows/ForeignWindows.h"

namespace tala::test {
constexpr UINT kMessageMilliseconds = 5000;

std::vector<HWND> TopLevelWindows(DWORD processId, std::wstring_view className)
{
    const std::wstring name(className);
    std::vector<HWND> found;
    for (HWND window = ::FindWindowExW(nullptr, nullptr, name.c_str(), nullptr); window != nullptr;
         window = ::FindWindowExW(nullptr, window, name.c_str(), nullptr)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (processId == 0 || owner == processId) found.push_back(window);
    }
    return found;
}

std::wstring ClassNameOf(HWND window)
{
    wchar_t name[256] = {};
    const int length = ::GetClassNameW(window, name, 256);
    return std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::wstring TextOf(HWND window)
{
    // A control of another process answers WM_GETTEXT, not the title the system caches.
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageMilliseconds, &length)) {
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
    // The dialog manager turns Escape into the cancel command.
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    ::PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

void PostCloseBox(HWND dialog) { ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

} // namespace tala::test
