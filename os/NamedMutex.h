// A lock that the processes of one user share under a name, held by one of
// them at a time. Windows: a kernel mutex named in the session's namespace.
// POSIX: a lock on a file in the user's private folder. Either way the
// system lets go of it when its holder ends.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tala::os {

class NamedMutex {
public:
    // Nothing when the system cannot make or open it.
    static std::unique_ptr<NamedMutex> Open(const std::u16string& name);

    // Lets go of the lock if this object holds it.
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Takes the lock, waiting at most that long for its holder to let go;
    // false when it could not be taken in time. On Windows the thread that
    // takes it must be the one that lets go of it.
    bool Acquire(std::uint32_t milliseconds);

    void Release();

    struct State;

private:
    explicit NamedMutex(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

} // namespace tala::os
