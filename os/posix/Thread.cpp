#include "os/Thread.h"

#include "os/ThreadMessages.h"

#include <atomic>
#include <cerrno>
#include <ctime>
#include <limits.h>
#include <pthread.h>
#include <unistd.h>

namespace tala::os {

struct Thread::Shared {
    ThreadBody body = nullptr;
    void* argument = nullptr;
    std::atomic<int> holders{2}; // the object and the thread
    std::atomic<ThreadId> id{0};
    std::atomic<bool> ended{false};
    std::uint32_t result = 0; // read once ended is seen, or after joining
    pthread_t thread{};
    bool joined = false;
};

namespace {

void Release(Thread::Shared* shared)
{
    if (shared != nullptr && shared->holders.fetch_sub(1) == 1) delete shared;
}

// noexcept: an error that reaches the top of a thread ends the process with
// a word (os/FatalError.h), not somewhere in the thread library.
void* ThreadEntry(void* start) noexcept
{
    auto* shared = static_cast<Thread::Shared*>(start);
    shared->id.store(CurrentThreadId());
    shared->result = shared->body(shared->argument);
    shared->ended.store(true, std::memory_order_release);
    Release(shared);
    return nullptr;
}

class ThreadAttributes {
public:
    ThreadAttributes() { ok_ = ::pthread_attr_init(&attributes_) == 0; }
    ~ThreadAttributes()
    {
        if (ok_) ::pthread_attr_destroy(&attributes_);
    }
    ThreadAttributes(const ThreadAttributes&) = delete;
    ThreadAttributes& operator=(const ThreadAttributes&) = delete;

    bool Ok() const { return ok_; }
    pthread_attr_t* Get() { return &attributes_; }

private:
    pthread_attr_t attributes_{};
    bool ok_ = false;
};

// pthreads wants at least PTHREAD_STACK_MIN, in whole pages.
std::size_t UsableStackSize(std::size_t requested)
{
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const auto minimum = static_cast<std::size_t>(PTHREAD_STACK_MIN);
    const std::size_t size = requested < minimum ? minimum : requested;
    return (size + page - 1) / page * page;
}

} // namespace

Thread::~Thread()
{
    if (shared_ != nullptr && !shared_->joined) {
        // An ended thread is reaped; one still running goes on by itself.
        if (HasEnded()) {
            ::pthread_join(shared_->thread, nullptr);
        } else {
            ::pthread_detach(shared_->thread);
        }
    }
    Release(shared_);
}

bool Thread::Start(ThreadBody body, void* argument, std::size_t stackSize)
{
    if (shared_ != nullptr) return false;
    ThreadAttributes attributes;
    if (!attributes.Ok()) return false;
    if (stackSize != 0) ::pthread_attr_setstacksize(attributes.Get(), UsableStackSize(stackSize));
    auto* shared = new Shared{body, argument};
    if (::pthread_create(&shared->thread, attributes.Get(), ThreadEntry, shared) != 0) {
        delete shared;
        return false;
    }
    shared_ = shared;
    return true;
}

std::uint32_t Thread::Join()
{
    if (shared_ == nullptr) return 0;
    if (!shared_->joined) ::pthread_join(shared_->thread, nullptr);
    shared_->joined = true;
    return shared_->result;
}

bool Thread::HasEnded() const
{
    return shared_ == nullptr || shared_->ended.load(std::memory_order_acquire);
}

ThreadId Thread::Id() const { return shared_ == nullptr ? 0 : shared_->id.load(); }

void SleepForever()
{
    for (;;) ::pause();
}

void PauseMilliseconds(std::uint32_t milliseconds)
{
    timespec left{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (::nanosleep(&left, &left) != 0 && errno == EINTR) {}
}

} // namespace tala::os
