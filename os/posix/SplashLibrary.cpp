#include "os/SplashLibrary.h"

namespace tala::os {

LibraryHandle LoadSplashLibrary(const std::u16string& path, const std::u16string& vmLibraryPath)
{
    // The VM library's handle is not kept: like every library the launcher
    // loads it stays for the process's life, and loading it again by the same
    // path gives the same handle.
    if (LoadLibraryFile(vmLibraryPath) == nullptr) return nullptr;
    return LoadLibraryFile(path);
}

} // namespace tala::os
