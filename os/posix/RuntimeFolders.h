// The Java runtimes installed on a POSIX machine, found as folders: each one
// with a "release" file that names its JAVA_VERSION. They stand in for the
// registry keys Windows runtimes write.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tala::os {

struct RuntimeFolder {
    std::u16string name; // the JAVA_VERSION value, the sub-key name
    std::u16string home; // the folder, links resolved
    bool isJdk = false;  // it has bin/javac
};

// Where distributions and vendors install runtimes.
std::vector<std::string> DefaultRuntimeRoots();

// The folders directly below the roots, in root order and then name order.
// A folder reached twice (through a link) counts once; of two runtimes with
// the same version and kind the first is kept, as a registry holds one key
// of a name.
std::vector<RuntimeFolder> ScanRuntimeFolders(const std::vector<std::string>& roots);

} // namespace tala::os
