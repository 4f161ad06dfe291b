// The settings text an executable may carry in its resources, found through
// the product's "Upgrade Code".
#pragma once

#include <string>

namespace tala {

// Empty when the executable carries none.
std::u16string LoadEmbeddedSettingsText(const std::u16string& upgradeCode);

} // namespace tala
