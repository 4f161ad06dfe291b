// A block of memory that the processes of one user share under a name. The
// process that makes the block owns it until it releases it or ends; a
// process that opens an existing block shares it with that owner.
//
// Windows: a file mapping backed by the paging file, named in the session's
// namespace; it disappears when the last process holding it lets go. POSIX: a
// file mapped in the user's private folder (os/posix/PrivateFolder.h), where
// no other user can make or change one. Its owner keeps a lock on it for as
// long as it holds it, so a block left by an owner that has ended is
// recognised, removed and made anew by the next process that opens the name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace tala::os {

class SharedMemory {
public:
    // The block of that name, made zero-filled when there is none (on POSIX
    // also when the one there has lost its owner); nothing when it cannot be
    // made, opened or mapped in full.
    static std::shared_ptr<SharedMemory> Open(const std::u16string& name, std::size_t size);

    // From now until this process ends, the owner's exit code is kept with
    // the block, for processes that wait for the owner to end (ProcessWatch):
    // POSIX tells an exit code only to the parent. Windows keeps every
    // process's exit code itself; there this does nothing.
    static void LeaveExitCodeAtExit(std::shared_ptr<SharedMemory> block);

    ~SharedMemory();
    SharedMemory(const SharedMemory&) = delete;
    SharedMemory& operator=(const SharedMemory&) = delete;

    // This process made the block (it did not exist before).
    bool IsOwner() const;

    // The whole block, as long as it was asked for.
    std::span<std::byte> Bytes() const;

    // POSIX: nothing while the owner holds the block; once its process has
    // ended, the exit code it left, or 0xFFFFFFFF (-1) when it left none.
    // Windows: always nothing (the system keeps every exit code itself).
    std::optional<std::uint32_t> OwnersExitCode() const;

    struct State;

private:
    explicit SharedMemory(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

} // namespace tala::os
