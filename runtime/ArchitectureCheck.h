// The 64-bit launcher cannot load a 32-bit VM library. When a "Pair Product"
// is configured, a 32-bit library makes the launcher hand the start over to it.
#pragma once

#include <string>

namespace tala {

class Launcher;

// True only when a pair product is configured and the library is a readable
// 32-bit x86 image.
bool NeedsPairProduct(const std::u16string& pairProduct, const std::u16string& vmLibraryPath);

// Sets runPairProduct from the launcher's vmLibraryPath; always resets it first.
void CheckVmLibraryArchitecture(Launcher& launcher);

} // namespace tala
