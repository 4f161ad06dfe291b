#include "os/ProcessWatch.h"

#include "os/posix/FileDescriptor.h"

#include <cerrno>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tala::os {

// A process descriptor names one process for good, even after its id is
// given to another one.
struct ProcessWatch::State {
    State(int descriptor, std::shared_ptr<const SharedMemory> ownersBlock)
        : process(descriptor), block(std::move(ownersBlock))
    {
    }
    FileDescriptor process;
    std::shared_ptr<const SharedMemory> block;
};

ProcessWatch::ProcessWatch(std::unique_ptr<State> state) : state_(std::move(state)) {}

ProcessWatch::~ProcessWatch() = default;

std::unique_ptr<ProcessWatch> ProcessWatch::Open(std::uint32_t processId,
                                                 std::shared_ptr<const SharedMemory> ownersBlock)
{
    const auto pid = static_cast<pid_t>(processId);
    if (pid <= 0) return nullptr;
    const auto descriptor = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (descriptor < 0) return nullptr;
    return std::unique_ptr<ProcessWatch>(
        new ProcessWatch(std::make_unique<State>(descriptor, std::move(ownersBlock))));
}

std::optional<std::uint32_t> ProcessWatch::ExitCode() const
{
    pollfd ended{state_->process.Get(), POLLIN, 0};
    const int ready = ::poll(&ended, 1, 0);
    if (ready == 0 || (ready < 0 && errno == EINTR)) return std::nullopt;
    // Only the parent is told how a process ended; the owner of a block
    // leaves its exit code there as it ends.
    std::optional<std::uint32_t> exitCode;
    if (ready > 0 && state_->block) exitCode = state_->block->ExitCodeLeftByOwner();
    return exitCode.value_or(0xFFFFFFFFu);
}

} // namespace tala::os
