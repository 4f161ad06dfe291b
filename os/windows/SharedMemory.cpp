#include "os/SharedMemory.h"

#include "os/windows/UniqueHandle.h"
#include "os/windows/Wide.h"

#include <windows.h>

namespace tala::os {

struct SharedMemory::State {
    UniqueHandle mapping;
    void* view = nullptr;
    std::size_t size = 0;
    bool owner = false;

    ~State()
    {
        if (view != nullptr) ::UnmapViewOfFile(view);
    }
};

SharedMemory::SharedMemory(std::unique_ptr<State> state) : state_(std::move(state)) {}

SharedMemory::~SharedMemory() = default;

std::shared_ptr<SharedMemory> SharedMemory::Open(const std::u16string& name, std::size_t size)
{
    if (size == 0 || size > MAXDWORD) return nullptr;
    auto state = std::make_unique<State>();
    ::SetLastError(ERROR_SUCCESS);
    state->mapping.reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                              static_cast<DWORD>(size), Wide(name)));
    // Read at once: the next call may change it.
    const DWORD created = ::GetLastError();
    if (state->mapping == nullptr) return nullptr;
    state->owner = created == ERROR_SUCCESS;
    // The size asked for, never the whole mapping: a block of that name that
    // another program made smaller then fails here instead of being read past.
    state->view = ::MapViewOfFile(state->mapping.get(), FILE_MAP_WRITE, 0, 0, size);
    if (state->view == nullptr) return nullptr;
    state->size = size;
    return std::shared_ptr<SharedMemory>(new SharedMemory(std::move(state)));
}

void SharedMemory::LeaveExitCodeAtExit(std::shared_ptr<SharedMemory>) {}

bool SharedMemory::IsOwner() const { return state_->owner; }

std::span<std::byte> SharedMemory::Bytes() const
{
    return {static_cast<std::byte*>(state_->view), state_->size};
}

std::optional<std::uint32_t> SharedMemory::OwnersExitCode() const { return std::nullopt; }

} // namespace tala::os
