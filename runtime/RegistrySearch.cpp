#include "runtime/RegistrySearch.h"

#include "runtime/VmLibraryProbe.h"

#include <algorithm>

namespace tala {
namespace {

bool KeyIsSearched(const RuntimeKey& key, const LauncherSettings& settings)
{
    const bool kindPasses = settings.acceptBothKinds ||
                            (key.kind == RuntimeKind::Jdk ? settings.wantJdk : settings.wantJre);
    switch (key.provider) {
    case RuntimeProvider::Sun: return kindPasses && (settings.allowSun || settings.favorSun);
    case RuntimeProvider::JRockit:
        return kindPasses && (settings.allowJRockit || settings.favorJRockit);
    case RuntimeProvider::Ibm: return kindPasses && (settings.allowIbm || settings.favorIbm);
    }
    return false;
}

bool IsFavoured(const RuntimeKey& key, const LauncherSettings& settings)
{
    const bool wanted = key.kind == RuntimeKind::Jdk ? settings.wantJdk : settings.wantJre;
    switch (key.provider) {
    case RuntimeProvider::Sun: return wanted && settings.favorSun;
    case RuntimeProvider::JRockit: return wanted && settings.favorJRockit;
    case RuntimeProvider::Ibm: return wanted && settings.favorIbm;
    }
    return false;
}

bool WithinBounds(const VersionNumber& version, const LauncherSettings& settings)
{
    return !(version < settings.minimumVersion) && !(version > settings.maximumVersion);
}

// The home of one version sub-key, probed for its VM library.
std::optional<JavaRuntime> ReadRuntimeHome(const RuntimeKey& key, const std::u16string& subKey,
                                           os::RegistryView view, const LauncherSettings& settings,
                                           const RuntimeMachine& machine, os::PathStyle style)
{
    const auto javaHome = machine.JavaHome(std::u16string(key.path) + subKey, view);
    if (!javaHome || javaHome->empty()) return std::nullopt;
    const char16_t separator = os::PathSeparator(style);
    std::u16string home = *javaHome;
    if (home.back() != separator) home += separator;
    if (key.homeHoldsInnerJre) home.append(u"jre").append(1, separator);

    JvmType probeType = settings.jvmType;
    if (key.probesFavorServerLoosely && probeType == JvmType::FavorServer) {
        probeType = JvmType::NoPreference;
    }
    const auto library = FindVmLibrary(home, probeType, machine, style);
    if (!library) return std::nullopt;
    JavaRuntime runtime;
    runtime.homeFolder = home;
    runtime.hasServerVm = library->isServer;
    return runtime;
}

} // namespace

void CollectRegistryCandidates(const RuntimeKey& key, os::RegistryView view,
                               const LauncherSettings& settings, const RuntimeMachine& machine,
                               os::PathStyle style, std::vector<JavaRuntime>& candidates)
{
    const auto names = machine.SubKeyNames(std::u16string(key.path), view);
    if (!names) return;
    for (const std::u16string& name : *names) {
        VersionNumber version;
        version.Parse(name, 0);
        if (!WithinBounds(version, settings)) continue;
        auto runtime = ReadRuntimeHome(key, name, view, settings, machine, style);
        if (!runtime) continue;
        runtime->version = version;
        runtime->preferred = IsFavoured(key, settings);
        candidates.push_back(std::move(*runtime));
    }
}

void SortCandidates(std::vector<JavaRuntime>& candidates, const LauncherSettings& settings)
{
    std::stable_sort(candidates.begin(), candidates.end(),
                     [&settings](const JavaRuntime& a, const JavaRuntime& b) {
                         if (settings.acceptBothKinds && a.preferred != b.preferred) {
                             return a.preferred;
                         }
                         if (settings.jvmType == JvmType::FavorServer &&
                             a.hasServerVm != b.hasServerVm) {
                             return a.hasServerVm;
                         }
                         return a.version > b.version;
                     });
}

const JavaRuntime& ChooseCandidate(const std::vector<JavaRuntime>& sorted,
                                   const StringList& preferredVersions)
{
    for (const std::u16string& entry : preferredVersions) {
        VersionNumber pattern;
        pattern.Parse(entry, 0);
        for (const JavaRuntime& candidate : sorted) {
            if (VersionNumber::MatchesPrefix(candidate.version, pattern)) return candidate;
        }
    }
    return sorted.front();
}

std::optional<RegistryChoice> SearchRegistry(const LauncherSettings& settings,
                                             os::RegistryView view, const RuntimeMachine& machine,
                                             os::PathStyle style)
{
    std::vector<JavaRuntime> candidates;
    for (const RuntimeKey& key : kRuntimeKeys) {
        if (KeyIsSearched(key, settings)) {
            CollectRegistryCandidates(key, view, settings, machine, style, candidates);
        }
    }
    if (candidates.empty()) return std::nullopt;
    SortCandidates(candidates, settings);
    const JavaRuntime& chosen = ChooseCandidate(candidates, settings.preferredVersions);
    return RegistryChoice{chosen.homeFolder, chosen.version};
}

} // namespace tala
