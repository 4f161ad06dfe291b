#include "os/ProcessCommandLine.h"

#include "os/Utf8.h"
#include "os/posix/OwnArguments.h"

namespace tala::os {

ProcessCommandLine GetProcessCommandLine()
{
    ProcessCommandLine commandLine;
    for (const std::string& word : OwnArguments()) commandLine.words.push_back(FromUtf8(word));
    return commandLine;
}

} // namespace tala::os
