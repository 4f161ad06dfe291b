#include "os/ProcessWatch.h"

#include "os/windows/UniqueHandle.h"

#include <windows.h>

namespace tala::os {

struct ProcessWatch::State {
    UniqueHandle process;
};

ProcessWatch::ProcessWatch(std::unique_ptr<State> state) : state_(std::move(state)) {}

ProcessWatch::~ProcessWatch() = default;

std::unique_ptr<ProcessWatch> ProcessWatch::Open(std::uint32_t processId,
                                                 std::shared_ptr<const SharedMemory>)
{
    auto state = std::make_unique<State>();
    state->process.reset(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    if (state->process == nullptr) return nullptr;
    return std::unique_ptr<ProcessWatch>(new ProcessWatch(std::move(state)));
}

std::optional<std::uint32_t> ProcessWatch::ExitCode() const
{
    DWORD exitCode = 0;
    if (!::GetExitCodeProcess(state_->process.get(), &exitCode)) return 0xFFFFFFFFu;
    if (exitCode == STILL_ACTIVE) return std::nullopt;
    return exitCode;
}

} // namespace tala::os
