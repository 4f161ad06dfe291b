#include "os/FatalError.h"

#include <windows.h>

namespace tala::os {

void EndWithFatalError(const char* text) noexcept
{
    // The text is ASCII but for an error's own words, which may be UTF-8.
    wchar_t wide[600];
    if (::MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, sizeof wide / sizeof wide[0]) == 0) wide[0] = L'\0';
    ::MessageBoxW(nullptr, wide, nullptr, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(-1));
    for (;;) ::Sleep(INFINITE);
}

} // namespace tala::os
