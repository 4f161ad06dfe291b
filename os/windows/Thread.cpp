#include "os/Thread.h"

#include <windows.h>

#include <atomic>

namespace tala::os {

struct Thread::Shared {
    ThreadBody body = nullptr;
    void* argument = nullptr;
    std::atomic<int> holders{2}; // the object and the thread
    HANDLE handle = nullptr;
    ThreadId id = 0;
};

namespace {

void Release(Thread::Shared* shared)
{
    if (shared != nullptr && shared->holders.fetch_sub(1) == 1) delete shared;
}

// noexcept: an error that reaches the top of a thread ends the process with
// a word (os/FatalError.h), not somewhere in the system's thread code.
DWORD WINAPI ThreadEntry(LPVOID start) noexcept
{
    auto* shared = static_cast<Thread::Shared*>(start);
    const ThreadBody body = shared->body;
    void* const argument = shared->argument;
    Release(shared);
    return body(argument);
}

} // namespace

Thread::~Thread()
{
    if (shared_ != nullptr) ::CloseHandle(shared_->handle);
    Release(shared_);
}

bool Thread::Start(ThreadBody body, void* argument, std::size_t stackSize)
{
    if (shared_ != nullptr) return false;
    auto* shared = new Shared{body, argument};
    DWORD id = 0;
    shared->handle = ::CreateThread(nullptr, stackSize, ThreadEntry, shared, 0, &id);
    if (shared->handle == nullptr) {
        delete shared;
        return false;
    }
    shared->id = id;
    shared_ = shared;
    return true;
}

std::uint32_t Thread::Join()
{
    if (shared_ == nullptr) return 0;
    ::WaitForSingleObject(shared_->handle, INFINITE);
    DWORD exitCode = 0;
    ::GetExitCodeThread(shared_->handle, &exitCode);
    return exitCode;
}

bool Thread::HasEnded() const
{
    if (shared_ == nullptr) return true;
    DWORD exitCode = 0;
    // A thread whose state cannot be read is not waited for.
    if (!::GetExitCodeThread(shared_->handle, &exitCode)) return true;
    return exitCode != STILL_ACTIVE;
}

ThreadId Thread::Id() const { return shared_ == nullptr ? 0 : shared_->id; }

void SleepForever()
{
    for (;;) ::Sleep(INFINITE);
}

void PauseMilliseconds(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

} // namespace tala::os
