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
    const bool windows = style == os::PathStyle::Windows;
    const std::array<std::u16string_view, 2> layouts{windows ? u"bin" : u"lib",
                                                     windows ? u"" : u"lib/amd64"};
    const std::u16string_view file = windows ? u"jvm.dll" : u"libjvm.so";
    for (const std::u16string_view layout : layouts) {
        if (layout.empty()) continue;
        std::u16string path = home;
        path.append(layout).append(1, separator).append(kind).append(1, separator).append(file);
        if (machine.PathExists(path)) return VmLibrary{path, kind == kServer};
    }
    return std::nullopt;
}

} // namespace

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
