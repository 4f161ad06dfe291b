// Windows of another process as a test reads and works them: found by
// class, their texts and places asked of the windows themselves, input
// posted to them. Nothing waits longer than a few seconds on a program that
// hangs.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace tala::test {

// Top-level windows of this class, shown or not, of one process (any for 0).
std::vector<HWND> TopLevelWindows(DWORD processId, std::wstring_view className);

std::wstring ClassNameOf(HWND window);
std::wstring TextOf(HWND window);
inline std::wstring ControlText(HWND dialog, int id)
{
    return TextOf(::GetDlgItem(dialog, id));
}

// A button pressed as the dialog manager reports it. Posted, not sent: the
// button may open a modal window of its own.
void PostClick(HWND dialog, int buttonId);
// A key pressed and released where the dialog's keyboard focus is.
void PostKey(HWND dialog, WPARAM key);
void PostCloseBox(HWND dialog);

} // namespace tala::test
