#include "instance/SingleInstance.h"

namespace tala {

// Single-instance mode is not available yet: every start is a normal one.
bool CheckSingleInstance(Launcher&) { return true; }

std::int32_t WaitForFirstInstance(Launcher&) { return 0; }

void StopSingleInstance(Launcher&) {}

} // namespace tala
