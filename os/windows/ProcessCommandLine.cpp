#include "os/ProcessCommandLine.h"

#include "os/windows/Wide.h"

#include <windows.h>

namespace tala::os {

ProcessCommandLine GetProcessCommandLine()
{
    ProcessCommandLine commandLine;
    commandLine.text = FromWide(::GetCommandLineW());
    return commandLine;
}

} // namespace tala::os
