#include "os/ExceptionPrompt.h"

#include "os/Utf8.h"
#include "os/posix/Terminal.h"

namespace tala::os {

ExceptionChoice AskIgnoreOrStop(const std::u16string& stackTrace)
{
    // The trace goes to standard error in any case: without a terminal to ask
    // on, it is all the user will see of the failure.
    WriteToTerminal("The java process has thrown the following uncaught exception:\n" +
                    ToUtf8(stackTrace));
    if (!HasTerminal()) return ExceptionChoice::Stop;
    WriteToTerminal("Press Ignore to continue and ignore the exception or press Stop to close the "
                    "application.\nWARNING: If you choose to Stop the application any unsaved data "
                    "will be lost.\n");
    for (;;) {
        WriteToTerminal("[I]gnore or [S]top? ");
        const auto line = ReadTerminalLine();
        if (!line) return ExceptionChoice::Stop;
        if (*line == "i" || *line == "I" || *line == "Ignore" || *line == "ignore") {
            return ExceptionChoice::Ignore;
        }
        if (*line == "s" || *line == "S" || *line == "Stop" || *line == "stop") return ExceptionChoice::Stop;
    }
}

} // namespace tala::os
