// Shows an error text to the user: a modal box with the error icon, an OK
// button and the system's default caption on Windows; standard error elsewhere.
#pragma once

#include "os/WindowHandle.h"

#include <string>

namespace tala::os {

// Blocks the calling thread until the user has closed the box.
void ShowErrorMessage(WindowHandle owner, const std::u16string& text);

} // namespace tala::os
