// The machine's registry of installed Java runtimes. On Windows it is
// HKEY_LOCAL_MACHINE (or, for per-user installs, HKEY_CURRENT_USER), read in
// the default or the 32-bit view. Elsewhere it is
// a read-only view made from the runtime folders found on the machine: every
// folder with a "release" file is a sub-key named after its JAVA_VERSION under
// "Software\JavaSoft\JDK\" (when it has bin/javac) or "Software\JavaSoft\JRE\",
// with the folder as its "JavaHome"; there is no 32-bit view and no per-user part. Nothing is cached:
// every call reads the machine anew.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tala::os {

enum class RegistryView { Default, Bits32 };
enum class RegistryRoot { LocalMachine, CurrentUser };

// The sub-key names of a key, in index order; nothing when the key cannot be opened.
std::optional<std::vector<std::u16string>> ReadRegistrySubKeyNames(const std::u16string& keyPath,
                                                                   RegistryView view,
                                                                   RegistryRoot root = RegistryRoot::LocalMachine);

// A string value of a key, as stored (not expanded); nothing when the key or
// the value is missing or cannot be read.
std::optional<std::u16string> ReadRegistryString(const std::u16string& keyPath,
                                                 const std::u16string& valueName,
                                                 RegistryView view,
                                                 RegistryRoot root = RegistryRoot::LocalMachine);

} // namespace tala::os
