// The runtimes the classic registry keys miss, for "Extended Search": the
// keys vendors write today (Adoptium, Microsoft, Azul, BellSoft, Amazon), in
// both registry views and for the machine and the user, the per-user JavaSoft
// keys, JAVA_HOME, and the folders of SDKMAN! and of IDEs (~/.jdks). Each is a
// home folder that counts only with a VM library; its version, kind and
// provider come from the home itself.
#pragma once

#include "os/PathStyle.h"
#include "runtime/JavaRuntime.h"
#include "runtime/RuntimeMachine.h"
#include "settings/LauncherSettings.h"

#include <vector>

namespace tala {

// Appends the candidates that pass the settings' filters, behind those
// already there (so those win a tie), leaving out homes already among them.
// The default pass takes 64-bit libraries, the 32-bit pass 32-bit ones.
void CollectExtendedCandidates(const LauncherSettings& settings, os::RegistryView pass,
                               const RuntimeMachine& machine, os::PathStyle style,
                               std::vector<JavaRuntime>& candidates);

} // namespace tala
