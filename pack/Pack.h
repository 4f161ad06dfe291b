// tala-pack's work: a launcher branded for a product. Windows launchers
// carry their settings, icon, version information and manifest as
// resources; Linux launchers carry their settings in a trailer. Both may
// carry the application's jar at their end.
#pragma once

#include "pack/PackRequest.h"

#include <string>

namespace tala::pack {

// Writes the branded launcher to request.output; false with a message that
// names the file at fault, and then no output file is left behind.
bool Pack(const PackRequest& request, std::u16string& error);

} // namespace tala::pack
