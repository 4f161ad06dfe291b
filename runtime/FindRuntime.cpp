#include "runtime/FindRuntime.h"

#include "launcher/Launcher.h"
#include "launcher/Trace.h"
#include "os/Module.h"
#include "os/PathText.h"
#include "runtime/ArchitectureCheck.h"
#include "runtime/RegistrySearch.h"
#include "runtime/VmLibraryProbe.h"

namespace tala {
namespace {

std::optional<RuntimeChoice> FromJrePath(const LauncherSettings& settings,
                                         const RuntimeMachine& machine, os::PathStyle style)
{
    if (settings.jrePath.empty()) return std::nullopt;
    const auto library = FindVmLibrary(os::WithTrailingSeparator(settings.jrePath, style),
                                       settings.jvmType, machine, style);
    trace::Note("runtime", u"JRE Path", settings.jrePath, library ? u"has" : u"has no VM library",
                library ? std::u16string_view(library->path) : std::u16string_view());
    if (!library) return std::nullopt;
    RuntimeChoice choice;
    choice.vmLibraryPath = library->path;
    choice.fromJrePath = true;
    return choice;
}

std::optional<RuntimeChoice> FromBesideTheExecutable(const LauncherSettings& settings,
                                                     const std::u16string& modulePath,
                                                     const RuntimeMachine& machine,
                                                     os::PathStyle style)
{
    if (modulePath.empty()) return std::nullopt;
    const auto home = FindBundledRuntime(modulePath, machine, style);
    if (!home) return std::nullopt;
    const auto library = FindVmLibrary(*home, settings.jvmType, machine, style);
    trace::Note("runtime", u"beside the executable", *home, library ? u"has" : u"has no VM library",
                library ? std::u16string_view(library->path) : std::u16string_view());
    if (!library) return std::nullopt;
    return RuntimeChoice{library->path, std::nullopt, false, false};
}

std::optional<RuntimeChoice> FromRegistry(const LauncherSettings& settings,
                                          const RuntimeMachine& machine, os::PathStyle style)
{
    auto chosen = SearchRegistry(settings, os::RegistryView::Default, machine, style);
    bool from32BitView = false;
    if (!chosen && !settings.pairProduct.empty()) {
        chosen = SearchRegistry(settings, os::RegistryView::Bits32, machine, style);
        from32BitView = chosen.has_value();
    }
    if (!chosen) return std::nullopt;
    // The configured type decides the final probe, also for keys whose
    // candidates were probed more loosely.
    const auto library = FindVmLibrary(chosen->homeFolder, settings.jvmType, machine, style);
    if (!library) return std::nullopt;
    return RuntimeChoice{library->path, chosen->version, false, from32BitView};
}

} // namespace

std::optional<std::u16string> FindBundledRuntime(const std::u16string& modulePath,
                                                 const RuntimeMachine& machine,
                                                 os::PathStyle style)
{
    const std::u16string folder(os::FolderWithSeparatorOf(modulePath, style));
    const std::u16string marker = style == os::PathStyle::Windows ? u"bin\\java.dll" : u"lib/libjava.so";
    if (machine.PathExists(folder + marker)) return folder;
    const std::u16string inner = folder + u"jre64" + os::PathSeparator(style);
    if (machine.PathExists(inner + marker)) return inner;
    return std::nullopt;
}

std::optional<RuntimeChoice> SearchRuntime(const LauncherSettings& settings,
                                           const std::u16string& modulePath,
                                           const RuntimeMachine& machine, os::PathStyle style)
{
    if (auto choice = FromJrePath(settings, machine, style)) return choice;
    if (auto choice = FromBesideTheExecutable(settings, modulePath, machine, style)) return choice;
    return FromRegistry(settings, machine, style);
}

bool FindRuntime(Launcher& launcher)
{
    std::u16string modulePath;
    if (!os::GetModulePath(modulePath)) modulePath.clear();
    const SystemRuntimeMachine machine;
    const auto choice = SearchRuntime(launcher.settings, modulePath, machine);
    if (!choice) {
        trace::Note("runtime", "none found");
        return false;
    }

    launcher.vmLibraryPath = choice->vmLibraryPath;
    if (choice->version) launcher.runtimeVersion = *choice->version;
    if (choice->fromJrePath) CheckVmLibraryArchitecture(launcher);
    if (choice->from32BitView) launcher.runPairProduct = true;
    trace::Note("runtime", u"chosen", launcher.vmLibraryPath,
                launcher.runPairProduct ? "(32-bit: the pair product runs instead)" : "");
    return true;
}

} // namespace tala
