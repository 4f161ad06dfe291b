// Tells whether a library file is built for 32-bit x86, which this 64-bit
// launcher cannot load.
#pragma once

#include <string>

namespace tala::os {

// True only for a readable, valid image for 32-bit x86: a PE image whose
// machine is 0x14C on Windows, an ELF file of class 32 elsewhere. A missing,
// locked, empty, truncated or foreign file gives false.
bool IsX86Image(const std::u16string& path);

} // namespace tala::os
