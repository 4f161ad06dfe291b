#include "runtime/RuntimeMachine.h"

#include "os/Files.h"

namespace tala {

bool SystemRuntimeMachine::PathExists(const std::u16string& path) const
{
    return os::PathExists(path);
}

std::optional<std::vector<std::u16string>> SystemRuntimeMachine::SubKeyNames(
    const std::u16string& keyPath, os::RegistryView view) const
{
    return os::ReadRegistrySubKeyNames(keyPath, view);
}

std::optional<std::u16string> SystemRuntimeMachine::JavaHome(const std::u16string& subKeyPath,
                                                             os::RegistryView view) const
{
    return os::ReadRegistryString(subKeyPath, u"JavaHome", view);
}

} // namespace tala
