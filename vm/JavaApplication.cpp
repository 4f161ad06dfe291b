#include "vm/JavaApplication.h"

namespace tala {

// No VM can be started yet.
std::int32_t RunJavaApplication(Launcher&) { return -1; }

} // namespace tala
