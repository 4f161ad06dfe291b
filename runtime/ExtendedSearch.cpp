#include "runtime/ExtendedSearch.h"

#include "os/PathText.h"
#include "os/RuntimeRelease.h"
#include "os/Utf8.h"
#include "runtime/CandidateTrace.h"
#include "runtime/RegistrySearch.h"
#include "runtime/VmLibraryProbe.h"
#include "settings/StringRules.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tala {
namespace {

using os::RegistryRoot;
using os::RegistryView;

// A registry key naming a runtime's home; "*" stands for every sub-key.
struct HomeKey {
    std::u16string_view path;
    std::array<std::u16string_view, 2> values; // an empty name is none
    bool perUserOnly;                          // the machine's part is the classic search's
};

// Amazon's installers have written more than one shape over the years; a
// value naming something else is harmless, as only a folder holding a VM
// library counts.
constexpr std::array<HomeKey, 15> kHomeKeys{{
    {u"Software\\Eclipse Adoptium\\*\\*\\*\\MSI", {u"Path"}, false},
    {u"Software\\Eclipse Foundation\\*\\*\\*\\MSI", {u"Path"}, false},
    {u"Software\\AdoptOpenJDK\\*\\*\\*\\MSI", {u"Path"}, false},
    {u"Software\\Microsoft\\JDK\\*\\*\\MSI", {u"Path"}, false},
    {u"Software\\Azul Systems\\Zulu\\*", {u"InstallationPath"}, false},
    {u"Software\\BellSoft\\Liberica\\*", {u"InstallationPath"}, false},
    {u"Software\\Amazon Corretto\\*", {u"InstallationPath", u"JavaHome"}, false},
    {u"Software\\Amazon Corretto\\*\\MSI", {u"Path", u"INSTALLDIR"}, false},
    {u"Software\\Amazon\\Amazon Corretto\\*", {u"InstallationPath", u"JavaHome"}, false},
    {u"Software\\Amazon\\Amazon Corretto\\*\\MSI", {u"Path", u"INSTALLDIR"}, false},
    {u"Software\\Amazon\\Amazon Corretto\\*\\*\\MSI", {u"Path", u"INSTALLDIR"}, false},
    {u"Software\\JavaSoft\\JDK\\*", {u"JavaHome"}, true},
    {u"Software\\JavaSoft\\JRE\\*", {u"JavaHome"}, true},
    {u"Software\\JavaSoft\\Java Development Kit\\*", {u"JavaHome"}, true},
    {u"Software\\JavaSoft\\Java Runtime Environment\\*", {u"JavaHome"}, true},
}};

// Folders below the user's home whose every entry may be a runtime.
constexpr std::array<std::array<std::u16string_view, 3>, 2> kUserRuntimeFolders{{
    {u".sdkman", u"candidates", u"java"},
    {u".jdks"},
}};

// A home folder as some source names it.
struct Sighting {
    std::u16string source;
    std::u16string home;
};

// Registry key names below one another; the first one stands alone.
std::u16string SubKey(const std::u16string& key, std::u16string_view name)
{
    return key.empty() ? std::u16string(name) : os::JoinPath(key, name, os::PathStyle::Windows);
}

std::u16string SourceName(RegistryRoot root, RegistryView view, const std::u16string& key,
                          std::u16string_view value)
{
    std::u16string name = root == RegistryRoot::CurrentUser ? u"HKCU\\" : u"HKLM\\";
    name += key;
    name.append(u" [").append(value).append(u"]");
    if (view == RegistryView::Bits32) name += u" (32-bit view)";
    return name;
}

// The keys a pattern reaches, "*" expanded in enumeration order.
std::vector<std::u16string> ExpandKeyPattern(std::u16string_view pattern, RegistryRoot root,
                                             RegistryView view, const RuntimeMachine& machine)
{
    StringList components;
    SplitString(pattern, u"\\", components);
    std::vector<std::u16string> keys{u""};
    for (const std::u16string& component : components) {
        std::vector<std::u16string> next;
        for (const std::u16string& key : keys) {
            if (component != u"*") {
                next.push_back(SubKey(key, component));
                continue;
            }
            const auto names = machine.SubKeyNames(root, key, view);
            if (!names) continue;
            for (const std::u16string& name : *names) next.push_back(SubKey(key, name));
        }
        keys = std::move(next);
    }
    return keys;
}

void CollectRegistrySightings(const RuntimeMachine& machine, std::vector<Sighting>& sightings)
{
    for (const RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
        for (const RegistryView view : {RegistryView::Default, RegistryView::Bits32}) {
            for (const HomeKey& homeKey : kHomeKeys) {
                if (homeKey.perUserOnly && root == RegistryRoot::LocalMachine) continue;
                for (const std::u16string& key : ExpandKeyPattern(homeKey.path, root, view, machine)) {
                    for (const std::u16string_view value : homeKey.values) {
                        if (value.empty()) continue;
                        const auto home = machine.RegistryString(root, key, std::u16string(value), view);
                        if (home && !home->empty()) {
                            sightings.push_back({SourceName(root, view, key, value), *home});
                        }
                    }
                }
            }
        }
    }
}

void CollectFolderSightings(const RuntimeMachine& machine, os::PathStyle style,
                            std::vector<Sighting>& sightings)
{
    const auto javaHome = machine.EnvironmentVariable(u"JAVA_HOME");
    if (javaHome && !javaHome->empty()) sightings.push_back({u"JAVA_HOME", *javaHome});
    const std::u16string userHome = machine.UserHomeFolder();
    if (userHome.empty()) return;
    for (const auto& components : kUserRuntimeFolders) {
        std::u16string folder = userHome;
        for (const std::u16string_view component : components) {
            if (!component.empty()) folder = os::JoinPath(folder, component, style);
        }
        for (const std::u16string& entry : machine.FolderEntries(folder)) {
            const std::u16string home = os::JoinPath(folder, entry, style);
            sightings.push_back({home, home});
        }
    }
}

bool ContainsCaseless(std::string_view text, std::string_view word)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::search(text.begin(), text.end(), word.begin(), word.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

// IBM's runtimes and the OpenJ9 builds of others; everything else is of the
// Sun/OpenJDK family.
RuntimeProvider ProviderOf(std::string_view release)
{
    const std::string implementor = os::ReleaseValue(release, "IMPLEMENTOR").value_or("");
    const std::string variant = os::ReleaseValue(release, "JVM_VARIANT").value_or("");
    if (ContainsCaseless(implementor, "IBM") || ContainsCaseless(variant, "OpenJ9")) return RuntimeProvider::Ibm;
    return RuntimeProvider::Sun;
}

class ExtendedPass {
public:
    ExtendedPass(const LauncherSettings& settings, RegistryView pass, const RuntimeMachine& machine,
                 os::PathStyle style)
        : settings_(settings), pass_(pass), machine_(machine), style_(style),
          separator_(os::PathSeparator(style))
    {
    }

    void RememberHome(const std::u16string& home) { seen_.push_back(machine_.PathIdentity(home)); }

    // A candidate, or nothing when it is refused (the trace tells why).
    std::optional<JavaRuntime> Examine(const Sighting& sighting)
    {
        JavaRuntime runtime;
        runtime.source = sighting.source;
        const std::u16string home = os::WithTrailingSeparator(sighting.home, style_);
        const std::string release = machine_.ReleaseText(home + u"release").value_or("");
        const auto version = os::ReleaseValue(release, "JAVA_VERSION");
        const bool versioned = version && runtime.version.Parse(os::FromUtf8(*version), 0);
        const std::u16string compiler = style_ == os::PathStyle::Windows ? u"javac.exe" : u"javac";
        runtime.kind = machine_.PathExists(home + u"bin" + separator_ + compiler) ? RuntimeKind::Jdk
                                                                                   : RuntimeKind::Jre;
        runtime.provider = ProviderOf(release);

        if (!FindLibrary(home, runtime)) return std::nullopt;
        const std::u16string identity = machine_.PathIdentity(runtime.homeFolder);
        if (std::find(seen_.begin(), seen_.end(), identity) != seen_.end()) {
            return Refuse(runtime, Verdict::ReachedBefore);
        }
        seen_.push_back(identity);
        if (!versioned) return Refuse(runtime, Verdict::NoVersion);
        if (!WithinBounds(runtime.version, settings_)) return Refuse(runtime, Verdict::VersionBound);
        if (!KindIsWanted(runtime.kind, settings_)) return Refuse(runtime, Verdict::Kind);
        if (!ProviderIsAllowed(runtime.provider, settings_)) return Refuse(runtime, Verdict::Provider);
        const bool x86 = machine_.IsX86Library(runtime.vmLibrary);
        if (x86 != (pass_ == RegistryView::Bits32)) {
            return Refuse(runtime, x86 ? Verdict::Bits32 : Verdict::Bits64);
        }
        runtime.preferred = IsFavoured(runtime.kind, runtime.provider, settings_);
        return runtime;
    }

private:
    // The home's own VM library, else that of its "jre" folder (a Java 8
    // JDK); the home that has it becomes the candidate's.
    bool FindLibrary(const std::u16string& home, JavaRuntime& runtime)
    {
        const std::u16string inner = home + u"jre" + separator_;
        for (const std::u16string& folder : {home, inner}) {
            if (const auto library = FindVmLibrary(folder, settings_.jvmType, machine_, style_)) {
                runtime.homeFolder = folder;
                runtime.vmLibrary = library->path;
                runtime.hasServerVm = library->isServer;
                return true;
            }
        }
        runtime.homeFolder = home;
        const Verdict outer = MissingLibraryVerdict(home, settings_.jvmType, machine_, style_);
        const Verdict verdict = outer == Verdict::VmType
                                    ? outer
                                    : MissingLibraryVerdict(inner, settings_.jvmType, machine_, style_);
        TraceCandidate(runtime, verdict);
        return false;
    }

    static std::optional<JavaRuntime> Refuse(const JavaRuntime& runtime, Verdict verdict)
    {
        TraceCandidate(runtime, verdict);
        return std::nullopt;
    }

    const LauncherSettings& settings_;
    RegistryView pass_;
    const RuntimeMachine& machine_;
    os::PathStyle style_;
    char16_t separator_;
    std::vector<std::u16string> seen_;
};

} // namespace

void CollectExtendedCandidates(const LauncherSettings& settings, RegistryView pass,
                               const RuntimeMachine& machine, os::PathStyle style,
                               std::vector<JavaRuntime>& candidates)
{
    std::vector<Sighting> sightings;
    CollectRegistrySightings(machine, sightings);
    CollectFolderSightings(machine, style, sightings);

    ExtendedPass examiner(settings, pass, machine, style);
    for (const JavaRuntime& candidate : candidates) examiner.RememberHome(candidate.homeFolder);
    for (const Sighting& sighting : sightings) {
        if (auto runtime = examiner.Examine(sighting)) candidates.push_back(std::move(*runtime));
    }
}

} // namespace tala
