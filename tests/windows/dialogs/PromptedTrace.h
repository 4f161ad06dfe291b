// The "Java Exception" dialog on its own: tala-exception-prompt.exe showing
// a sample trace of a few dozen lines, longer than the dialog's edit control
// shows, with the runtime's own line separators.
#pragma once

#include "tests/shared/TestFiles.h"
#include "tests/windows/LauncherProcess.h"

#include <string>

namespace tala::test {

std::wstring SampleStackTrace();

struct PromptedTrace {
    PromptedTrace();

    TempFolder folder;
    LauncherProcess prompt; // ends with 0 for Ignore, 1 for Stop
    HWND dialog;            // none when it did not show up
};

} // namespace tala::test
