// The first instance's side of a hand-off: the listener that takes the
// messages of later starts, and one worker per message that passes the
// arguments to the application's static "secondaryMain" once main runs.
#pragma once

#include "os/Event.h"
#include "os/SharedMemory.h"
#include "os/ThreadMessages.h"

#include <jni.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace tala {

// What the listener and every worker share with the launcher. Workers are not
// waited for and may run on after the launcher has let go of everything, so
// they own their share of it instead of pointing into the launcher.
struct HandOffShared {
    std::shared_ptr<os::SharedMemory> block;
    std::unique_ptr<os::Event> mainStarted; // set right before main is called
    std::atomic<JavaVM*> vm{nullptr};       // stored before mainStarted is set
    std::u16string mainClass;               // with "/" between package names
    bool stayAttached = false;              // IBM runtimes allowed: workers do not detach
    std::uint32_t handOffMessage = 0;
};

// The listener's loop on the calling thread, whose queue is given: starts a
// worker for every hand-off message until the quit message comes; returns 0.
std::uint32_t RunListener(const std::shared_ptr<HandOffShared>& shared, os::MessageQueue& queue);

// One hand-off: waits until main is about to run, calls "secondaryMain" with
// the arguments the later start left in the block and answers it.
void HandOffWorker(const HandOffShared& shared, os::ThreadId secondStart);

} // namespace tala
