// The search for a Java runtime's VM library: the "JRE Path" folder, a runtime
// beside the executable, then the installed runtimes.
#pragma once

#include "os/PathStyle.h"
#include "runtime/RuntimeMachine.h"
#include "settings/LauncherSettings.h"

#include <optional>
#include <string>

namespace tala {

class Launcher;

struct RuntimeChoice {
    std::u16string vmLibraryPath;
    std::optional<VersionNumber> version; // set for a runtime from the registry
    bool fromJrePath = false;             // its library's architecture is to be checked
    bool from32BitView = false;           // this process cannot load it
};

// A runtime shipped beside the executable: its folder when it holds
// bin\java.dll (lib/libjava.so on POSIX), else its jre64 folder when that does.
std::optional<std::u16string> FindBundledRuntime(const std::u16string& modulePath,
                                                 const RuntimeMachine& machine,
                                                 os::PathStyle style = os::kHostPathStyle);

// The whole search; reports nothing. An empty module path skips the runtime
// beside the executable.
std::optional<RuntimeChoice> SearchRuntime(const LauncherSettings& settings,
                                           const std::u16string& modulePath,
                                           const RuntimeMachine& machine,
                                           os::PathStyle style = os::kHostPathStyle);

// Fills vmLibraryPath (and runtimeVersion, runPairProduct); true when a VM
// library was found.
bool FindRuntime(Launcher& launcher);

} // namespace tala
