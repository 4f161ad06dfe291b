// The first instance's side of a hand-off: the listener that takes the
// messages of later starts, and one worker per message that passes the
// arguments to the application's static "secondaryMain" once main runs.
#pragma once

#include "os/Event.h"
#include "os/SharedMemory.h"
#include "os/ThreadMessages.h"
#include "settings/StringRules.h"

#include <jni.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace tala {

// The lParam of the message by which the first instance tells a later start
// that it has copied its arguments out of the block, so the block's one
// argument slot is free for the next start. The answer carries 0.
inline constexpr std::int64_t kArgumentsTaken = 1;

// The VM as hand-off workers may use it: known from right before main runs
// until right before the VM is destroyed. Forget waits for a worker that is
// attaching at that moment, so no worker attaches to a VM on its way out;
// one attached already holds the destruction up until it detaches, as every
// thread of the application does.
class HandOffVm {
public:
    void Set(JavaVM* vm) { vm_.store(vm); }

    // The calling thread's environment in the VM, which vm is set to;
    // nothing when there is no VM (any more) or the thread cannot be attached.
    JNIEnv* Attach(JavaVM*& vm);

    void Forget();

private:
    std::atomic<JavaVM*> vm_{nullptr};
    std::atomic<int> attaching_{0};
};

// What the listener and every worker share with the launcher. Workers are not
// waited for and may run on after the launcher has let go of everything, so
// they own their share of it instead of pointing into the launcher.
struct HandOffShared {
    std::shared_ptr<os::SharedMemory> block;
    std::unique_ptr<os::Event> mainStarted; // set right before main is called
    HandOffVm vm;
    std::u16string mainClass;               // with "/" between package names
    bool stayAttached = false;              // IBM runtimes allowed: workers do not detach
    std::uint32_t handOffMessage = 0;
};

// The listener's loop on the calling thread, whose queue is given: copies
// the arguments of every hand-off message out of the block, tells the later
// start so, and starts a worker with them, until the quit message comes;
// returns 0.
std::uint32_t RunListener(const std::shared_ptr<HandOffShared>& shared, os::MessageQueue& queue);

// One hand-off: waits until main is about to run, calls "secondaryMain" with
// the later start's arguments and answers it.
void HandOffWorker(HandOffShared& shared, os::ThreadId secondStart, const StringList& arguments);

} // namespace tala
