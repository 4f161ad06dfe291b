// Where a dialog appears: centred over its owner, or in the work area of its
// monitor when it has none to centre over, and always inside that work area.
#pragma once

#include <windows.h>

namespace tala::os {

// An owner that is hidden or minimised counts as none.
void CentreDialog(HWND dialog);

} // namespace tala::os
