#include "os/Event.h"

#include <condition_variable>
#include <mutex>

namespace tala::os {

struct Event::State {
    std::mutex mutex;
    std::condition_variable changed;
    bool set = false;
};

Event::Event(std::unique_ptr<State> state) : state_(std::move(state)) {}

Event::~Event() = default;

std::unique_ptr<Event> Event::Create(const std::u16string&)
{
    return std::unique_ptr<Event>(new Event(std::make_unique<State>()));
}

void Event::Set()
{
    const std::lock_guard lock(state_->mutex);
    state_->set = true;
    state_->changed.notify_all();
}

void Event::Wait()
{
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [this] { return state_->set; });
}

} // namespace tala::os
