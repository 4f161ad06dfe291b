// What the user is shown when the application's main ends with an uncaught
// exception: its stack trace, and the choice to ignore it or to stop the
// application. On Windows the "Java Exception" dialog; elsewhere the trace on
// standard error and a prompt on the terminal, when there is one.
#pragma once

#include <string>

namespace tala::os {

enum class ExceptionChoice { Ignore, Stop };

// Stop when the user says so, closes the dialog, or no dialog can be shown.
ExceptionChoice AskIgnoreOrStop(const std::u16string& stackTrace);

} // namespace tala::os
