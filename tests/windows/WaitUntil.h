// A condition asked until it holds (true) or the time is up; this thread's
// own windows are served meanwhile, so a window the test shows keeps painting.
#pragma once

#include <windows.h>

#include <chrono>
#include <thread>

namespace tala::test {

using namespace std::chrono_literals;

template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout)
{
    const auto giveUp = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= giveUp) return false;
        // Well below the fraction of a second a window takes to appear.
        std::this_thread::sleep_for(20ms);
    }
}

} // namespace tala::test
