#include "os/ThreadMessages.h"

#include "os/windows/Wide.h"

#include <windows.h>

namespace tala::os {
namespace {

ThreadMessage FromMsg(const MSG& message)
{
    return {message.message, static_cast<std::uint64_t>(message.wParam),
            static_cast<std::int64_t>(message.lParam)};
}

} // namespace

// The system keeps the queue with the thread: nothing to hold here.
struct MessageQueue::State {};

ThreadId CurrentThreadId() { return ::GetCurrentThreadId(); }

std::uint32_t CurrentProcessId() { return ::GetCurrentProcessId(); }

std::uint32_t RegisterThreadMessage(const std::u16string& name)
{
    return ::RegisterWindowMessageW(Wide(name));
}

bool PostThreadMessageTo(ThreadId thread, const ThreadMessage& message)
{
    return ::PostThreadMessageW(thread, message.id, static_cast<WPARAM>(message.wParam),
                                static_cast<LPARAM>(message.lParam)) != FALSE;
}

// Peeking at the thread's messages is what makes the system create its queue.
MessageQueue::MessageQueue() : state_(std::make_unique<State>())
{
    MSG message;
    ::PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
}

MessageQueue::~MessageQueue() = default;

bool MessageQueue::IsOpen() const { return true; }

bool MessageQueue::Wait(ThreadMessage& message)
{
    MSG received;
    // -1 is a failure, 0 the quit message: either ends the loop.
    if (::GetMessageW(&received, nullptr, 0, 0) <= 0) return false;
    message = FromMsg(received);
    return true;
}

std::optional<ThreadMessage> MessageQueue::Take()
{
    MSG received;
    if (!::PeekMessageW(&received, nullptr, 0, 0, PM_REMOVE)) return std::nullopt;
    return FromMsg(received);
}

void MessageQueue::Await(std::uint32_t milliseconds)
{
    // Also for messages already in the queue that an earlier peek has seen.
    ::MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

} // namespace tala::os
