#include "os/RuntimeFolderDialog.h"

namespace tala::os {

// Placeholder until the dialog resource lands: counts as a dialog that cannot be shown.
std::optional<RuntimeFolderChoice> AskForRuntimeFolder(const std::u16string&, const std::u16string&,
                                                       const VmLibraryProbe&)
{
    return std::nullopt;
}

} // namespace tala::os
