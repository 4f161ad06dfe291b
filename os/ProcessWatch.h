// Another process, watched until it ends, and its exit code then.
#pragma once

#include "os/SharedMemory.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace tala::os {

class ProcessWatch {
public:
    // The process of that id, which owns ownersBlock (on POSIX its end and
    // exit code are read from there). Nothing when it cannot be opened, for
    // example because it has ended already.
    static std::unique_ptr<ProcessWatch> Open(std::uint32_t processId,
                                              std::shared_ptr<const SharedMemory> ownersBlock);

    ~ProcessWatch();
    ProcessWatch(const ProcessWatch&) = delete;
    ProcessWatch& operator=(const ProcessWatch&) = delete;

    // Nothing while the process runs (on Windows also while its exit code
    // reads as STILL_ACTIVE, 259); once it has ended its exit code, or
    // 0xFFFFFFFF (-1) when that cannot be told.
    std::optional<std::uint32_t> ExitCode() const;

    struct State;

private:
    explicit ProcessWatch(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

} // namespace tala::os
