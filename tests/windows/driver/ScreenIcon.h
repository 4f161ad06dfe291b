// Which system icon a static control of another process shows, judged from
// its pixels on the screen. The icon handle the control holds belongs to the
// other process and cannot be compared or read from here (Wine keeps icon
// data per process), but what the user sees can: the screen under the
// control is compared with each system icon drawn by this process.
#pragma once

#include "tests/windows/driver/Driver.h"

#include <windows.h>

namespace tala::test {

// One look at the screen. None when the control holds no icon; Other when
// the pixels match no system icon, for example while it is not painted yet.
DialogIcon IconShownBy(HWND iconControl);

// True for a static control made to show an icon.
bool IsIconControl(HWND control);

} // namespace tala::test
