// Windows of another process as a test reads and works them, never waiting long on a hung program.
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
inline std::wstring ControlText(HWND dialog, int id) { return TextOf(::GetDlgItem(dialog, id)); }

// Posted, not sent: the button may open a modal window of its own.
void PostClick(HWND dialog, int buttonId);
void PostKey(HWND dialog, WPARAM key);
void PostCloseBox(HWND dialog);

} // namespace tala::test
