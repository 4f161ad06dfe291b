#include "os/SplashLibrary.h"

namespace tala::os {

// The runtime's splashscreen.dll finds what it imports by itself; the VM
// library is loaded after it, as the run phase orders it.
LibraryHandle LoadSplashLibrary(const std::u16string& path, const std::u16string&)
{
    return LoadLibraryFile(path);
}

} // namespace tala::os
