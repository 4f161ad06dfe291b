// The trace line of one runtime candidate: where it was found, what it is,
// and why it was taken or refused.
#pragma once

#include "os/PathStyle.h"
#include "runtime/JavaRuntime.h"
#include "runtime/RuntimeMachine.h"
#include "settings/LauncherSettings.h"

namespace tala {

enum class Verdict {
    Taken,
    NoHome,         // the key names no home folder
    MissingLibrary, // no VM library in the home (a stale key, a removed runtime)
    VmType,         // only other VM types than "JVM Type" asks for
    ReachedBefore,  // the same home through another key or link
    NoVersion,      // no JAVA_VERSION in its release file
    VersionBound,
    Kind,
    Provider,
    Bits32,         // a 32-bit library this launcher cannot load
    Bits64,         // looking for 32-bit runtimes for the pair product
    RankedLower,
    NotPreferred,   // a "Preferred versions" entry chose another
};

void TraceCandidate(const JavaRuntime& runtime, Verdict verdict);

// Why a home without a VM library of the type asked for is refused: VmType
// when it has a library of another type, else MissingLibrary.
Verdict MissingLibraryVerdict(const std::u16string& home, JvmType type, const RuntimeMachine& machine,
                              os::PathStyle style);

} // namespace tala
