// One running instance per executable: a later start hands its arguments to
// the running one and exits with its answer.
#pragma once

#include <cstdint>

namespace tala {

class Launcher;

// False makes start-up fail (a second start whose hand-off did not work).
bool CheckSingleInstance(Launcher& launcher);

// A second start's whole run: the first instance's answer.
std::int32_t WaitForFirstInstance(Launcher& launcher);

// Ends the first instance's listener and releases the shared block.
void StopSingleInstance(Launcher& launcher);

} // namespace tala
