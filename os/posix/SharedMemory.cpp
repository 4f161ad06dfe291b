#include "os/SharedMemory.h"

#include "os/Utf8.h"
#include "os/posix/ByteLock.h"
#include "os/posix/FileDescriptor.h"
#include "os/posix/PrivateFolder.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tala::os {
namespace {

// Each attempt either settles the block or finds that another process has
// just removed or replaced it: a few are plenty.
constexpr int kAttempts = 100;

// Two locks on one byte each. The owner holds the first for as long as it
// holds the block. The second is held only while a process decides about
// the block (takes it, removes it, or shares it): so a process that finds
// the first lock free knows that the owner has gone, not that it is still
// on its way to taking it.
constexpr off_t kOwnerByte = 0;
constexpr off_t kDecisionByte = 1;

// What the owner leaves behind the block as its process ends.
struct ExitRecord {
    std::uint32_t left;
    std::uint32_t exitCode;
};
constexpr std::uint32_t kExitCodeLeft = 1;

std::size_t RecordOffset(std::size_t size)
{
    constexpr std::size_t align = alignof(ExitRecord);
    return (size + align - 1) / align * align;
}

// Whether the path still leads to this open file: another process may have
// removed it, and maybe made a new one, since it was opened.
bool IsNamedObject(int fd, const std::string& path)
{
    struct stat mine {};
    struct stat named {};
    return ::fstat(fd, &mine) == 0 && ::lstat(path.c_str(), &named) == 0 && mine.st_dev == named.st_dev &&
           mine.st_ino == named.st_ino;
}

off_t SizeOf(int fd)
{
    struct stat status {};
    return ::fstat(fd, &status) == 0 ? status.st_size : -1;
}

enum class Outcome { Settled, Again, Failed };

} // namespace

struct SharedMemory::State {
    State(FileDescriptor descriptor, std::string filePath) : fd(std::move(descriptor)), path(std::move(filePath)) {}

    ~State()
    {
        if (view != MAP_FAILED) ::munmap(view, mappedSize);
        RemoveName();
    }

    // The next start makes a fresh block instead of finding this one. A
    // process still sharing it keeps what it mapped, exit code included.
    void RemoveName()
    {
        if (!owner || !SetByteLock(fd.Get(), kDecisionByte, F_WRLCK, true)) return;
        if (IsNamedObject(fd.Get(), path)) ::unlink(path.c_str());
        SetByteLock(fd.Get(), kDecisionByte, F_UNLCK);
    }

    State(const State&) = delete;
    State& operator=(const State&) = delete;

    ExitRecord* Record() const
    {
        return reinterpret_cast<ExitRecord*>(static_cast<std::byte*>(view) + RecordOffset(size));
    }

    // Decides, under the decision lock, whether this process owns the block
    // or shares it; removes a block whose owner has gone.
    Outcome Settle(std::size_t total)
    {
        const int descriptor = fd.Get();
        if (!SetByteLock(descriptor, kDecisionByte, F_WRLCK, true)) return Outcome::Failed;
        if (!IsNamedObject(descriptor, path)) return Outcome::Again;
        const off_t current = SizeOf(descriptor);
        if (SetByteLock(descriptor, kOwnerByte, F_WRLCK)) {
            // Nobody owns it. An empty object is new (or its maker ended
            // before it gave it a size, and nobody can have used it); one
            // with content was left by an owner that ended without removing
            // it: processes that still share it must keep reading what it
            // left there, so it goes, and the next attempt makes a new one.
            if (current != 0) {
                ::unlink(path.c_str());
                return Outcome::Again;
            }
            if (::ftruncate(descriptor, static_cast<off_t>(total)) != 0) return Outcome::Failed;
            owner = true;
        } else if (current < static_cast<off_t>(total)) {
            return Outcome::Failed; // not one of these blocks
        }
        SetByteLock(descriptor, kDecisionByte, F_UNLCK);
        return Outcome::Settled;
    }

    FileDescriptor fd; // the owner's lock lives as long as this stays open
    std::string path;
    void* view = MAP_FAILED;
    std::size_t mappedSize = 0;
    std::size_t size = 0;
    bool owner = false;
};

SharedMemory::SharedMemory(std::unique_ptr<State> state) : state_(std::move(state)) {}

SharedMemory::~SharedMemory() = default;

std::shared_ptr<SharedMemory> SharedMemory::Open(const std::u16string& name, std::size_t size)
{
    if (size == 0) return nullptr;
    const std::optional<std::string> folder = PrivateFolder();
    if (!folder) return nullptr;
    const std::string fileName = PrivateFileName("block." + ToUtf8(name));
    const std::size_t total = RecordOffset(size) + sizeof(ExitRecord);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        FileDescriptor file = OpenPrivateFile(*folder, fileName);
        if (!file.IsValid()) return nullptr;
        const int descriptor = file.Get();
        auto state = std::make_unique<State>(std::move(file), *folder + "/" + fileName);
        const Outcome outcome = state->Settle(total);
        if (outcome == Outcome::Failed) return nullptr;
        if (outcome == Outcome::Again) continue;
        state->view = ::mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_SHARED, descriptor, 0);
        if (state->view == MAP_FAILED) return nullptr;
        state->mappedSize = total;
        state->size = size;
        return std::shared_ptr<SharedMemory>(new SharedMemory(std::move(state)));
    }
    return nullptr;
}

void SharedMemory::LeaveExitCodeAtExit(std::shared_ptr<SharedMemory> block)
{
#ifdef __GLIBC__
    if (!block || !block->IsOwner()) return;
    // Exit handlers are told the status that exit() was given, whether the
    // launcher returns from main or the runtime ends the process (System.exit).
    const auto leave = [](int status, void* argument) {
        const std::unique_ptr<std::shared_ptr<SharedMemory>> holder(
            static_cast<std::shared_ptr<SharedMemory>*>(argument));
        State& state = *(*holder)->state_;
        ExitRecord* record = state.Record();
        std::atomic_ref<std::uint32_t>(record->exitCode).store(static_cast<std::uint32_t>(status));
        std::atomic_ref<std::uint32_t>(record->left).store(kExitCodeLeft, std::memory_order_release);
        // Now, not when the last share goes: a thread still holding one as
        // the process ends would leave the name behind.
        state.RemoveName();
    };
    auto holder = std::make_unique<std::shared_ptr<SharedMemory>>(std::move(block));
    if (::on_exit(leave, holder.get()) == 0) holder.release();
#else
    (void)block; // no exit handler is told the status: watchers read -1
#endif
}

bool SharedMemory::IsOwner() const { return state_->owner; }

std::span<std::byte> SharedMemory::Bytes() const
{
    return {static_cast<std::byte*>(state_->view), state_->size};
}

std::optional<std::uint32_t> SharedMemory::OwnersExitCode() const
{
    ExitRecord* record = state_->Record();
    if (std::atomic_ref<std::uint32_t>(record->left).load(std::memory_order_acquire) == kExitCodeLeft) {
        return std::atomic_ref<std::uint32_t>(record->exitCode).load();
    }
    // The system lets go of the owner's lock when its process ends, however
    // it ends: killed, it left no exit code.
    if (state_->owner || IsByteLockedElsewhere(state_->fd.Get(), kOwnerByte)) return std::nullopt;
    return 0xFFFFFFFFu;
}

} // namespace tala::os
