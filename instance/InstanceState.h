// What a single-instance launcher holds while it runs: the shared block, and
// in a first instance the listener and what it shares with the hand-off
// workers, in a second start the queue its answer arrives in and the lock on
// the block's argument slot.
#pragma once

#include "os/NamedMutex.h"
#include "os/SharedMemory.h"
#include "os/ThreadMessages.h"

#include <cstdint>
#include <memory>

namespace tala {

struct HandOffShared;

struct InstanceState {
    std::shared_ptr<os::SharedMemory> block;

    // First instance.
    std::shared_ptr<HandOffShared> handOff;
    os::Thread listener;

    // Second start. The slot is held from writing the arguments until the
    // first instance has copied them out.
    std::unique_ptr<os::MessageQueue> replies;
    std::unique_ptr<os::NamedMutex> argumentSlot;
    std::uint32_t handOffMessage = 0;
};

} // namespace tala
