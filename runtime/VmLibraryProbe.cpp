#include "runtime/VmLibraryProbe.h"

#include <array>
#include <string_view>

namespace tala {
namespace {

constexpr std::u16string_view kServer = u"server";
constexpr std::array<std::u16string_view, 5> kAnyKind{u"client", u"classic", u"hotspot", u"server",
                                                      u"jrockit"};

std::optional<VmLibrary> ProbeKind(const std::u16string& home, std::u16string_view kind,
                                   const RuntimeMachine& machine, os::PathStyle style)
{
    const char16_t separator = os::PathSeparator(style);
    const std::u16string_view file = style == os::PathStyle::Windows ? u"jvm.dll" : u"libjvm.so";
    for (const std::u16string_view layout : VmLibraryLayouts(style)) {
        std::u16string path = home;
        path.append(layout).append(1, separator).append(kind).append(1, separator).append(file);
        if (machine.PathExists(path)) return VmLibrary{path, kind == kServer};
    }
    return std::nullopt;
}

} // namespace

std::span<const std::u16string_view> VmLibraryLayouts(os::PathStyle style)
{
    static constexpr std::array<std::u16string_view, 1> kWindows{u"bin"};
    static constexpr std::array<std::u16string_view, 2> kPosix{u"lib", u"lib/amd64"};
    if (style == os::PathStyle::Windows) return kWindows;
    return kPosix;
}

std::optional<VmLibrary> FindVmLibrary(const std::u16string& homeFolder, JvmType type,
                                       const RuntimeMachine& machine, os::PathStyle style)
{
    if (type == JvmType::Server || type == JvmType::FavorServer) {
        if (auto server = ProbeKind(homeFolder, kServer, machine, style)) return server;
        if (type == JvmType::Server) return std::nullopt;
    }
    for (const std::u16string_view kind : kAnyKind) {
        if (auto library = ProbeKind(homeFolder, kind, machine, style)) return library;
    }
    return std::nullopt;
}

} // namespace tala
