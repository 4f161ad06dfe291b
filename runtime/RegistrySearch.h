// One pass over the installed runtimes: the registry keys the settings allow
// (and, with "Extended Search", the runtimes found elsewhere), their versions
// within the bounds, ranked, and one chosen.
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

// The filters every candidate passes, wherever it was found: "JVM Source",
// "VM Provider", the version bounds; and whether it ranks as preferred.
bool KindIsWanted(RuntimeKind kind, const LauncherSettings& settings);
bool ProviderIsAllowed(RuntimeProvider provider, const LauncherSettings& settings);
bool WithinBounds(const VersionNumber& version, const LauncherSettings& settings);
bool IsFavoured(RuntimeKind kind, RuntimeProvider provider, const LauncherSettings& settings);

} // namespace tala
