// A manual-reset event: once set it stays set, and every waiter passes.
// Windows: a kernel event under the name given (none when it is empty).
// POSIX: an event of this process only, as no other process waits for it;
// the name is not used.
#pragma once

#include <memory>
#include <string>

namespace tala::os {

class Event {
public:
    // Not set at first; nothing when the system cannot make one.
    static std::unique_ptr<Event> Create(const std::u16string& name);

    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();

    // Blocks until the event is set, without time limit.
    void Wait();

    struct State;

private:
    explicit Event(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

} // namespace tala::os
