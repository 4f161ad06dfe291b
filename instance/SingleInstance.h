// One running instance per executable: a later start hands its arguments to
// the running one, whose "secondaryMain" receives them, and exits with its
// answer.
#pragma once

#include <cstdint>

namespace tala {

class Launcher;

// With "Single Instance" set to "yes" (and the application no service): finds
// or makes the shared block. A first instance starts its listener; a second
// start leaves its arguments in the block and tells the first instance.
// False makes start-up fail: a second start whose arguments do not fit or
// whose message could not be posted. A setup that fails otherwise switches
// single instance off, and the start goes on as a normal one.
bool CheckSingleInstance(Launcher& launcher);

// A second start's whole run: the first instance's answer, or its exit code
// when it ends without one; 0 when it cannot be watched.
std::int32_t WaitForFirstInstance(Launcher& launcher);

// Right before main is called, on the Java thread: releases the hand-offs.
void SetMainStartedEvent(Launcher& launcher);

// Right before the VM is destroyed: hand-offs from now on find no VM, and
// the later starts behind them wait for this process to end.
void ForgetVmForHandOffs(Launcher& launcher);

// Ends the first instance's listener and lets go of the shared block; hand-off
// workers still running are not waited for.
void StopSingleInstance(Launcher& launcher);

} // namespace tala
