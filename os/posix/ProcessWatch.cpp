#include "os/ProcessWatch.h"

#include <cerrno>
#include <signal.h>

namespace tala::os {

// The process is watched through the block it owns: the system lets go of the
// owner's lock on it when the process ends, however it ends. That needs no
// process descriptor (which older kernels and some sandboxes refuse), and
// cannot be fooled by another process given the same id later.
struct ProcessWatch::State {
    std::shared_ptr<const SharedMemory> block;
};

ProcessWatch::ProcessWatch(std::unique_ptr<State> state) : state_(std::move(state)) {}

ProcessWatch::~ProcessWatch() = default;

std::unique_ptr<ProcessWatch> ProcessWatch::Open(std::uint32_t processId,
                                                 std::shared_ptr<const SharedMemory> ownersBlock)
{
    const auto pid = static_cast<pid_t>(processId);
    if (pid <= 0 || !ownersBlock) return nullptr;
    if (::kill(pid, 0) != 0 && errno == ESRCH) return nullptr;
    return std::unique_ptr<ProcessWatch>(new ProcessWatch(std::make_unique<State>(State{std::move(ownersBlock)})));
}

std::optional<std::uint32_t> ProcessWatch::ExitCode() const { return state_->block->OwnersExitCode(); }

} // namespace tala::os
