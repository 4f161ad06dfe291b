// What the runtime search looks at on the machine: files, and the registry of
// installed runtimes. The search sees the machine only through this, so the
// ranking rules can be tried on made-up machines.
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
    virtual std::optional<std::vector<std::u16string>> SubKeyNames(const std::u16string& keyPath,
                                                                   os::RegistryView view) const = 0;
    // The "JavaHome" value of a version sub-key.
    virtual std::optional<std::u16string> JavaHome(const std::u16string& subKeyPath,
                                                   os::RegistryView view) const = 0;
};

// The machine the launcher runs on.
class SystemRuntimeMachine final : public RuntimeMachine {
public:
    bool PathExists(const std::u16string& path) const override;
    std::optional<std::vector<std::u16string>> SubKeyNames(const std::u16string& keyPath,
                                                           os::RegistryView view) const override;
    std::optional<std::u16string> JavaHome(const std::u16string& subKeyPath,
                                           os::RegistryView view) const override;
};

} // namespace tala
