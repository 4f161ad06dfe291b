// A launcher that waits as a first instance is sent thread messages by later
// starts: its main thread must have a message queue before any arrives, or
// the post fails and the later start's arguments are lost.
#include "os/MainThread.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <future>
#include <thread>

namespace tala::test {
namespace {

using namespace std::chrono_literals;

struct QueueCase {
    const char* rule;
    bool prepared; // the thread called CreateMessageQueue
    bool posted;
    DWORD postError;
    bool received;
};

TEST(MessageQueue, ThreadMessagesReachAPreparedThread)
{
    const QueueCase cases[] = {
        {"a prepared thread receives the message", true, true, ERROR_SUCCESS, true},
        // The control: a fresh thread has no queue, so the check above means something.
        {"a fresh thread has no queue to post to", false, false, ERROR_INVALID_THREAD_ID, false},
    };
    for (const QueueCase& c : cases) {
        std::promise<DWORD> ready;
        std::promise<void> postDone;
        std::promise<bool> received;
        std::jthread thread([&] {
            if (c.prepared) os::CreateMessageQueue();
            ready.set_value(::GetCurrentThreadId());
            // Nothing else of the window manager may run before the post:
            // it could give the thread a queue of its own.
            postDone.get_future().wait_for(10s);
            MSG message;
            received.set_value(::PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_REMOVE) != 0);
        });

        auto threadId = ready.get_future();
        ASSERT_EQ(threadId.wait_for(10s), std::future_status::ready) << c.rule;
        ::SetLastError(ERROR_SUCCESS);
        const bool posted = ::PostThreadMessageW(threadId.get(), WM_APP, 0, 0) != FALSE;
        const DWORD postError = posted ? ERROR_SUCCESS : ::GetLastError();
        postDone.set_value();
        auto arrived = received.get_future();
        ASSERT_EQ(arrived.wait_for(10s), std::future_status::ready) << c.rule;

        EXPECT_EQ(posted, c.posted) << c.rule;
        EXPECT_EQ(postError, c.postError) << c.rule;
        EXPECT_EQ(arrived.get(), c.received) << c.rule;
    }
}

} // namespace
} // namespace tala::test
