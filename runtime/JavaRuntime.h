// One installed runtime found by the search, as the search ranks it.
#pragma once

#include "runtime/VersionNumber.h"

#include <string>

namespace tala {

enum class RuntimeKind { Jdk, Jre };
enum class RuntimeProvider { Sun, JRockit, Ibm };

struct JavaRuntime {
    VersionNumber version;     // from the sub-key name, or the release file
    std::u16string homeFolder; // ends in a separator
    bool hasServerVm = false;  // the probe of this home found the server VM
    bool preferred = false;    // of a wanted kind and from a favoured provider
    RuntimeKind kind = RuntimeKind::Jre;
    RuntimeProvider provider = RuntimeProvider::Sun;
    std::u16string source;     // where the search found it, for the trace
    std::u16string vmLibrary;  // what the probe found; empty before the probe
};

} // namespace tala
