// Threads the launcher starts and lets run beside it, unlike RunOnOwnThread
// (os/Thread.h), which waits for its thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace tala::os {

// A thread that is asked to end from outside (by a message) and watched
// until it has. Letting go of the object does not wait for the thread.
class BackgroundThread {
public:
    // Runs body on a new thread with the system's default stack size;
    // nothing when no thread can be started.
    static std::unique_ptr<BackgroundThread> Start(std::function<std::uint32_t()> body);

    ~BackgroundThread();
    BackgroundThread(const BackgroundThread&) = delete;
    BackgroundThread& operator=(const BackgroundThread&) = delete;

    // Never waits.
    bool HasEnded() const;

    struct State;

private:
    explicit BackgroundThread(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

// Runs body on a new thread that nobody waits for; false when no thread can
// be started (body is then dropped unrun).
bool StartDetachedThread(std::function<void()> body);

void PauseMilliseconds(std::uint32_t milliseconds);

} // namespace tala::os
