#include "os/MainThread.h"

#include <clocale>

namespace tala::os {

void UseSystemDefaultLocale() { std::setlocale(LC_ALL, ""); }

// Threads of other launcher processes reach this one through a socket of its
// own, opened when it is needed: there is no queue to create up front.
void CreateMessageQueue() {}

} // namespace tala::os
