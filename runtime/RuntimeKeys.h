// The registry keys under which Java runtimes register, in the order they are
// searched, with the kind and provider each stands for.
#pragma once

#include "runtime/JavaRuntime.h"

#include <array>
#include <string_view>

namespace tala {

struct RuntimeKey {
    std::u16string_view path; // under HKEY_LOCAL_MACHINE, ending in "\"
    RuntimeKind kind;
    RuntimeProvider provider;
    bool homeHoldsInnerJre;     // the runtime is the JDK's "jre" folder
    bool probesFavorServerLoosely; // a FavorServer type probes as NoPreference
};

inline constexpr std::array<RuntimeKey, 7> kRuntimeKeys{{
    {u"Software\\JavaSoft\\JDK\\", RuntimeKind::Jdk, RuntimeProvider::Sun, false, false},
    {u"Software\\JavaSoft\\JRE\\", RuntimeKind::Jre, RuntimeProvider::Sun, false, false},
    {u"Software\\JavaSoft\\Java Development Kit\\", RuntimeKind::Jdk, RuntimeProvider::Sun, true, false},
    {u"Software\\JavaSoft\\Java Runtime Environment\\", RuntimeKind::Jre, RuntimeProvider::Sun, false, true},
    {u"Software\\JRockit\\Java Runtime Environment\\", RuntimeKind::Jre, RuntimeProvider::JRockit, false, false},
    {u"Software\\JRockit\\Java Development Kit\\", RuntimeKind::Jdk, RuntimeProvider::JRockit, true, false},
    {u"Software\\IBM\\Java2 Runtime Environment\\", RuntimeKind::Jre, RuntimeProvider::Ibm, false, false},
}};

} // namespace tala
