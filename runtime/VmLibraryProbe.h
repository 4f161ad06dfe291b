// Finding the VM library inside a runtime's home folder.
#pragma once

#include "os/PathStyle.h"
#include "runtime/RuntimeMachine.h"
#include "settings/LauncherSettings.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tala {

struct VmLibrary {
    std::u16string path;
    bool isServer = false;
};

// Probes the home folder (ending in a separator) for the VM library kinds in
// the launcher's order: the server VM first when the type asks for a server
// (and nothing else for Server), then client, classic, hotspot, server and
// jrockit. On Windows they are bin\<kind>\jvm.dll; on POSIX lib/<kind>/libjvm.so
// and, for old layouts, lib/amd64/<kind>/libjvm.so.
// The folders below a runtime's home that hold the kind folders, in the
// order they are probed: bin on Windows; lib, then lib/amd64 (old layouts)
// on POSIX.
std::span<const std::u16string_view> VmLibraryLayouts(os::PathStyle style = os::kHostPathStyle);

std::optional<VmLibrary> FindVmLibrary(const std::u16string& homeFolder, JvmType type,
                                       const RuntimeMachine& machine,
                                       os::PathStyle style = os::kHostPathStyle);

} // namespace tala
