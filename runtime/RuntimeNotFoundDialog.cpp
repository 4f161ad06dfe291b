#include "runtime/RuntimeNotFoundDialog.h"

namespace tala {

// The dialog does not exist yet: it counts as one that cannot be created.
bool ShowRuntimeNotFoundDialog(Launcher&) { return false; }

} // namespace tala
