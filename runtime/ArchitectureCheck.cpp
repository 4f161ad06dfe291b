#include "runtime/ArchitectureCheck.h"

#include "launcher/Launcher.h"
#include "os/ImageArchitecture.h"

namespace tala {

bool NeedsPairProduct(const std::u16string& pairProduct, const std::u16string& vmLibraryPath)
{
    return !pairProduct.empty() && os::IsX86Image(vmLibraryPath);
}

void CheckVmLibraryArchitecture(Launcher& launcher)
{
    launcher.runPairProduct = false;
    launcher.runPairProduct = NeedsPairProduct(launcher.settings.pairProduct, launcher.vmLibraryPath);
}

} // namespace tala
