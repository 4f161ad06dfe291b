// Failures no caller can handle: memory that runs out, an error that reaches
// the top of a thread. Each ends the process with -1 after one plain sentence
// for the user (standard error; a message box on Windows), never with an
// abort that says nothing.
#pragma once

namespace tala::os {

// For the whole process and every thread in it: called once, first thing,
// by the entry point.
void InstallFatalErrorHandlers();

// Shows the text and ends the process with -1 at once: nothing else of the
// process runs, nothing is allocated.
[[noreturn]] void EndWithFatalError(const char* text) noexcept;

} // namespace tala::os
