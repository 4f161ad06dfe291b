// The threads the launcher runs work on -- the Java application's, the
// splash window's, the single-instance listener and its hand-off workers --
// each owned by one Thread object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

namespace tala::os {

using ThreadId = std::uint32_t;
using ThreadBody = std::uint32_t (*)(void* argument);

class Thread {
public:
    Thread() = default;
    // Lets go of the thread without waiting for it: one still running runs on.
    ~Thread();
    Thread(Thread&& other) noexcept : shared_(std::exchange(other.shared_, nullptr)) {}
    Thread& operator=(Thread&& other) noexcept
    {
        std::swap(shared_, other.shared_);
        return *this;
    }
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Runs body(argument) on a new thread with the given stack size (0: the
    // system's default). False when no thread can be started, or when this
    // object holds one already.
    bool Start(ThreadBody body, void* argument, std::size_t stackSize = 0);

    // Waits without a time-out until the thread has ended; its body's result
    // (0 when no thread is held).
    std::uint32_t Join();

    // Never waits; true also when no thread is held.
    bool HasEnded() const;

    // The id thread messages reach the thread by; 0 until it runs.
    ThreadId Id() const;

    // What the object shares with its thread, which may outlive it.
    struct Shared;

private:
    Shared* shared_ = nullptr;
};

// Blocks the calling thread for good.
[[noreturn]] void SleepForever();

void PauseMilliseconds(std::uint32_t milliseconds);

} // namespace tala::os
