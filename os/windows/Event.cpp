#include "os/Event.h"

#include "os/windows/UniqueHandle.h"
#include "os/windows/Wide.h"

#include <windows.h>

namespace tala::os {

struct Event::State {
    UniqueHandle event;
};

Event::Event(std::unique_ptr<State> state) : state_(std::move(state)) {}

Event::~Event() = default;

std::unique_ptr<Event> Event::Create(const std::u16string& name)
{
    auto state = std::make_unique<State>();
    state->event.reset(::CreateEventW(nullptr, TRUE, FALSE, name.empty() ? nullptr : Wide(name)));
    if (state->event == nullptr) return nullptr;
    return std::unique_ptr<Event>(new Event(std::move(state)));
}

void Event::Set() { ::SetEvent(state_->event.get()); }

void Event::Wait() { ::WaitForSingleObject(state_->event.get(), INFINITE); }

} // namespace tala::os
