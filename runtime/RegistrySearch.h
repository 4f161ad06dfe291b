// One pass over the registry of installed runtimes: the keys the settings
// allow, their version sub-keys within the bounds, ranked, and one chosen.
#pragma once

#include "os/PathStyle.h"
#include "runtime/JavaRuntime.h"
#include "runtime/RuntimeKeys.h"
#include "runtime/RuntimeMachine.h"
#include "settings/LauncherSettings.h"

#include <optional>
#include <vector>

namespace tala {

struct RegistryChoice {
    std::u16string homeFolder;
    VersionNumber version;
};

std::optional<RegistryChoice> SearchRegistry(const LauncherSettings& settings,
                                             os::RegistryView view, const RuntimeMachine& machine,
                                             os::PathStyle style = os::kHostPathStyle);

// Appends the key's runtimes that lie within the bounds and have a VM library.
void CollectRegistryCandidates(const RuntimeKey& key, os::RegistryView view,
                               const LauncherSettings& settings, const RuntimeMachine& machine,
                               os::PathStyle style, std::vector<JavaRuntime>& candidates);

// Stable: preferred first (when both kinds are accepted), then with a server
// VM first (for FavorServer), then the higher version first.
void SortCandidates(std::vector<JavaRuntime>& candidates, const LauncherSettings& settings);

// The first sorted candidate that matches the first "Preferred versions"
// entry matching any; else the first sorted candidate. Candidates must not be empty.
const JavaRuntime& ChooseCandidate(const std::vector<JavaRuntime>& sorted,
                                   const StringList& preferredVersions);

} // namespace tala
