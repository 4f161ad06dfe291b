#include "os/NamedMutex.h"

#include "os/Thread.h"
#include "os/Utf8.h"
#include "os/posix/ByteLock.h"
#include "os/posix/PrivateFolder.h"

#include <chrono>

namespace tala::os {
namespace {

constexpr std::uint32_t kPollMilliseconds = 5;

} // namespace

struct NamedMutex::State {
    FileDescriptor file;
    bool held = false;
};

NamedMutex::NamedMutex(std::unique_ptr<State> state) : state_(std::move(state)) {}

NamedMutex::~NamedMutex() = default;

std::unique_ptr<NamedMutex> NamedMutex::Open(const std::u16string& name)
{
    const std::optional<std::string> folder = PrivateFolder();
    if (!folder) return nullptr;
    FileDescriptor file = OpenPrivateFile(*folder, PrivateFileName("lock." + ToUtf8(name)));
    if (!file.IsValid()) return nullptr;
    return std::unique_ptr<NamedMutex>(new NamedMutex(std::make_unique<State>(State{std::move(file), false})));
}

bool NamedMutex::Acquire(std::uint32_t milliseconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!SetByteLock(state_->file.Get(), 0, F_WRLCK)) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        PauseMilliseconds(kPollMilliseconds);
    }
    state_->held = true;
    return true;
}

void NamedMutex::Release()
{
    if (state_->held) SetByteLock(state_->file.Get(), 0, F_UNLCK);
    state_->held = false;
}

} // namespace tala::os
