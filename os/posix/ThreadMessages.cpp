#include "os/ThreadMessages.h"

#include "os/Utf8.h"
#include "os/posix/FileDescriptor.h"
#include "os/posix/NameHash.h"
#include "os/posix/PrivateFolder.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tala::os {
namespace {

// One message as it travels; both ends are processes of one machine.
struct Wire {
    std::uint32_t id;
    std::uint32_t reserved;
    std::uint64_t wParam;
    std::int64_t lParam;
};

struct Address {
    sockaddr_un address{};
    socklen_t length = 0;
};

// The thread's socket lies in the user's private folder, where no other user
// can make one in its place. Nothing when the folder cannot be trusted or the
// path is too long for a socket address.
std::optional<Address> AddressOf(ThreadId thread)
{
    const std::optional<std::string> folder = PrivateFolder();
    if (!folder) return std::nullopt;
    const std::string path = *folder + "/thread." + std::to_string(thread);
    Address result;
    if (path.size() >= sizeof result.address.sun_path) return std::nullopt;
    result.address.sun_family = AF_UNIX;
    std::memcpy(result.address.sun_path, path.c_str(), path.size() + 1);
    result.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
    return result;
}

// How long a post waits for room in a full queue before it fails.
constexpr timeval kSendTimeout{2, 0};

enum class Received { Message, Other, None, Failed };

// One datagram. Anything but a whole message from a process of this user
// (the kernel tells the sender) counts as Other and is dropped.
Received Receive(int socket, int flags, ThreadMessage& message)
{
    Wire wire{};
    iovec data{&wire, sizeof wire};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred))];
    msghdr header{};
    header.msg_iov = &data;
    header.msg_iovlen = 1;
    header.msg_control = control;
    header.msg_controllen = sizeof control;
    const ssize_t length = ::recvmsg(socket, &header, flags | MSG_CMSG_CLOEXEC);
    if (length < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK) return Received::None;
        return errno == EINTR ? Received::Other : Received::Failed;
    }
    if (static_cast<std::size_t>(length) != sizeof wire || (header.msg_flags & (MSG_TRUNC | MSG_CTRUNC)) != 0) {
        return Received::Other;
    }
    const cmsghdr* credentials = CMSG_FIRSTHDR(&header);
    if (credentials == nullptr || credentials->cmsg_level != SOL_SOCKET ||
        credentials->cmsg_type != SCM_CREDENTIALS) {
        return Received::Other;
    }
    ucred sender{};
    std::memcpy(&sender, CMSG_DATA(credentials), sizeof sender);
    if (sender.uid != ::getuid()) return Received::Other;
    message = {wire.id, wire.wParam, wire.lParam};
    return Received::Message;
}

} // namespace

struct MessageQueue::State {
    explicit State(int descriptor) : socket(descriptor) {}
    ~State()
    {
        if (open) ::unlink(address.address.sun_path);
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    FileDescriptor socket;
    Address address;
    bool open = false;
};

ThreadId CurrentThreadId() { return static_cast<ThreadId>(::gettid()); }

std::uint32_t CurrentProcessId() { return static_cast<std::uint32_t>(::getpid()); }

// Any number both sides derive alike will do; this one lies in the range of
// the ids Windows registers.
std::uint32_t RegisterThreadMessage(const std::u16string& name)
{
    return 0xC000u + static_cast<std::uint32_t>(HashName(ToUtf8(name)) % 0x4000u);
}

bool PostThreadMessageTo(ThreadId thread, const ThreadMessage& message)
{
    const FileDescriptor socket(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!socket.IsValid()) return false;
    ::setsockopt(socket.Get(), SOL_SOCKET, SO_SNDTIMEO, &kSendTimeout, sizeof kSendTimeout);
    const Wire wire{message.id, 0, message.wParam, message.lParam};
    const std::optional<Address> to = AddressOf(thread);
    if (!to) return false;
    for (;;) {
        const ssize_t sent = ::sendto(socket.Get(), &wire, sizeof wire, MSG_NOSIGNAL,
                                      reinterpret_cast<const sockaddr*>(&to->address), to->length);
        if (sent == static_cast<ssize_t>(sizeof wire)) return true;
        if (sent < 0 && errno == EINTR) continue;
        return false;
    }
}

MessageQueue::MessageQueue()
    : state_(std::make_unique<State>(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)))
{
    const int socket = state_->socket.Get();
    if (socket < 0) return;
    const int on = 1;
    if (::setsockopt(socket, SOL_SOCKET, SO_PASSCRED, &on, sizeof on) != 0) return;
    const std::optional<Address> self = AddressOf(CurrentThreadId());
    if (!self) return;
    // A socket left there by an ended thread of this user that had the same id.
    ::unlink(self->address.sun_path);
    state_->open = ::bind(socket, reinterpret_cast<const sockaddr*>(&self->address), self->length) == 0;
    if (state_->open) state_->address = *self;
}

MessageQueue::~MessageQueue() = default;

bool MessageQueue::IsOpen() const { return state_->open; }

bool MessageQueue::Wait(ThreadMessage& message)
{
    if (!state_->open) return false;
    for (;;) {
        switch (Receive(state_->socket.Get(), 0, message)) {
        case Received::Message: return message.id != kQuitMessage;
        case Received::Failed: return false;
        default: break;
        }
    }
}

std::optional<ThreadMessage> MessageQueue::Take()
{
    if (!state_->open) return std::nullopt;
    for (;;) {
        ThreadMessage message;
        switch (Receive(state_->socket.Get(), MSG_DONTWAIT, message)) {
        case Received::Message: return message;
        case Received::Other: break;
        default: return std::nullopt;
        }
    }
}

void MessageQueue::Await(std::uint32_t milliseconds)
{
    if (!state_->open) {
        PauseMilliseconds(milliseconds);
        return;
    }
    pollfd ready{state_->socket.Get(), POLLIN, 0};
    ::poll(&ready, 1, static_cast<int>(milliseconds));
}

} // namespace tala::os
