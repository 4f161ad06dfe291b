#include "os/Thread.h"

#include <limits.h>
#include <pthread.h>
#include <unistd.h>

namespace tala::os {
namespace {

struct ThreadStart {
    ThreadBody body;
    void* argument;
    std::uint32_t result = 0;
};

// noexcept: an error that reaches the top of a thread ends the process with
// a word (os/FatalError.h), not somewhere in the thread library.
void* ThreadEntry(void* start) noexcept
{
    auto* work = static_cast<ThreadStart*>(start);
    work->result = work->body(work->argument);
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

std::uint32_t RunOnOwnThread(std::size_t stackSize, ThreadBody body, void* argument)
{
    ThreadStart start{body, argument};
    ThreadAttributes attributes;
    if (!attributes.Ok()) return body(argument);
    if (stackSize != 0) ::pthread_attr_setstacksize(attributes.Get(), UsableStackSize(stackSize));
    pthread_t thread{};
    if (::pthread_create(&thread, attributes.Get(), ThreadEntry, &start) != 0) return body(argument);
    ::pthread_join(thread, nullptr);
    return start.result;
}

void SleepForever()
{
    for (;;) ::pause();
}

} // namespace tala::os
