#include "os/NamedMutex.h"

#include "os/windows/UniqueHandle.h"
#include "os/windows/Wide.h"

#include <windows.h>

namespace tala::os {

struct NamedMutex::State {
    UniqueHandle mutex;
    bool held = false;
};

NamedMutex::NamedMutex(std::unique_ptr<State> state) : state_(std::move(state)) {}

NamedMutex::~NamedMutex() { Release(); }

std::unique_ptr<NamedMutex> NamedMutex::Open(const std::u16string& name)
{
    auto state = std::make_unique<State>();
    state->mutex.reset(::CreateMutexW(nullptr, FALSE, Wide(name)));
    if (state->mutex == nullptr) return nullptr;
    return std::unique_ptr<NamedMutex>(new NamedMutex(std::move(state)));
}

bool NamedMutex::Acquire(std::uint32_t milliseconds)
{
    // A holder that ended without letting go abandons the mutex to the next
    // waiter, which then holds it as usual.
    const DWORD result = ::WaitForSingleObject(state_->mutex.get(), milliseconds);
    state_->held = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    return state_->held;
}

void NamedMutex::Release()
{
    if (state_->held) ::ReleaseMutex(state_->mutex.get());
    state_->held = false;
}

} // namespace tala::os
