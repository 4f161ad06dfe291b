#include "os/BackgroundThread.h"

#include <atomic>
#include <cerrno>
#include <ctime>
#include <pthread.h>

namespace tala::os {
namespace {

// What the thread and its owner share; the thread may outlive the owner.
struct Run {
    std::function<std::uint32_t()> body;
    std::atomic<bool> ended{false};
};

void* BackgroundEntry(void* start) noexcept
{
    const std::unique_ptr<std::shared_ptr<Run>> run(static_cast<std::shared_ptr<Run>*>(start));
    (*run)->body();
    (*run)->ended.store(true, std::memory_order_release);
    return nullptr;
}

void* DetachedEntry(void* start) noexcept
{
    const std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(start));
    (*body)();
    return nullptr;
}

} // namespace

struct BackgroundThread::State {
    pthread_t thread{};
    std::shared_ptr<Run> run;
};

BackgroundThread::BackgroundThread(std::unique_ptr<State> state) : state_(std::move(state)) {}

BackgroundThread::~BackgroundThread()
{
    if (HasEnded()) {
        ::pthread_join(state_->thread, nullptr);
    } else {
        ::pthread_detach(state_->thread);
    }
}

std::unique_ptr<BackgroundThread> BackgroundThread::Start(std::function<std::uint32_t()> body)
{
    auto state = std::make_unique<State>();
    state->run = std::make_shared<Run>();
    state->run->body = std::move(body);
    auto start = std::make_unique<std::shared_ptr<Run>>(state->run);
    if (::pthread_create(&state->thread, nullptr, BackgroundEntry, start.get()) != 0) return nullptr;
    start.release(); // the thread's now
    return std::unique_ptr<BackgroundThread>(new BackgroundThread(std::move(state)));
}

bool BackgroundThread::HasEnded() const { return state_->run->ended.load(std::memory_order_acquire); }

bool StartDetachedThread(std::function<void()> body)
{
    auto start = std::make_unique<std::function<void()>>(std::move(body));
    pthread_t thread{};
    if (::pthread_create(&thread, nullptr, DetachedEntry, start.get()) != 0) return false;
    start.release(); // the thread's now
    ::pthread_detach(thread);
    return true;
}

void PauseMilliseconds(std::uint32_t milliseconds)
{
    timespec left{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (::nanosleep(&left, &left) != 0 && errno == EINTR) {}
}

} // namespace tala::os
