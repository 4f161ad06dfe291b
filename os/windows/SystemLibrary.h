// Libraries of the system folder, loaded by their full path there, with
// their own dependencies looked for there alone: a library of the same name
// planted beside the launcher or in the current folder is never loaded.
#pragma once

#include "os/windows/UniqueHandle.h"

namespace tala::os {

// Nothing when the system folder has no such library.
UniqueModule LoadSystemLibrary(const wchar_t* name);

} // namespace tala::os
