// The thread the Java application runs on: the launcher creates it with the
// stack size the VM options or the VM's defaults give, and on it creates the
// VM, checks the startup cache, redirects the output streams, runs main,
// detaches (or, for IBM runtimes, waits for the runtime to end the process)
// and destroys the VM.
#pragma once

#include <cstdint>

namespace tala {

class Launcher;

// 0 when the VM was created and main ran (with or without an uncaught
// exception); 1 on any failure before or around main.
std::uint32_t RunJavaThread(Launcher& launcher);

// The VM's default Java stack size in bytes; 0 when it gives none.
std::uint64_t DefaultJavaStackSize(const Launcher& launcher);

// Finds the main class, calls main with the program arguments and offers an
// uncaught exception to the user. False on a failure before main.
bool InvokeMain(Launcher& launcher);

} // namespace tala
