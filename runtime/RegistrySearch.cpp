#include "runtime/RegistrySearch.h"

#include "launcher/Trace.h"
#include "os/PathText.h"
#include "runtime/CandidateTrace.h"
#include "runtime/ExtendedSearch.h"
#include "runtime/VmLibraryProbe.h"

#include <algorithm>

namespace tala {
namespace {

// The home of one version sub-key, probed for its VM library; traces why
// there is none.
std::optional<JavaRuntime> ReadRuntimeHome(const RuntimeKey& key, JavaRuntime runtime,
                                           os::RegistryView view, const LauncherSettings& settings,
                                           const RuntimeMachine& machine, os::PathStyle style)
{
    const auto javaHome =
        machine.RegistryString(os::RegistryRoot::LocalMachine, runtime.source, u"JavaHome", view);
    if (!javaHome || javaHome->empty()) {
        TraceCandidate(runtime, Verdict::NoHome);
        return std::nullopt;
    }
    std::u16string home = os::WithTrailingSeparator(*javaHome, style);
    if (key.homeHoldsInnerJre) home = os::WithTrailingSeparator(os::JoinPath(home, u"jre", style), style);
    runtime.homeFolder = home;

    JvmType probeType = settings.jvmType;
    if (key.probesFavorServerLoosely && probeType == JvmType::FavorServer) {
        probeType = JvmType::NoPreference;
    }
    const auto library = FindVmLibrary(home, probeType, machine, style);
    if (!library) {
        TraceCandidate(runtime, MissingLibraryVerdict(home, probeType, machine, style));
        return std::nullopt;
    }
    runtime.hasServerVm = library->isServer;
    runtime.vmLibrary = library->path;
    return runtime;
}

void TraceOutcome(const std::vector<JavaRuntime>& sorted, const JavaRuntime& chosen)
{
    if (!trace::Enabled()) return;
    bool beforeChosen = true;
    for (const JavaRuntime& candidate : sorted) {
        const bool isChosen = &candidate == &chosen;
        TraceCandidate(candidate, isChosen       ? Verdict::Taken
                                  : beforeChosen ? Verdict::NotPreferred
                                                 : Verdict::RankedLower);
        if (isChosen) beforeChosen = false;
    }
}

} // namespace

bool KindIsWanted(RuntimeKind kind, const LauncherSettings& settings)
{
    return settings.acceptBothKinds || (kind == RuntimeKind::Jdk ? settings.wantJdk : settings.wantJre);
}

bool ProviderIsAllowed(RuntimeProvider provider, const LauncherSettings& settings)
{
    switch (provider) {
    case RuntimeProvider::Sun: return settings.allowSun || settings.favorSun;
    case RuntimeProvider::JRockit: return settings.allowJRockit || settings.favorJRockit;
    case RuntimeProvider::Ibm: return settings.allowIbm || settings.favorIbm;
    }
    return false;
}

bool WithinBounds(const VersionNumber& version, const LauncherSettings& settings)
{
    return !(version < settings.minimumVersion) && !(version > settings.maximumVersion);
}

bool IsFavoured(RuntimeKind kind, RuntimeProvider provider, const LauncherSettings& settings)
{
    const bool wanted = kind == RuntimeKind::Jdk ? settings.wantJdk : settings.wantJre;
    switch (provider) {
    case RuntimeProvider::Sun: return wanted && settings.favorSun;
    case RuntimeProvider::JRockit: return wanted && settings.favorJRockit;
    case RuntimeProvider::Ibm: return wanted && settings.favorIbm;
    }
    return false;
}

void CollectRegistryCandidates(const RuntimeKey& key, os::RegistryView view,
                               const LauncherSettings& settings, const RuntimeMachine& machine,
                               os::PathStyle style, std::vector<JavaRuntime>& candidates)
{
    const std::u16string keyPath(key.path);
    const auto names = machine.SubKeyNames(os::RegistryRoot::LocalMachine, keyPath, view);
    if (!names) return;
    for (const std::u16string& name : *names) {
        JavaRuntime runtime;
        runtime.kind = key.kind;
        runtime.provider = key.provider;
        runtime.source = keyPath + name;
        runtime.version.Parse(name, 0);
        if (!WithinBounds(runtime.version, settings)) {
            TraceCandidate(runtime, Verdict::VersionBound);
            continue;
        }
        auto found = ReadRuntimeHome(key, std::move(runtime), view, settings, machine, style);
        if (!found) continue;
        found->preferred = IsFavoured(key.kind, key.provider, settings);
        candidates.push_back(std::move(*found));
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
    trace::Note("runtime", view == os::RegistryView::Bits32 ? "installed runtimes, 32-bit view"
                                                             : "installed runtimes");
    std::vector<JavaRuntime> candidates;
    for (const RuntimeKey& key : kRuntimeKeys) {
        const bool kindWanted = KindIsWanted(key.kind, settings);
        if (kindWanted && ProviderIsAllowed(key.provider, settings)) {
            CollectRegistryCandidates(key, view, settings, machine, style, candidates);
        } else {
            trace::Note("runtime", u"key not searched:", key.path,
                        kindWanted ? "(VM Provider)" : "(JVM Source)");
        }
    }
    if (settings.extendedSearch) CollectExtendedCandidates(settings, view, machine, style, candidates);
    if (candidates.empty()) return std::nullopt;
    SortCandidates(candidates, settings);
    const JavaRuntime& chosen = ChooseCandidate(candidates, settings.preferredVersions);
    TraceOutcome(candidates, chosen);
    return RegistryChoice{chosen.homeFolder, chosen.version};
}

} // namespace tala
