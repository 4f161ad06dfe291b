#include "launcher/PairProduct.h"

#include "launcher/Launcher.h"
#include "os/Process.h"

namespace tala {

std::int32_t StartPairProduct(Launcher& launcher)
{
    return os::StartWithOwnCommandLine(launcher.settings.pairProduct,
                                       launcher.settings.pairReturnCode);
}

} // namespace tala
