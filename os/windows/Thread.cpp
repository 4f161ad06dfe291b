#include "os/Thread.h"

#include "os/windows/UniqueHandle.h"

namespace tala::os {
namespace {

struct ThreadStart {
    ThreadBody body;
    void* argument;
};

// noexcept: an error that reaches the top of a thread ends the process with
// a word (os/FatalError.h), not somewhere in the system's thread code.
DWORD WINAPI ThreadEntry(LPVOID start) noexcept
{
    const auto* work = static_cast<const ThreadStart*>(start);
    return work->body(work->argument);
}

} // namespace

std::uint32_t RunOnOwnThread(std::size_t stackSize, ThreadBody body, void* argument)
{
    ThreadStart start{body, argument};
    const UniqueHandle thread(::CreateThread(nullptr, stackSize, ThreadEntry, &start, 0, nullptr));
    if (thread == nullptr) return body(argument);
    ::WaitForSingleObject(thread.get(), INFINITE);
    DWORD exitCode = 0;
    ::GetExitCodeThread(thread.get(), &exitCode);
    return exitCode;
}

void SleepForever()
{
    for (;;) ::Sleep(INFINITE);
}

} // namespace tala::os
