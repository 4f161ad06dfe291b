#include "runtime/RuntimeNotFoundDialog.h"

#include "launcher/ErrorReport.h"
#include "launcher/Launcher.h"
#include "launcher/Trace.h"
#include "os/RuntimeFolderDialog.h"
#include "runtime/ArchitectureCheck.h"
#include "runtime/VersionRequirement.h"
#include "runtime/VmLibraryProbe.h"
#include "settings/SettingsPaths.h"

namespace tala {

bool ShowRuntimeNotFoundDialog(Launcher& launcher)
{
    const JvmType type = launcher.settings.jvmType;
    const SystemRuntimeMachine machine;
    const os::VmLibraryProbe probe =
        [type, &machine](const std::u16string& folder) -> std::optional<std::u16string> {
        const auto library = FindVmLibrary(folder, type, machine);
        if (!library) return std::nullopt;
        return library->path;
    };
    const os::RuntimeFolderTexts texts{RuntimeNotFoundMessage(launcher.settings),
                                       std::u16string(kRuntimeDownloadAddress),
                                       MessageText(MessageId::BrowseForJreTitle)};
    const auto choice = os::AskForRuntimeFolder(texts, probe);
    if (!choice) {
        trace::Note("runtime", "none picked in the runtime-not-found dialog");
        return false;
    }
    trace::Note("runtime", u"picked in the runtime-not-found dialog:", choice->vmLibrary);

    launcher.vmLibraryPath = choice->vmLibrary;
    CheckVmLibraryArchitecture(launcher);
    // The next start then finds the runtime through "JRE Path".
    WriteBackJrePath(launcher.settings, choice->folder);
    return true;
}

} // namespace tala
