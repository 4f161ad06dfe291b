// What the runtime search looks at on the machine: files and folders, the
// registry of installed runtimes, the environment. The search sees the
// machine only through this, so its rules can be tried on made-up machines.
#pragma once

#include "os/Registry.h"

#include <optional>
#include <string>
#include <vector>

namespace tala {

class RuntimeMachine {
public:
    virtual ~RuntimeMachine() = default;

    virtual bool PathExists(const std::u16string& path) const = 0;
    virtual std::optional<std::vector<std::u16string>> SubKeyNames(os::RegistryRoot root,
                                                                   const std::u16string& keyPath,
                                                                   os::RegistryView view) const = 0;
    virtual std::optional<std::u16string> RegistryString(os::RegistryRoot root, const std::u16string& keyPath,
                                                         const std::u16string& valueName,
                                                         os::RegistryView view) const = 0;

    // What only the extended search asks.
    virtual std::optional<std::u16string> EnvironmentVariable(const std::u16string& name) const = 0;
    virtual std::u16string UserHomeFolder() const = 0;
    // The names of the entries of a folder, sorted; "." and ".." left out.
    virtual std::vector<std::u16string> FolderEntries(const std::u16string& folder) const = 0;
    // The start of a runtime's release file; nothing when there is none.
    virtual std::optional<std::string> ReleaseText(const std::u16string& path) const = 0;
    virtual std::u16string PathIdentity(const std::u16string& path) const = 0;
    virtual bool IsX86Library(const std::u16string& path) const = 0;
};

// The machine the launcher runs on.
class SystemRuntimeMachine final : public RuntimeMachine {
public:
    bool PathExists(const std::u16string& path) const override;
    std::optional<std::vector<std::u16string>> SubKeyNames(os::RegistryRoot root, const std::u16string& keyPath,
                                                           os::RegistryView view) const override;
    std::optional<std::u16string> RegistryString(os::RegistryRoot root, const std::u16string& keyPath,
                                                 const std::u16string& valueName,
                                                 os::RegistryView view) const override;
    std::optional<std::u16string> EnvironmentVariable(const std::u16string& name) const override;
    std::u16string UserHomeFolder() const override;
    std::vector<std::u16string> FolderEntries(const std::u16string& folder) const override;
    std::optional<std::string> ReleaseText(const std::u16string& path) const override;
    std::u16string PathIdentity(const std::u16string& path) const override;
    bool IsX86Library(const std::u16string& path) const override;
};

} // namespace tala
