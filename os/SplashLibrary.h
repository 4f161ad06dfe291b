// The Java runtime's own splash library, which the launcher loads and drives
// when the settings prefer it to the launcher's own window.
#pragma once

#include "os/Library.h"

#include <string>

namespace tala::os {

// Loads the splash library for the rest of the process's life; nothing when
// it cannot be loaded. On POSIX the library is linked against the VM library
// by its bare name, which only resolves once that library is in the process:
// the VM library at vmLibraryPath is loaded first there, with the flags the
// launcher's own load of it uses, so that later load finds it in place.
LibraryHandle LoadSplashLibrary(const std::u16string& path, const std::u16string& vmLibraryPath);

} // namespace tala::os
