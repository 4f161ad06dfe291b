#include "runtime/FindRuntime.h"

namespace tala {

// No runtime source is searched yet.
bool FindRuntime(Launcher&) { return false; }

} // namespace tala
