// One installed runtime found in the registry, as the search ranks it.
#pragma once

#include "runtime/VersionNumber.h"

#include <string>

namespace tala {

struct JavaRuntime {
    VersionNumber version;   // from the sub-key name
    std::u16string homeFolder; // ends in a separator
    bool hasServerVm = false;  // the probe of this home found the server VM
    bool preferred = false;    // of a wanted kind and from a favoured provider
};

} // namespace tala
