#include "os/MainThread.h"

#include <windows.h>

namespace tala::os {

void UseSystemDefaultLocale() { ::SetThreadLocale(::GetSystemDefaultLCID()); }

// Peeking at the thread's messages is the documented way to make the system
// create its message queue (a DefWindowProcW call without a window creates
// none under Wine).
void CreateMessageQueue()
{
    MSG message;
    ::PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
}

} // namespace tala::os
