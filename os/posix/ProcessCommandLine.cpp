#include "os/ProcessCommandLine.h"

#include "os/Utf8.h"
#include "os/posix/FileContent.h"

namespace tala::os {

ProcessCommandLine GetProcessCommandLine()
{
    // /proc/self/cmdline holds argv as the system passed it, each word ended
    // by a NUL, so the entry point need not hand argv around.
    ProcessCommandLine commandLine;
    std::string bytes;
    if (!ReadFileContent("/proc/self/cmdline", bytes)) return commandLine;
    std::size_t begin = 0;
    while (begin < bytes.size()) {
        std::size_t end = bytes.find('\0', begin);
        if (end == std::string::npos) end = bytes.size();
        commandLine.words.push_back(FromUtf8(std::string_view(bytes).substr(begin, end - begin)));
        begin = end + 1;
    }
    return commandLine;
}

} // namespace tala::os
