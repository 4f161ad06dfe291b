#include "settings/EmbeddedSettingsText.h"

namespace tala {

// Executables built from this tree carry no settings text yet: every layered
// lookup falls through to the settings file.
std::u16string LoadEmbeddedSettingsText(const std::u16string&) { return {}; }

} // namespace tala
