// What the user sees when no runtime was found: which runtime is needed, and
// a way to pick an installed one, which is then remembered.
#pragma once

namespace tala {

class Launcher;

// True when the user confirmed a runtime folder (vmLibraryPath is then set);
// false when the user cancelled or the dialog cannot be created.
bool ShowRuntimeNotFoundDialog(Launcher& launcher);

} // namespace tala
