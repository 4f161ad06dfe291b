// The paired executable: started with the launcher's own command line when
// the chosen runtime is a 32-bit one this process cannot load.
#pragma once

#include <cstdint>

namespace tala {

class Launcher;

// The exit code of the launcher process: 0, or the pair's own exit code when
// "Pair Return Code" asks to wait for it.
std::int32_t StartPairProduct(Launcher& launcher);

} // namespace tala
