// Messages to a thread of this process or of another one, addressed by the
// thread's id. Windows: thread message queues. POSIX: a datagram socket per
// receiving thread, named after its thread id in the user's private folder
// (os/posix/PrivateFolder.h); it takes messages only from processes of the
// same user.
#pragma once

#include "os/Thread.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tala::os {

struct ThreadMessage {
    std::uint32_t id = 0;
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
};

// The message that ends a thread's message loop (WM_QUIT).
inline constexpr std::uint32_t kQuitMessage = 18;

ThreadId CurrentThreadId();
std::uint32_t CurrentProcessId();

// The same message id in every process for the same name, never 0; 0 when
// the system gives none.
std::uint32_t RegisterThreadMessage(const std::u16string& name);

// False when the thread has no queue (or does not exist), or its queue stays
// full.
bool PostThreadMessageTo(ThreadId thread, const ThreadMessage& message);

// The calling thread's message queue: made on the thread that receives, and
// used only there.
class MessageQueue {
public:
    MessageQueue();
    ~MessageQueue();
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    // Messages posted to this thread can arrive.
    bool IsOpen() const;

    // Blocks until a message arrives; false for the quit message or a failure.
    bool Wait(ThreadMessage& message);

    // The oldest message, removed, if there is one; never waits.
    std::optional<ThreadMessage> Take();

    // Waits until a message is there, at most that long; removes nothing.
    void Await(std::uint32_t milliseconds);

    struct State;

private:
    std::unique_ptr<State> state_;
};

// Ends a thread that runs a message loop: posts it the quit message again and
// again, without a pause, until it has ended. A thread that has no queue yet
// loses the message, and the next round posts again.
inline void QuitThread(Thread& thread)
{
    while (!thread.HasEnded()) PostThreadMessageTo(thread.Id(), {kQuitMessage, 0, 0});
}

} // namespace tala::os
