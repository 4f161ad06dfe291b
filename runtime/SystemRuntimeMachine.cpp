#include "runtime/RuntimeMachine.h"

#include "os/Environment.h"
#include "os/FileSearch.h"
#include "os/Files.h"
#include "os/ImageArchitecture.h"
#include "os/PathStyle.h"

#include <algorithm>

namespace tala {

bool SystemRuntimeMachine::PathExists(const std::u16string& path) const
{
    return os::PathExists(path);
}

std::optional<std::vector<std::u16string>> SystemRuntimeMachine::SubKeyNames(
    os::RegistryRoot root, const std::u16string& keyPath, os::RegistryView view) const
{
    return os::ReadRegistrySubKeyNames(keyPath, view, root);
}

std::optional<std::u16string> SystemRuntimeMachine::RegistryString(os::RegistryRoot root,
                                                                   const std::u16string& keyPath,
                                                                   const std::u16string& valueName,
                                                                   os::RegistryView view) const
{
    return os::ReadRegistryString(keyPath, valueName, view, root);
}

std::optional<std::u16string> SystemRuntimeMachine::EnvironmentVariable(const std::u16string& name) const
{
    return os::ReadEnvironmentVariable(name);
}

std::u16string SystemRuntimeMachine::UserHomeFolder() const { return os::UserHomeFolder(); }

std::vector<std::u16string> SystemRuntimeMachine::FolderEntries(const std::u16string& folder) const
{
    std::vector<std::u16string> names =
        os::FindMatchingNames(folder + os::PathSeparator(os::kHostPathStyle) + u"*");
    std::erase_if(names, [](const std::u16string& name) { return name == u"." || name == u".."; });
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> SystemRuntimeMachine::ReleaseText(const std::u16string& path) const
{
    // Release files are a few kilobytes; the keys wanted come first.
    constexpr std::size_t kLimit = 64 * 1024;
    return os::ReadFileStart(path, kLimit);
}

std::u16string SystemRuntimeMachine::PathIdentity(const std::u16string& path) const
{
    return os::PathIdentity(path);
}

bool SystemRuntimeMachine::IsX86Library(const std::u16string& path) const { return os::IsX86Image(path); }

} // namespace tala
