#include "os/ErrorBox.h"

#include "os/windows/Wide.h"

#include <windows.h>

namespace tala::os {

void ShowErrorMessage(WindowHandle owner, const std::u16string& text)
{
    // No caption: the system shows its default one.
    ::MessageBoxW(static_cast<HWND>(owner), Wide(text), nullptr, MB_OK | MB_ICONERROR);
}

} // namespace tala::os
