// Preparation of the launcher's main thread before start-up reads anything.
#pragma once

namespace tala::os {

// Narrow conversions on this thread follow the system's default locale.
void UseSystemDefaultLocale();

// Gives the thread a message queue, so a thread message posted to it by
// another launcher process finds one.
void CreateMessageQueue();

} // namespace tala::os
