// The search for a Java runtime's VM library: the "JRE Path" folder, a runtime
// beside the executable, then the installed runtimes.
#pragma once

namespace tala {

class Launcher;

// Fills vmLibraryPath (and runtimeVersion, runPairProduct); true when a VM
// library was found. Reports nothing.
bool FindRuntime(Launcher& launcher);

} // namespace tala
