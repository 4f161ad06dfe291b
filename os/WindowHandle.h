// An opaque window handle, so portable code can carry the owner of message
// boxes without knowing the windowing system.
#pragma once

namespace tala::os {

using WindowHandle = void*;

} // namespace tala::os
