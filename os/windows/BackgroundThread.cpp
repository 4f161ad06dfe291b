#include "os/BackgroundThread.h"

#include "os/windows/UniqueHandle.h"

#include <type_traits>

namespace tala::os {
namespace {

template <typename Body>
DWORD WINAPI ThreadEntry(LPVOID start) noexcept
{
    const std::unique_ptr<Body> body(static_cast<Body*>(start));
    if constexpr (std::is_void_v<decltype((*body)())>) {
        (*body)();
        return 0;
    } else {
        return (*body)();
    }
}

// The thread owns its body from its first instruction; when none can be
// started the body is freed here.
template <typename Body>
HANDLE StartThread(Body body)
{
    auto start = std::make_unique<Body>(std::move(body));
    const HANDLE thread = ::CreateThread(nullptr, 0, ThreadEntry<Body>, start.get(), 0, nullptr);
    if (thread != nullptr) start.release();
    return thread;
}

} // namespace

struct BackgroundThread::State {
    UniqueHandle thread;
};

BackgroundThread::BackgroundThread(std::unique_ptr<State> state) : state_(std::move(state)) {}

BackgroundThread::~BackgroundThread() = default;

std::unique_ptr<BackgroundThread> BackgroundThread::Start(std::function<std::uint32_t()> body)
{
    auto state = std::make_unique<State>();
    state->thread.reset(StartThread(std::move(body)));
    if (state->thread == nullptr) return nullptr;
    return std::unique_ptr<BackgroundThread>(new BackgroundThread(std::move(state)));
}

bool BackgroundThread::HasEnded() const
{
    DWORD exitCode = 0;
    // A thread whose state cannot be read is not waited for.
    if (!::GetExitCodeThread(state_->thread.get(), &exitCode)) return true;
    return exitCode != STILL_ACTIVE;
}

bool StartDetachedThread(std::function<void()> body)
{
    const UniqueHandle thread(StartThread(std::move(body)));
    return thread != nullptr;
}

void PauseMilliseconds(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

} // namespace tala::os
