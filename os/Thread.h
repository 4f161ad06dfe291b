// Threads the launcher runs work on, and waits for.
#pragma once

#include <cstdint>
#include <cstddef>

namespace tala::os {

using ThreadBody = std::uint32_t (*)(void* argument);

// Runs body on a new thread with the given stack size (0: the system's
// default) and waits for it without time-out; returns its result. When no
// thread can be created, body runs on the calling thread.
std::uint32_t RunOnOwnThread(std::size_t stackSize, ThreadBody body, void* argument);

// Blocks the calling thread for good.
[[noreturn]] void SleepForever();

} // namespace tala::os
